#include "../library/testRecords.h"
#include "coreFakes.h"
#include "coreTestFolder.h"
#include "modalDialogDriver.h"

#include "core/dmMain.h"
#include "ui/forms/frmParty.h"
#include "ui/forms/frmPartyMode.h"
#include "ui/forms/qrCode.h"

#include <QCheckBox>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

// What zbarimg reads from a picture: the text of the one QR code in it,
// empty when it finds none (or zbarimg is missing).
QString decodedQrCode(const QImage &image)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("qr.png"));
    if (!image.save(file))
        return {};
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), { QStringLiteral("--raw"), QStringLiteral("-q"), file });
    if (!zbar.waitForFinished(20000) || zbar.exitCode() != 0)
        return {};
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

// The host's windows over a core whose library holds invented tracks.
class PartyWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        run.emplace(folder.options());
        Tmp3JukeBoxLists &library = FilledLibrary(run->core);
        library.SuspendRebuild();
        for (const char *title : { "One", "Two", "Three" })
            library.MasterList().Add(MakeRecord({ QString::fromLatin1(title), QStringLiteral("Nordwave"),
                QStringLiteral("Hits"), QStringLiteral("/m/") + QString::fromLatin1(title) + QStringLiteral(".mp3") }));
        library.ResumeRebuild();
    }
    TdmMain &core() { return run->core; }
    TcustomTagger *track(int i) { return core().jblMain().MasterList().Items(i); }
    void open(const std::function<void(TpartySettings &)> &edit = {})
    {
        TpartySettings settings = core().PartySettings();
        settings.Enabled = true;
        if (edit)
            edit(settings);
        core().SetPartySettings(settings);
    }
    template <typename T> static T *part(QWidget *window, const char *name)
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    TcoreTestFolder folder;
    std::optional<TrecordedCore> run;
    TmodalDialogDriver driver;
};

TEST_F(PartyWindows, TheSettingsDialogShowsTheSettingsAndOKHandsThemToTheCore)
{
    TfrmPartyMode dialog(core());
    const QString oldCode = core().PartySettings().GuestCode;
    driver.Expect<TfrmPartyMode>([&](TfrmPartyMode *shown) {
        EXPECT_EQ(shown->windowTitle(), QStringLiteral("Party Mode"));
        EXPECT_FALSE(part<QCheckBox>(shown, "cbPartyMode")->isChecked()) << "off until turned on";
        EXPECT_EQ(part<QSpinBox>(shown, "sePort")->value(), 8080);
        EXPECT_EQ(part<QLineEdit>(shown, "edGuestCode")->text(), oldCode);
        EXPECT_EQ(part<QSpinBox>(shown, "seRequestsPerGuest")->value(), 3);
        EXPECT_EQ(part<QSpinBox>(shown, "seRepeatMinutes")->value(), 60);
        EXPECT_FALSE(part<QCheckBox>(shown, "cbApproval")->isChecked());
        EXPECT_FALSE(part<QCheckBox>(shown, "cbVoteToSkip")->isChecked());
        EXPECT_TRUE(part<QLabel>(shown, "lblPartyStatus")->text().contains(QStringLiteral("off")));

        QTest::mouseClick(part<QCheckBox>(shown, "cbPartyMode"), Qt::LeftButton);
        part<QSpinBox>(shown, "sePort")->setValue(9099);
        PressButton(shown, "btnRenewCode");
        EXPECT_NE(part<QLineEdit>(shown, "edGuestCode")->text(), oldCode);
        part<QSpinBox>(shown, "seRequestsPerGuest")->setValue(5);
        part<QSpinBox>(shown, "seRepeatMinutes")->setValue(30);
        QTest::mouseClick(part<QCheckBox>(shown, "cbApproval"), Qt::LeftButton);
        QTest::mouseClick(part<QCheckBox>(shown, "cbVoteToSkip"), Qt::LeftButton);
        PressButton(shown, "btnOK");
    });
    run->ui.windows.clear();
    ASSERT_TRUE(dialog.Execute());
    const TpartySettings &settings = core().PartySettings();
    EXPECT_TRUE(settings.Enabled);
    EXPECT_EQ(settings.Port, 9099);
    EXPECT_NE(settings.GuestCode, oldCode);
    EXPECT_TRUE(IsGuestCode(settings.GuestCode));
    EXPECT_EQ(settings.RequestsPerGuest, 5);
    EXPECT_EQ(settings.RepeatMinutes, 30);
    EXPECT_TRUE(settings.NeedApproval);
    EXPECT_TRUE(settings.VoteToSkip);
    EXPECT_EQ(run->ui.windows, std::vector<TcoreWindow> { TcoreWindow::PartyWindow }) << "the party begins";
}

