#include "coreFakes.h"
#include "coreTestFolder.h"
#include "modalDriver.h"

#include "core/dmMain.h"
#include "core/libraryWatch.h"
#include "core/soundControl.h"
#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "metadata/id3Tagger.h"
#include "platform/iniFile.h"
#include "playback/crossPlayer.h"
#include "ui/forms/frmMusicSearch.h"
#include "ui/forms/frmPreferences.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

// Readable failure messages for texts.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

// The program's dialogs as the core reaches them: the music search window
// opens when the core is asked for it.
class TwindowUi : public TscriptedUi {
public:
    void ShowWindow(TcoreWindow window) override
    {
        TscriptedUi::ShowWindow(window);
        if (window == TcoreWindow::MusicSearch && musicSearch)
            musicSearch->Execute();
    }
    TfrmMusicSearch *musicSearch = nullptr;
};

class PreferencesWindow : public ::testing::Test {
protected:
    PreferencesWindow()
    {
        options = folder.options();
        options.cdDrives = [this] { return drives; };
    }

    void makeWindow()
    {
        core = std::make_unique<TdmMain>(ui, options);
        subscription = core->Subscribe(form);
        core->LoadSettings();
        window = std::make_unique<TfrmPreferences>(*core);
        window->OnRunScan = [this] { ui.ShowWindow(TcoreWindow::MusicSearch); };
        window->ChooseFolder = [this](const QString &title, const QString &) {
            titles << title;
            return chosen.isEmpty() ? QString() : chosen.takeFirst();
        };
    }

    template <typename T> T *child(const char *name) const
    {
        T *widget = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString text(const char *label) const { return child<QLabel>(label)->text(); }
    void click(const char *name)
    {
        QAbstractButton *button = child<QAbstractButton>(name);
        // A check box takes clicks on its box and text only, wherever the
        // layout stretches it.
        if (auto *box = qobject_cast<QCheckBox *>(button))
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
        else
            QTest::mouseClick(button, Qt::LeftButton);
    }
    QStringList listed() const
    {
        QStringList rows;
        const QListWidget *list = child<QListWidget>("lbDirs");
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        return rows;
    }
    const QStringList &dirs() { return core->Settings().DirList; }

    TcoreTestFolder folder;
    TdmMainOptions options;
    QList<CdDrive> drives;
    TrecordingFace form;
    TwindowUi ui;
    std::unique_ptr<TdmMain> core;
    TcoreSubscription subscription;
    std::unique_ptr<TfrmPreferences> window;
    // What the folder browser answers, one per showing; empty: cancelled.
    QStringList chosen;
    QStringList titles;
};

} // namespace

TEST_F(PreferencesWindow, AddFolderAppendsTheChosenFolderWithItsSeparator)
{
    makeWindow();
    const QString music = folder.music();
    window->show();

    const TnoModalExpected noMessage;
    chosen = { music, music, QStringLiteral("/") };
    click("btnAddDir");
    click("btnAddDir");
    click("btnAddDir");
    const QStringList expected { music + QLatin1Char('/'), music + QLatin1Char('/'), QStringLiteral("/") };
    EXPECT_EQ(dirs(), expected) << "a folder chosen twice is listed twice; a root keeps its single separator";
    EXPECT_EQ(listed(), expected);
    EXPECT_EQ(titles, QStringList(3, QStringLiteral("Choose a Music Folder")));

    // Cancelling the browser changes nothing.
    click("btnAddDir");
    EXPECT_EQ(dirs(), expected);
    EXPECT_EQ(listed(), expected);

    // Delete Folder removes the selected row only; without a selection it
    // does nothing.
    auto *list = child<QListWidget>("lbDirs");
    list->setCurrentRow(2);
    click("btnDeleteDir");
    EXPECT_EQ(dirs(), expected.mid(0, 2));
    EXPECT_EQ(listed(), expected.mid(0, 2));
    list->clearSelection();
    list->setCurrentRow(-1);
    click("btnDeleteDir");
    EXPECT_EQ(dirs(), expected.mid(0, 2));
    window->close();

    // Every showing lists the core's folders as they are then.
    core->SetMusicFolders({ QStringLiteral("/c/") });
    window->show();
    EXPECT_EQ(listed(), dirs());
    window->close();
}