TEST_F(PartyWindows, CancelChangesNothingNotEvenARenewedCode)
{
    TfrmPartyMode dialog(core());
    const TpartySettings before = core().PartySettings();
    driver.Expect<TfrmPartyMode>([](TfrmPartyMode *shown) {
        QTest::mouseClick(shown->findChild<QCheckBox *>(QStringLiteral("cbPartyMode")), Qt::LeftButton);
        PressButton(shown, "btnRenewCode");
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(core().PartySettings(), before);
}

TEST_F(PartyWindows, ThePartyWindowsQrCodeReadsAsTheAddress)
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    TfrmParty window(core());
    window.resize(600, 900);
    window.ShowParty();
    EXPECT_TRUE(window.QrCode().isNull()) << "nothing listens: no code to show";
    EXPECT_EQ(part<QLabel>(&window, "lblHeadline")->text(), QStringLiteral("Party mode is off"));
    open();
    const QString address = QStringLiteral("http://192.168.1.20:8080/?code=") + core().PartySettings().GuestCode;
    core().SetPartyStatus(TpartyStatus { true, address, QString(), 2 });
    EXPECT_EQ(window.ShownAddress(), address);
    EXPECT_EQ(part<QLabel>(&window, "lblAddress")->text(), address);
    EXPECT_EQ(
        part<QLabel>(&window, "lblGuestCode")->text(), QStringLiteral("Code ") + core().PartySettings().GuestCode);
    EXPECT_TRUE(part<QLabel>(&window, "lblGuests")->text().endsWith(QStringLiteral("2 phones connected")));
    ASSERT_FALSE(window.QrCode().isNull());
    EXPECT_EQ(decodedQrCode(window.QrCode()), address);
    // What is on the screen is what the code holds: the label shows it whole.
    EXPECT_EQ(decodedQrCode(part<QWidget>(&window, "imgQrCode")->grab().toImage()), address);

    core().SetPartyStatus(
        TpartyStatus { false, QString(), QStringLiteral("Port 8080 is in use by another program."), 0 });
    EXPECT_TRUE(window.QrCode().isNull());
    EXPECT_EQ(part<QLabel>(&window, "lblAddress")->text(), QStringLiteral("Port 8080 is in use by another program."));
}

TEST_F(PartyWindows, TheHostApprovesOrRemovesWaitingRequests)
{
    open([](TpartySettings &s) { s.NeedApproval = true; });
    TfrmParty window(core());
    window.ShowParty();
    auto *pending = part<QListWidget>(&window, "lbPending");
    EXPECT_TRUE(pending->isVisible());
    EXPECT_EQ(pending->count(), 0);
    const int anna = core().JoinParty(QStringLiteral("Anna"));
    const int ben = core().JoinParty(QStringLiteral("<b>Ben</b>"));
    ASSERT_EQ(core().RequestTrack(anna, track(0)).Outcome, TrequestOutcome::AwaitingApproval);
    ASSERT_EQ(core().RequestTrack(ben, track(2)).Outcome, TrequestOutcome::AwaitingApproval);
    ASSERT_EQ(pending->count(), 2);
    EXPECT_EQ(pending->item(0)->text(), QStringLiteral("One – Nordwave   — Anna"));
    EXPECT_EQ(pending->item(1)->text(), QStringLiteral("Two – Nordwave   — <b>Ben</b>"));

    pending->setCurrentRow(1);
    PressButton(&window, "btnRemove");
    EXPECT_EQ(pending->count(), 1);
    EXPECT_EQ(core().tqQueue().Count(), 0) << "removed, not queued";
    PressButton(&window, "btnApprove");
    EXPECT_EQ(pending->count(), 0);
    ASSERT_EQ(core().tqQueue().Count(), 1);
    EXPECT_EQ(core().tqQueue().Requester(0).name, QStringLiteral("Anna"));
    EXPECT_FALSE(part<QPushButton>(&window, "btnApprove")->isEnabled());
}

// The keys of the settings dialog: each mnemonic is one control's own, and
// every label that shows one takes the keyboard to its field.
TEST_F(PartyWindows, EveryMnemonicOfTheSettingsDialogReachesOneControl)
{
    TfrmPartyMode dialog(core());
    driver.Expect<TfrmPartyMode>([&](TfrmPartyMode *shown) {
        QStringList keys;
        for (const QLabel *label : shown->findChildren<QLabel *>()) {
            const QKeySequence key = QKeySequence::mnemonic(label->text());
            if (key.isEmpty())
                continue;
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString() << " shows its \"&\"";
            keys << key.toString();
        }
        for (const QAbstractButton *button : shown->findChildren<QAbstractButton *>())
            if (const QKeySequence key = QKeySequence::mnemonic(button->text()); !key.isEmpty())
                keys << key.toString();
        keys.sort();
        EXPECT_EQ(keys.removeDuplicates(), 0) << keys.join(u' ').toStdString();

        shown->activateWindow();
        QTest::keyClick(shown, Qt::Key_C, Qt::AltModifier);
        EXPECT_TRUE(part<QLineEdit>(shown, "edGuestCode")->hasFocus());
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialog.Execute());
}

// Approval on, with none, one or many requests waiting (long names among
// them): the window fits a 1366 x 768 laptop screen with its panel and the
// title bar, and the QR code on it reads back as the address every time.
TEST_F(PartyWindows, TheQrCodeStaysWholeHoweverManyRequestsWait)
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    Tmp3JukeBoxLists &library = FilledLibrary(core());
    library.SuspendRebuild();
    for (int i = 0; i < 8; ++i)
        library.MasterList().Add(MakeRecord({ QStringLiteral("An Extraordinarily Long Song Title Number %1 Extended "
                                                             "Twelve Inch Version")
                                                  .arg(i),
            QStringLiteral("The Band With The Longest Name Anyone Has Seen"), QStringLiteral("Long"),
            QStringLiteral("/m/long%1.mp3").arg(i) }));
    library.ResumeRebuild();
    open([](TpartySettings &s) { s.NeedApproval = true; });
    const QString address = QStringLiteral("http://192.168.100.200:8080/?code=") + core().PartySettings().GuestCode;
    core().SetPartyStatus(TpartyStatus { true, address, QString(), 1 });
    TfrmParty window(core());
    window.ShowParty();

    const QSize laptop(1366, 700);
    int requested = 0;
    for (const int waiting : { 0, 1, 11 }) {
        for (; requested < waiting; ++requested) {
            const int guest = core().JoinParty(QStringLiteral("Guest %1 with a name longer than most").arg(requested));
            ASSERT_EQ(core().RequestTrack(guest, track(requested)).Outcome, TrequestOutcome::AwaitingApproval);
        }
        QApplication::processEvents();
        ASSERT_EQ(part<QListWidget>(&window, "lbPending")->count(), waiting);
        EXPECT_LE(window.width(), laptop.width()) << waiting;
        EXPECT_LE(window.height(), laptop.height()) << waiting;
        EXPECT_LE(window.minimumSizeHint().height(), laptop.height()) << waiting;
        EXPECT_EQ(decodedQrCode(window.grab().toImage()), address) << waiting << " waiting";
    }
}

TEST_F(PartyWindows, ThePartyWindowShowsNoGuestsNorRequestsWhileThePartyIsOff)
{
    open([](TpartySettings &s) { s.NeedApproval = true; });
    TfrmParty window(core());
    window.ShowParty();
    const int anna = core().JoinParty(QStringLiteral("Anna"));
    ASSERT_EQ(core().RequestTrack(anna, track(1)).Outcome, TrequestOutcome::AwaitingApproval);
    auto *guests = part<QLabel>(&window, "lblGuests");
    auto *pending = part<QListWidget>(&window, "lbPending");
    EXPECT_TRUE(guests->isVisible());
    EXPECT_TRUE(guests->text().startsWith(QStringLiteral("1 guest")));
    EXPECT_EQ(pending->count(), 1);

    for (const bool enabled : { false, true }) {
        TpartySettings settings = core().PartySettings();
        settings.Enabled = enabled;
        core().SetPartySettings(settings);
        EXPECT_EQ(guests->isVisible(), enabled);
        EXPECT_EQ(pending->isVisible(), enabled);
        EXPECT_EQ(part<QPushButton>(&window, "btnApprove")->isVisible(), enabled);
        EXPECT_EQ(part<QPushButton>(&window, "btnRemove")->isVisible(), enabled);
        // The request waits on in the core, and is shown again with the party.
        EXPECT_EQ(pending->count(), enabled ? 1 : 0);
    }
}

// A guest's track played and stopped, its file deleted and its record
// dropped by a scan: the Party window's next refresh (a guest joining) shows
// nothing playing, and never reaches the dropped record.
TEST_F(PartyWindows, AStoppedTrackWhoseFileIsDeletedIsNoLongerShownAsPlaying)
{
    const QString file = folder.addTrack(
        QStringLiteral("a/played.mp3"), QStringLiteral("Played"), QStringLiteral("Nordwave"), QStringLiteral("Hits"), 1);
    core().AddScannedFiles({ file }, false);
    open();
    TfrmParty window(core());
    window.ShowParty();
    TcustomTagger *record = nullptr;
    for (TcustomTagger *each : core().jblMain().MasterList().Records()) {
        if (each->Filename() == file)
            record = each;
    }
    ASSERT_NE(record, nullptr);
    const int anna = core().JoinParty(QStringLiteral("Anna"));
    ASSERT_EQ(core().RequestTrack(anna, record).Outcome, TrequestOutcome::Queued);
    core().Play();
    auto *playing = part<QLabel>(&window, "lblPlaying");
    EXPECT_TRUE(playing->text().contains(QStringLiteral("Played"))) << playing->text().toStdString();

    core().Stop();
    ASSERT_TRUE(QFile::remove(file));
    core().AddScannedFiles({}, true);
    ASSERT_GT(core().JoinParty(QStringLiteral("Ben")), 0);
    EXPECT_EQ(playing->text(), QStringLiteral("Nothing is playing"));
}

TEST(QrCodes, HoldTheirTextAndGrowByModule)
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    const QString text = QStringLiteral("http://10.0.0.7:8080/?code=K7M2QX");
    const QImage small = QrCodeImage(text, 3);
    const QImage large = QrCodeImage(text, 6);
    EXPECT_EQ(large.width(), 2 * small.width());
    EXPECT_EQ(decodedQrCode(small), text);
    EXPECT_EQ(decodedQrCode(large), text);
    EXPECT_TRUE(QrCodeImage(QString(5000, u'x'), 3).isNull()) << "too long for any QR code";
}

} // namespace