TEST_F(PreferencesWindow, AFolderOnADiscIsRefusedWithAMessage)
{
    const QString disc = folder.root.filePath(QStringLiteral("cdrom"));
    const QString sibling = folder.root.filePath(QStringLiteral("cdrom2"));
    QDir().mkpath(disc + QStringLiteral("/Album"));
    QDir().mkpath(sibling);
    ASSERT_TRUE(QFile::link(disc, folder.root.filePath(QStringLiteral("cd-link"))));
    drives = { CdDrive { disc, QStringLiteral("/dev/sr0") } };
    makeWindow();
    window->show();

    QStringList shown;
    for (const QString &onDisc :
        { disc + QStringLiteral("/Album"), disc, folder.root.filePath(QStringLiteral("cd-link/Album")) }) {
        chosen = { onDisc };
        WhenModal<QMessageBox>([&shown](QMessageBox *box) {
            shown << box->windowTitle() + QStringLiteral(": ") + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        click("btnAddDir");
    }
    EXPECT_EQ(shown,
        QStringList(3,
            QStringLiteral("Vorlen Mp3 Jukebox: You cannot add a CD to the scan list, "
                           "CD-Roms are scanned automatically.")));
    EXPECT_TRUE(dirs().isEmpty());
    EXPECT_TRUE(listed().isEmpty());

    // A folder whose name merely begins like the disc's is not on it.
    const TnoModalExpected noMessage;
    chosen = { sibling };
    click("btnAddDir");
    EXPECT_EQ(dirs(), QStringList { sibling + QLatin1Char('/') });
    window->close();
}

TEST_F(PreferencesWindow, TheFadeBarsShowTheCoresValuesAndEveryWayOfClosingAppliesThem)
{
    makeWindow();
    core->SetFadeInTime(3000);
    core->SetFadeInFromVolume(128);
    core->SetFadeOutTime(7000);
    core->SetFadeOutToVolume(255);

    // Opened on the cross-fade page and closed by Escape, unchanged values
    // stay as they were.
    WhenModal<TfrmPreferences>([this](TfrmPreferences *shownWindow) {
        EXPECT_EQ(child<QTabWidget>("pcPreferences")->currentWidget()->objectName(), QStringLiteral("tsCrossFader"));
        EXPECT_EQ(text("lblFadeInTime"), QStringLiteral("3000"));
        EXPECT_EQ(text("lblFadeInVolume"), QStringLiteral("50"));
        EXPECT_EQ(text("lblFadeOutTime"), QStringLiteral("7000"));
        EXPECT_EQ(text("lblFadeOutVolume"), QStringLiteral("100"));
        QTest::keyClick(shownWindow, Qt::Key_Escape);
    });
    window->Execute(ppCrossFader);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(core->FadeInTime(), 3000);
    EXPECT_EQ(core->FadeInFromVolume(), 128);
    EXPECT_EQ(core->FadeOutTime(), 7000);
    EXPECT_EQ(core->FadeOutToVolume(), 255);

    // Moved bars show their values at once; Escape applies them, and the
    // player has them too.
    WhenModal<TfrmPreferences>([this](TfrmPreferences *shownWindow) {
        auto *fadeIn = child<QSlider>("sbFadeInTime");
        fadeIn->setFocus();
        QTest::keyClick(fadeIn, Qt::Key_PageUp);
        EXPECT_EQ(text("lblFadeInTime"), QStringLiteral("4000"));
        auto *fadeOutVolume = child<QSlider>("sbFadeOutVolume");
        fadeOutVolume->setFocus();
        QTest::keyClick(fadeOutVolume, Qt::Key_Home);
        EXPECT_EQ(text("lblFadeOutVolume"), QStringLiteral("0"));
        child<QSlider>("sbFadeInVolume")->setValue(254);
        EXPECT_EQ(text("lblFadeInVolume"), QStringLiteral("100"));
        QTest::keyClick(shownWindow, Qt::Key_Escape);
    });
    window->Execute(ppCrossFader);
    EXPECT_EQ(core->FadeInTime(), 4000);
    EXPECT_EQ(core->FadeInFromVolume(), 254);
    EXPECT_EQ(core->FadeOutToVolume(), 0);
    EXPECT_EQ(core->Player().FadeInTime(), 4000);
    EXPECT_EQ(core->Player().FadeOutToVolume(), 0);

    // The close box and OK apply them as well.
    window->show();
    child<QSlider>("sbFadeOutTime")->setValue(1200);
    window->close();
    EXPECT_EQ(core->FadeOutTime(), 1200);
    window->show();
    child<QSlider>("sbFadeOutTime")->setValue(9900);
    click("btnOK");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(core->FadeOutTime(), 9900);

    EXPECT_EQ(TfrmPreferences::VolumePercent(0), 0);
    EXPECT_EQ(TfrmPreferences::VolumePercent(127), 50);
    EXPECT_EQ(TfrmPreferences::VolumePercent(1), 0);
    EXPECT_EQ(TfrmPreferences::VolumePercent(2), 1);
}

TEST_F(PreferencesWindow, TheTrackNumberSwitchRebuildsTheTreeAtOnce)
{
    makeWindow();
    Tmp3JukeBoxLists &library = FilledLibrary(*core);
    library.SuspendRebuild();
    for (int t = 1; t <= 3; ++t) {
        auto *record = new Tid3Tagger;
        record->SetArtist(QStringLiteral("Nordwave"));
        record->SetAlbum(QStringLiteral("Hits"));
        record->SetTitle(QStringLiteral("Song %1").arg(t));
        record->SetTrack(quint32(t));
        record->SetValidTag(true);
        record->SetFilename(QStringLiteral("/music/Hits/%1.mp3").arg(t));
        library.MasterList().Add(record);
    }
    library.ResumeRebuild();
    ASSERT_EQ(library.AlbumList().Count(), 1);

    window->SetPage(ppGeneral);
    window->show();
    form.log.clear();
    click("cbTrackNumbers");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(form.log, (QStringList { QStringLiteral("LibraryChanging"), QStringLiteral("ListsUpdated") }));
    EXPECT_TRUE(library.DontUseTrackNumbers());
    EXPECT_TRUE(core->Settings().NoTrackNumbers) << "stored with the settings at exit";
    ASSERT_EQ(library.AlbumList().Count(), 1);
    EXPECT_TRUE(library.AlbumList().Albums(0)->DontUseTrackNumbers());

    click("cbTrackNumbers");
    EXPECT_EQ(form.count(QStringLiteral("ListsUpdated")), 2);
    EXPECT_FALSE(library.DontUseTrackNumbers());
    EXPECT_FALSE(core->Settings().NoTrackNumbers);
    EXPECT_FALSE(library.AlbumList().Albums(0)->DontUseTrackNumbers());
    window->close();

    // The box shows the library's switch as it is at every showing.
    core->SetNoTrackNumbers(true);
    window->show();
    EXPECT_TRUE(child<QCheckBox>("cbTrackNumbers")->isChecked());
    window->close();
}

TEST_F(PreferencesWindow, TheWatchSwitchAndTheFolderListSteerWhatIsWatched)
{
    makeWindow();
    core->StartUp();
    const QString music = folder.music();
    const QString more = folder.root.filePath(QStringLiteral("more"));
    ASSERT_TRUE(QDir().mkpath(more));
    window->show();
    EXPECT_TRUE(child<QCheckBox>("cbWatchFolders")->isChecked()) << "on by default";

    chosen = { music, more };
    click("btnAddDir");
    EXPECT_TRUE(core->LibraryWatch().Watching());
    EXPECT_EQ(core->LibraryWatch().Folders(), QStringList { music + u'/' });
    click("btnAddDir");
    EXPECT_EQ(core->LibraryWatch().Folders(), (QStringList { music + u'/', more + u'/' }));

    click("cbWatchFolders");
    EXPECT_FALSE(core->WatchFolders());
    EXPECT_FALSE(core->LibraryWatch().Watching());
    auto *list = child<QListWidget>("lbDirs");
    list->setCurrentRow(0);
    click("btnDeleteDir");
    EXPECT_FALSE(core->LibraryWatch().Watching()) << "switched off, a changed list is not watched";

    click("cbWatchFolders");
    EXPECT_TRUE(core->WatchFolders());
    EXPECT_EQ(core->LibraryWatch().Folders(), QStringList { more + u'/' });
    window->close();

    // The box shows the core's switch at every showing.
    core->SetWatchFolders(false);
    window->show();
    EXPECT_FALSE(child<QCheckBox>("cbWatchFolders")->isChecked());
    window->close();
}

TEST_F(PreferencesWindow, TheCoverFolderComesFromTheBrowserOnly)
{
    makeWindow();
    core->SetCoverArtFolder(QStringLiteral("/old covers"));
    window->SetPage(ppGeneral);
    window->show();
    auto *edit = child<QLineEdit>("edAlbumArtFolder");

    chosen = {};
    click("btnAlbumArtFolder");
    EXPECT_EQ(core->Settings().CoverArtFolder, QStringLiteral("/old covers")) << "cancelled";
    EXPECT_EQ(edit->text(), QStringLiteral("/old covers"));

    chosen = { folder.music() };
    click("btnAlbumArtFolder");
    EXPECT_EQ(titles.last(), QStringLiteral("Choose a folder"));
    EXPECT_EQ(core->Settings().CoverArtFolder, folder.music()) << "taken at once";
    EXPECT_EQ(edit->text(), folder.music());

    QTest::keyClicks(edit, QStringLiteral("/typed"));
    EXPECT_EQ(core->Settings().CoverArtFolder, folder.music());
    window->close();
    EXPECT_EQ(core->Settings().CoverArtFolder, folder.music());
}

TEST_F(PreferencesWindow, RunScanOpensTheMusicSearchAndThenCloses)
{
    makeWindow();
    TfrmMusicSearch search(*core);
    ui.musicSearch = &search;
    core->SetFadeOutTime(6000);

    WhenModal<TfrmPreferences>([this](TfrmPreferences *) {
        child<QSlider>("sbFadeOutTime")->setValue(2000);
        WhenModal<TfrmMusicSearch>([this](TfrmMusicSearch *shownSearch) {
            EXPECT_TRUE(window->isVisible()) << "the preferences stay under the search window";
            EXPECT_EQ(core->FadeOutTime(), 6000);
            shownSearch->close();
        });
        click("btnRunScan");
    });
    window->Execute(ppMusicFolders);
    ASSERT_EQ(ui.windows.size(), 1u);
    EXPECT_EQ(ui.windows.front(), TcoreWindow::MusicSearch);
    EXPECT_FALSE(search.isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(core->FadeOutTime(), 2000) << "closing after the scan applies the fades";
}

// Larger fonts make the windows larger; nothing is cut off.
TEST(SearchDialogsLayout, NoTextIsClippedWithALargeFont)
{
    const QFont original = QApplication::font();
    QFont large = original;
    large.setPointSizeF(original.pointSizeF() * 2);
    QApplication::setFont(large);
    {
        TcoreTestFolder folder;
        TrecordedCore run(folder.options());
        TdmMain &core = run.core;
        core.SetMusicFolders({ folder.music() + QLatin1Char('/') });
        TfrmMusicSearch search(core);
        TfrmPreferences preferences(core);

        auto check = [](QWidget *window, const QString &where) {
            window->show();
            QApplication::processEvents();
            const QRect area = window->rect();
            for (QWidget *widget : window->findChildren<QWidget *>()) {
                if (!widget->isVisible() || widget->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored)
                    continue;
                const bool hasText
                    = (qobject_cast<QLabel *>(widget) && !qobject_cast<QLabel *>(widget)->text().isEmpty())
                    || qobject_cast<QAbstractButton *>(widget);
                if (!hasText)
                    continue;
                const QSize need = widget->minimumSizeHint();
                EXPECT_GE(widget->width(), need.width())
                    << where.toStdString() << " " << widget->objectName().toStdString();
                EXPECT_GE(widget->height(), need.height()) << where.toStdString();
                const QRect placed(widget->mapTo(window, QPoint(0, 0)), widget->size());
                EXPECT_TRUE(area.contains(placed)) << where.toStdString();
            }
        };
        check(&search, QStringLiteral("music search"));
        search.close();
        for (const TpreferencesPage page : { ppMusicFolders, ppCrossFader, ppGeneral }) {
            preferences.SetPage(page);
            check(&preferences, QStringLiteral("preferences page %1").arg(int(page)));
        }
        preferences.close();
    }
    QApplication::setFont(original);
}

// Between Tracks: the core's sound settings shown when the window opens, the
// listener's choices handed to the core when it closes, and kept in
// vorlen.ini at exit.
TEST_F(PreferencesWindow, TheBetweenTracksChoicesShowTheCoresValuesAndClosingAppliesThem)
{
    makeWindow();
    TsoundSettings before;
    before.GainMode = gmAlbum;
    before.TargetLoudness = -23;
    before.PreAmp = 4;
    before.Gapless = false;
    core->SetSoundSettings(before);

    WhenModal<TfrmPreferences>([this](TfrmPreferences *shownWindow) {
        EXPECT_EQ(child<QComboBox>("cbGainMode")->currentIndex(), int(gmAlbum));
        EXPECT_EQ(text("lblTargetLoudness"), QStringLiteral("-23 LUFS"));
        EXPECT_EQ(text("lblPreAmp"), QStringLiteral("4 dB"));
        EXPECT_FALSE(child<QCheckBox>("cbGapless")->isChecked());
        EXPECT_TRUE(child<QCheckBox>("cbFadesMeetMusic")->isChecked());
        EXPECT_TRUE(child<QCheckBox>("cbMeasureLoudness")->isChecked());
        child<QComboBox>("cbGainMode")->setCurrentIndex(int(gmAuto));
        auto *target = child<QSlider>("sbTargetLoudness");
        target->setFocus();
        QTest::keyClick(target, Qt::Key_End);
        EXPECT_EQ(text("lblTargetLoudness"), QStringLiteral("-10 LUFS"));
        child<QSlider>("sbPreAmp")->setValue(-12);
        click("cbGapless");
        click("cbFadesMeetMusic");
        click("cbMeasureLoudness");
        QTest::keyClick(shownWindow, Qt::Key_Escape);
    });
    window->Execute(ppCrossFader);
    const TsoundSettings &after = core->Sound().Settings();
    EXPECT_EQ(after.GainMode, gmAuto);
    EXPECT_EQ(after.TargetLoudness, -10);
    EXPECT_EQ(after.PreAmp, -12);
    EXPECT_TRUE(after.Gapless);
    EXPECT_FALSE(after.FadesMeetMusic);
    EXPECT_FALSE(core->Sound().AnalysisEnabled());

    core->SaveSettings();
    TiniFile ini(core->SettingsFile());
    EXPECT_EQ(ReadSoundSettings(ini), after);
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("CrossFader"), QStringLiteral("MeasureLoudness"), true));
}
