#include "coreFakes.h"
#include "coreTestFolder.h"
#include "modalDriver.h"

#include "core/dmMain.h"
#include "platform/iniFile.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/forms/colorPanel.h"
#include "ui/forms/frmJukebox.h"
#include "ui/forms/frmJukeboxSkin.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/forms/menuToolBar.h"
#include "ui/lists/jukeboxTree.h"
#include "ui/lists/queueList.h"
#include "ui/lists/songList.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <deque>
#include <memory>

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

static void PrintTo(const QColor &color, std::ostream *os)
{
    *os << color.name().toStdString();
}

namespace {

// A jukebox window over a real core, its Skins dialog as the program makes
// it, and scripted answers for the font and colour choosers.
class SkinsDialog : public ::testing::Test {
protected:
    void SetUp() override { start(); }
    void TearDown() override { stop(); }

    // The window as the program starts it, up to its first activation, with
    // the dialog.
    void start()
    {
        window = std::make_unique<TfrmJukebox>();
        core = std::make_unique<TdmMain>(ui, folder.options());
        window->SetCore(core.get());
        core->LoadSettings();
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
        dialog = std::make_unique<TfrmJukeboxSkin>(*window, *core, window.get());
        window->Dialogs().Skins = [this] { dialog->Execute(); };
        dialog->ChooseFont = scripted(fontAnswers, fontsOffered);
        dialog->ChooseColor = scripted(colorAnswers, colorsOffered);
    }

    void stop()
    {
        dialog.reset();
        window->SetCore(nullptr);
        core.reset();
        window.reset();
    }

    // A chooser that notes what it is offered and gives the next answer, or
    // cancels when there is none.
    template <typename T> static std::function<bool(T &)> scripted(std::deque<T> &answers, std::vector<T> &offered)
    {
        return [&answers, &offered](T &value) {
            offered.push_back(value);
            if (answers.empty())
                return false;
            value = answers.front();
            answers.pop_front();
            return true;
        };
    }

    // Opens the dialog from the window's command, lets act work in it and
    // closes it with the button of that name.
    void openSkins(const std::function<void(TfrmJukeboxSkin &)> &act, const char *closeWith)
    {
        WhenModal<TfrmJukeboxSkin>([act, closeWith](TfrmJukeboxSkin *skins) {
            act(*skins);
            skins->findChild<QPushButton *>(QLatin1String(closeWith))->click();
        });
        window->Action(jcSkins)->trigger();
        QApplication::processEvents();
    }

    static QTreeWidget &tree(TfrmJukeboxSkin &skins)
    {
        return *skins.findChild<QTreeWidget *>(QStringLiteral("tvFonts"));
    }

    static QTreeWidgetItem *node(TfrmJukeboxSkin &skins, const QString &caption)
    {
        const QList<QTreeWidgetItem *> found = tree(skins).findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << caption.toStdString();
        return found.value(0);
    }

    static void choose(TfrmJukeboxSkin &skins, const QString &caption)
    {
        tree(skins).setCurrentItem(node(skins, caption));
    }

    static void press(TfrmJukeboxSkin &skins, const char *name)
    {
        auto *button = skins.findChild<QPushButton *>(QLatin1String(name));
        ASSERT_TRUE(button->isEnabled()) << name;
        button->click();
    }

    static QStringList captions(const QTreeWidgetItem *parent)
    {
        QStringList texts;
        for (int i = 0; i < parent->childCount(); ++i)
            texts << parent->child(i)->text(0);
        return texts;
    }

    QStringList labelsOfGroup(int tag) const
    {
        QStringList names;
        for (const TdravoLabel *label : window->Labels()) {
            if (label->Tag() == tag)
                names << label->objectName();
        }
        return names;
    }

    QString skinFile() const { return folder.home() + QStringLiteral("/vorlen.vsk"); }

    static QFont font(const char *family, int points, bool bold = false, bool italic = false)
    {
        QFont f { QString::fromLatin1(family) };
        f.setPointSize(points);
        f.setBold(bold);
        f.setItalic(italic);
        return f;
    }

    TcoreTestFolder folder;
    TscriptedUi ui;
    std::unique_ptr<TfrmJukebox> window;
    std::unique_ptr<TdmMain> core;
    std::unique_ptr<TfrmJukeboxSkin> dialog;
    std::deque<QFont> fontAnswers;
    std::deque<QColor> colorAnswers;
    std::vector<QFont> fontsOffered;
    std::vector<QColor> colorsOffered;
};

TEST_F(SkinsDialog, OpensWithTheWindowsColoursAndAFreshFontTree)
{
    window->Clock().SetBackgroundColor(QColor(10, 20, 30));
    openSkins(
        [this](TfrmJukeboxSkin &skins) {
            EXPECT_EQ(skins.windowTitle(), QStringLiteral("Skins"));
            EXPECT_EQ(skins.ButtonColor(), window->ButtonColor());
            EXPECT_EQ(skins.PanelColor(), window->PanelColor());

            QTreeWidget &fonts = tree(skins);
            QStringList roots;
            for (int i = 0; i < fonts.topLevelItemCount(); ++i)
                roots << fonts.topLevelItem(i)->text(0);
            EXPECT_EQ(roots,
                QStringList({ "Clock", "Menu", "Queue List", "Song List", "Song Title", "Timer", "Tree View",
                    "Track Info Labels", "Track Info Detail", "List Info Labels", "List Info Detail", "List Titles" }));
            EXPECT_EQ(captions(node(skins, QStringLiteral("Tree View"))), QStringList({ "Main Font", "Detail Font" }));
            EXPECT_EQ(captions(node(skins, QStringLiteral("Track Info Labels"))),
                QStringList(
                    { "lblTrackCaption", "lblArtistCaption", "lblAlbumCaption", "lblModeCaption", "lblTimeCaption" }));
            EXPECT_EQ(
                captions(node(skins, QStringLiteral("List Titles"))), QStringList({ "lblArtistList", "lblTrackList" }));
            EXPECT_EQ(captions(node(skins, QStringLiteral("List Info Detail"))), labelsOfGroup(50));
            EXPECT_EQ(captions(node(skins, QStringLiteral("Track Info Detail"))), labelsOfGroup(53));
            EXPECT_EQ(captions(node(skins, QStringLiteral("List Info Labels"))), labelsOfGroup(51));

            // Nothing chosen yet: no font button works, the sample is at
            // least its default height.
            EXPECT_EQ(skins.CurrentRecord(), nullptr);
            for (const char *name : { "btnFont", "btnFontColor", "btnBackgroundColor" })
                EXPECT_FALSE(skins.findChild<QPushButton *>(QLatin1String(name))->isEnabled()) << name;
            EXPECT_GE(skins.findChild<TvorlenPanel *>(QStringLiteral("pnlSample"))->height(), 87);

            // A record takes its element's values.
            choose(skins, QStringLiteral("Clock"));
            ASSERT_NE(skins.CurrentRecord(), nullptr);
            EXPECT_EQ(skins.CurrentRecord()->background, QColor(10, 20, 30));
            EXPECT_EQ(skins.CurrentRecord()->font.color, window->Clock().FontColor());
            choose(skins, QStringLiteral("Detail Font"));
            EXPECT_EQ(skins.CurrentRecord()->font.font.family(), core->TreeFont().family);
            EXPECT_EQ(skins.CurrentRecord()->font.font.pointSize(), core->TreeFont().pointSize);
            EXPECT_EQ(skins.CurrentRecord()->font.color.rgb() & 0xFFFFFF, core->TreeFont().rgb);

            // The skin files page is there, and inert.
            auto *pages = skins.findChild<QTabWidget *>(QStringLiteral("pcSkins"));
            EXPECT_EQ(pages->tabText(0), QStringLiteral("Colors && Fonts"));
            EXPECT_EQ(pages->tabText(1), QStringLiteral("Skins"));
            EXPECT_FALSE(pages->widget(1)->isEnabled());
            for (const char *name : { "btnLoadSkin", "btnExportSkin", "btnRestoreDefaultSkin" })
                EXPECT_FALSE(skins.findChild<QPushButton *>(QLatin1String(name))->isEnabled()) << name;
            EXPECT_EQ(skins.findChild<QLabel *>(QStringLiteral("lblNotImplemented"))->text(),
                QStringLiteral("Sorry, skins have not been implemented yet.  They will be implemented in the next "
                               "version when the layout is fully finalized."));
        },
        "btnCancel");
}

TEST_F(SkinsDialog, BackgroundColourOnlyForElementsThatHaveOne)
{
    openSkins(
        [](TfrmJukeboxSkin &skins) {
            const QStringList withBackground
                = { "Clock", "Queue List", "Song List", "Song Title", "Timer", "Tree View" };
            const QStringList fontOnly = { "Menu", "Main Font", "Detail Font", "Track Info Labels", "lblTrack",
                "List Info Detail", "lblArtistList" };
            auto *fontButton = skins.findChild<QPushButton *>(QStringLiteral("btnFont"));
            auto *fontColor = skins.findChild<QPushButton *>(QStringLiteral("btnFontColor"));
            auto *background = skins.findChild<QPushButton *>(QStringLiteral("btnBackgroundColor"));
            for (const QString &caption : withBackground) {
                choose(skins, caption);
                EXPECT_TRUE(fontButton->isEnabled() && fontColor->isEnabled() && background->isEnabled())
                    << caption.toStdString();
            }
            for (const QString &caption : fontOnly) {
                choose(skins, caption);
                EXPECT_TRUE(fontButton->isEnabled() && fontColor->isEnabled()) << caption.toStdString();
                EXPECT_FALSE(background->isEnabled()) << caption.toStdString();
            }
        },
        "btnCancel");
}

TEST_F(SkinsDialog, TheSampleShowsTheChosenRecordOnItsBackground)
{
    window->Timer().SetBackColor(QColor(0, 0, 80));
    colorAnswers = { QColor(90, 0, 0), QColor(200, 200, 0) };
    fontAnswers = { font("Serif", 30, true) };
    openSkins(
        [this](TfrmJukeboxSkin &skins) {
            auto *sample = skins.findChild<TvorlenPanel *>(QStringLiteral("pnlSample"));
            auto *text = skins.findChild<QLabel *>(QStringLiteral("lblSample"));
            EXPECT_EQ(text->text(), QStringLiteral("Sample Text"));

            choose(skins, QStringLiteral("Timer"));
            EXPECT_FALSE(sample->IsSkinned());
            EXPECT_EQ(sample->PanelColor(), QColor(0, 0, 80));
            EXPECT_EQ(text->font().pointSize(), window->Timer().font().pointSize());

            // The choosers start from the record's values; the sample follows
            // what they answer.
            press(skins, "btnBackgroundColor");
            EXPECT_EQ(colorsOffered.back(), QColor(0, 0, 80));
            EXPECT_EQ(sample->PanelColor(), QColor(90, 0, 0));
            press(skins, "btnFontColor");
            EXPECT_EQ(colorsOffered.back(), window->Timer().FontColor());
            EXPECT_EQ(text->palette().color(QPalette::WindowText), QColor(200, 200, 0));
            press(skins, "btnFont");
            EXPECT_EQ(fontsOffered.back().family(), window->Timer().font().family());
            EXPECT_EQ(text->font().pointSize(), 30);
            EXPECT_TRUE(text->font().bold());
            // A large font grows the sample rather than cutting its text.
            QApplication::processEvents();
            EXPECT_GE(text->height(), text->sizeHint().height());
            EXPECT_GE(text->width(), text->sizeHint().width());

            // The tree's fonts are seen on the tree's colour.
            choose(skins, QStringLiteral("Main Font"));
            EXPECT_EQ(sample->PanelColor(), window->Lists().Tree().Color());

            // A label is seen on its panel's skin.
            choose(skins, QStringLiteral("lblArtistList"));
            const auto *under = dynamic_cast<const TvorlenPanel *>(window->Label(jlArtistList)->parentWidget());
            ASSERT_NE(under, nullptr);
            EXPECT_EQ(sample->IsSkinned(), under->IsSkinned());
            EXPECT_EQ(sample->PanelColor(), under->PanelColor());
            for (int piece = 0; piece < kPanelPieceCount; ++piece)
                EXPECT_EQ(sample->Piece(TpanelPiece(piece)), under->Piece(TpanelPiece(piece))) << piece;

            // Back on the timer: the edited values, not the window's.
            choose(skins, QStringLiteral("Timer"));
            EXPECT_FALSE(sample->IsSkinned());
            EXPECT_EQ(sample->PanelColor(), QColor(90, 0, 0));
        },
        "btnCancel");
}

TEST_F(SkinsDialog, AChoiceOnANodeGoesToEveryNodeUnderItAndApplyWritesThemAll)
{
    const QFont groupFont = font("Serif", 17, true, true);
    const QFont oneLabelFont = font("Monospace", 9);
    const QFont treeFont = font("Serif", 11, true);
    fontAnswers = { groupFont, oneLabelFont, treeFont };
    colorAnswers = { QColor(255, 128, 0), QColor(1, 2, 3), QColor(0, 99, 0) };
    const QStringList group = labelsOfGroup(51);
    ASSERT_GE(group.size(), 2);
    const QFont otherLabelFont = window->Label(jlTrack)->font();

    openSkins(
        [&](TfrmJukeboxSkin &skins) {
            choose(skins, QStringLiteral("List Info Labels"));
            press(skins, "btnFont");
            press(skins, "btnFontColor");
            // After the group, one of its labels on its own.
            choose(skins, group[1]);
            EXPECT_EQ(skins.CurrentRecord()->font.font, groupFont) << "the group's choice reached its labels";
            press(skins, "btnFont");

            choose(skins, QStringLiteral("Tree View"));
            press(skins, "btnFont");
            press(skins, "btnFontColor");
            press(skins, "btnBackgroundColor");
            // Nothing reaches the window before Apply.
            EXPECT_NE(window->FindLabel(group[0])->font().family(), groupFont.family());
            EXPECT_NE(core->TreeFont().family, treeFont.family());
        },
        "btnApply");

    for (int i = 0; i < group.size(); ++i) {
        const TdravoLabel *label = window->FindLabel(group[i]);
        const QFont expected = i == 1 ? oneLabelFont : groupFont;
        EXPECT_EQ(label->font().family(), expected.family()) << group[i].toStdString();
        EXPECT_EQ(label->font().pointSize(), expected.pointSize()) << group[i].toStdString();
        EXPECT_EQ(label->font().italic(), expected.italic()) << group[i].toStdString();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 128, 0)) << group[i].toStdString();
    }
    const TdravoLabel *other = window->Label(jlTrack);
    EXPECT_EQ(other->font().family(), otherLabelFont.family()) << "another group is left alone";
    EXPECT_NE(other->palette().color(QPalette::WindowText), QColor(255, 128, 0));

    // The tree node's choices went to both of the core's tree fonts, and its
    // background to the tree.
    for (const TtreeFont &f : { core->TreeFontLarge(), core->TreeFont() }) {
        EXPECT_EQ(f.family, treeFont.family());
        EXPECT_EQ(f.pointSize, 11);
        EXPECT_TRUE(f.bold);
        EXPECT_EQ(f.rgb, 0x010203u);
    }
    EXPECT_EQ(window->Lists().Tree().Color(), QColor(0, 99, 0));
    EXPECT_EQ(window->Lists().Tree().font().family(), treeFont.family()) << "the tree heard of its new font";
}

TEST_F(SkinsDialog, ApplyWritesEachKindOfElementBack)
{
    fontAnswers = { font("Serif", 21), font("Serif", 13), font("Monospace", 19, true), font("Serif", 15) };
    colorAnswers = { QColor(1, 1, 100), QColor(2, 2, 200), QColor(3, 100, 3), QColor(250, 250, 250) };
    const int menuHeight = window->MenuPanel().height();
    const QColor queueColor = window->Lists().Queue().Color();
    const QFont queueFont = window->Lists().Queue().font();
    openSkins(
        [](TfrmJukeboxSkin &skins) {
            choose(skins, QStringLiteral("Clock"));
            press(skins, "btnFont");
            press(skins, "btnBackgroundColor");
            choose(skins, QStringLiteral("Song List"));
            press(skins, "btnFont");
            press(skins, "btnBackgroundColor");
            choose(skins, QStringLiteral("Song Title"));
            press(skins, "btnBackgroundColor");
            choose(skins, QStringLiteral("Menu"));
            press(skins, "btnFont");
            press(skins, "btnFontColor");
            choose(skins, QStringLiteral("Timer"));
            press(skins, "btnFont");
        },
        "btnApply");
    EXPECT_EQ(window->Clock().font().pointSize(), 21);
    EXPECT_EQ(window->Clock().BackgroundColor(), QColor(1, 1, 100));
    EXPECT_EQ(window->Lists().Songs().font().pointSize(), 13);
    EXPECT_EQ(window->Lists().Songs().Color(), QColor(2, 2, 200));
    EXPECT_EQ(window->Banner().Color_Background(), QColor(3, 100, 3));
    EXPECT_EQ(window->MenuBar().MenuFont().pointSize(), 19);
    EXPECT_EQ(window->MenuBar().MenuFontColor(), QColor(250, 250, 250));
    EXPECT_GT(window->MenuPanel().height(), menuHeight) << "the menu panel makes room for the larger font";
    EXPECT_EQ(window->MenuPanel().height(), window->MenuBar().PreferredHeight());
    EXPECT_EQ(window->Timer().font().pointSize(), 15);
    // Elements not touched keep their values.
    EXPECT_EQ(window->Lists().Queue().Color(), queueColor);
    EXPECT_EQ(window->Lists().Queue().font(), queueFont);
}

TEST_F(SkinsDialog, CancelChangesNothingAndTheNextOpeningStartsAfresh)
{
    const QColor buttonColor = window->ButtonColor();
    const QColor panelColor = window->PanelColor();
    const QFont clockFont = window->Clock().font();
    const QColor clockBackground = window->Clock().BackgroundColor();
    const QFont labelFont = window->FindLabel(QStringLiteral("lblTrackCaption"))->font();
    const TtreeFont treeFont = core->TreeFontLarge();
    fontAnswers = { font("Serif", 33), font("Serif", 34), font("Serif", 35) };
    colorAnswers = { QColor(9, 9, 9), QColor(8, 8, 8), QColor(7, 7, 7), QColor(6, 6, 6) };

    openSkins(
        [](TfrmJukeboxSkin &skins) {
            QTest::mouseClick(skins.findChild<TcolorPanel *>(QStringLiteral("pnlButtonColor")), Qt::LeftButton);
            QTest::mouseClick(skins.findChild<TcolorPanel *>(QStringLiteral("pnlPanelColor")), Qt::LeftButton);
            EXPECT_EQ(skins.ButtonColor(), QColor(9, 9, 9));
            EXPECT_EQ(skins.PanelColor(), QColor(8, 8, 8));
            choose(skins, QStringLiteral("Clock"));
            press(skins, "btnFont");
            press(skins, "btnBackgroundColor");
            choose(skins, QStringLiteral("Track Info Labels"));
            press(skins, "btnFont");
            choose(skins, QStringLiteral("Tree View"));
            press(skins, "btnFont");
        },
        "btnCancel");

    EXPECT_EQ(window->ButtonColor(), buttonColor);
    EXPECT_EQ(window->PanelColor(), panelColor);
    EXPECT_EQ(window->Clock().font(), clockFont);
    EXPECT_EQ(window->Clock().BackgroundColor(), clockBackground);
    EXPECT_EQ(window->FindLabel(QStringLiteral("lblTrackCaption"))->font(), labelFont);
    EXPECT_EQ(core->TreeFontLarge(), treeFont);
    EXPECT_FALSE(QFileInfo::exists(skinFile()));

    // Escape is Cancel too; the edits of the last opening are gone.
    WhenModal<TfrmJukeboxSkin>([&](TfrmJukeboxSkin *skins) {
        EXPECT_EQ(skins->CurrentRecord(), nullptr);
        EXPECT_EQ(skins->ButtonColor(), buttonColor);
        choose(*skins, QStringLiteral("Clock"));
        EXPECT_EQ(skins->CurrentRecord()->background, clockBackground);
        EXPECT_EQ(skins->CurrentRecord()->font.font.pointSize(), clockFont.pointSize());
        QTest::keyClick(skins, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog->Execute(), QDialog::Rejected);
    EXPECT_EQ(dialog->CurrentRecord(), nullptr) << "closing lets go of the records";
}

TEST_F(SkinsDialog, ChangedColoursAreSavedIntoTheSkinFileAndAppliedAtOnce)
{
    ASSERT_FALSE(QFileInfo::exists(skinFile()));
    const QColor button(200, 40, 40);
    const QColor panel(20, 90, 30);
    colorAnswers = { button, panel };
    fontAnswers = { font("Serif", 23) };
    openSkins(
        [](TfrmJukeboxSkin &skins) {
            QTest::mouseClick(skins.findChild<TcolorPanel *>(QStringLiteral("pnlButtonColor")), Qt::LeftButton);
            QTest::keyClick(skins.findChild<TcolorPanel *>(QStringLiteral("pnlPanelColor")), Qt::Key_Space);
            choose(skins, QStringLiteral("Clock"));
            press(skins, "btnFont");
        },
        "btnApply");
    // The colour panels were offered the window's colours.
    ASSERT_EQ(colorsOffered.size(), 2u);
    EXPECT_EQ(colorsOffered[0], QColor(0xcc, 0xcc, 0xe0));
    EXPECT_EQ(colorsOffered[1], QColor(0x44, 0x44, 0x60));

    EXPECT_EQ(window->ButtonColor(), button);
    EXPECT_EQ(window->PanelColor(), panel);
    // The skin was applied again with them.
    EXPECT_EQ(window->MenuBar().Color(), panel);
    EXPECT_EQ(window->palette().color(QPalette::Window), panel);
    // And saved, with the fonts of the moment, into vorlen.vsk.
    const TiniFile skin(skinFile());
    EXPECT_EQ(skin.ReadString(QStringLiteral("Colors"), QStringLiteral("ButtonColor"), {}), QStringLiteral("#C82828"));
    EXPECT_EQ(skin.ReadString(QStringLiteral("Colors"), QStringLiteral("PanelColor"), {}), QStringLiteral("#145A1E"));
    EXPECT_EQ(skin.ReadInteger(QStringLiteral("Fonts"), QStringLiteral("ClockSize"), 0), 23);
    EXPECT_EQ(window->Clock().font().pointSize(), 23) << "re-reading the skin file kept the new font";
}

TEST_F(SkinsDialog, ColoursOfAChosenSkinFileGoIntoThatFile)
{
    const QString chosen = folder.home() + QStringLiteral("/Blue.vsk");
    {
        QFile file(chosen);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Colors]\nButtonColor=#808080\nPanelColor=#808080\n");
    }
    window->SetSkinFile(chosen);
    ASSERT_EQ(window->SkinFile(), chosen);
    colorAnswers = { QColor(0, 0, 255) };
    openSkins(
        [](TfrmJukeboxSkin &skins) {
            QTest::mouseClick(skins.findChild<TcolorPanel *>(QStringLiteral("pnlPanelColor")), Qt::LeftButton);
        },
        "btnApply");
    EXPECT_EQ(window->PanelColor(), QColor(0, 0, 255));
    EXPECT_EQ(window->ButtonColor(), QColor(0x80, 0x80, 0x80)) << "the other colour is taken as it stood";
    EXPECT_EQ(TiniFile(chosen).ReadString(QStringLiteral("Colors"), QStringLiteral("PanelColor"), {}),
        QStringLiteral("#0000FF"));
    EXPECT_FALSE(QFileInfo::exists(skinFile()));
}

TEST_F(SkinsDialog, FontChangesAloneReachTheSkinFileOnlyAtExit)
{
    colorAnswers = { window->ButtonColor(), QColor(255, 0, 255) };
    fontAnswers = { font("Serif", 27, true) };
    openSkins(
        [](TfrmJukeboxSkin &skins) {
            // Choosing the colour a panel already has is no change.
            QTest::mouseClick(skins.findChild<TcolorPanel *>(QStringLiteral("pnlButtonColor")), Qt::LeftButton);
            choose(skins, QStringLiteral("Song List"));
            press(skins, "btnFontColor");
            choose(skins, QStringLiteral("Song Title"));
            press(skins, "btnFont");
        },
        "btnApply");
    // Shown at once, written nowhere.
    EXPECT_EQ(window->Lists().Songs().FontColor(), QColor(255, 0, 255));
    EXPECT_EQ(window->Banner().font().pointSize(), 27);
    EXPECT_FALSE(QFileInfo::exists(skinFile()));

    // The settings written at exit carry them into vorlen.vsk.
    core->SaveSettings();
    const TiniFile skin(skinFile());
    EXPECT_EQ(skin.ReadString(QStringLiteral("Fonts"), QStringLiteral("SongListColor"), {}), QStringLiteral("#FF00FF"));
    EXPECT_EQ(skin.ReadInteger(QStringLiteral("Fonts"), QStringLiteral("SongTitleSize"), 0), 27);
    EXPECT_EQ(skin.ReadString(QStringLiteral("Fonts"), QStringLiteral("SongTitleBold"), {}), QStringLiteral("1"));

    // And the next start reads them back.
    stop();
    start();
    EXPECT_EQ(window->Lists().Songs().FontColor(), QColor(255, 0, 255));
    EXPECT_EQ(window->Banner().font().pointSize(), 27);
}

TEST_F(SkinsDialog, NoTextIsCutWithALargeFont)
{
    QFont large = QApplication::font();
    large.setPointSize(large.pointSize() * 2);
    dialog->setFont(large);
    openSkins(
        [](TfrmJukeboxSkin &skins) {
            QApplication::processEvents();
            for (int page = 0; page < 2; ++page) {
                skins.findChild<QTabWidget *>(QStringLiteral("pcSkins"))->setCurrentIndex(page);
                QApplication::processEvents();
                for (const QPushButton *button : skins.findChildren<QPushButton *>()) {
                    if (!button->isVisible())
                        continue;
                    EXPECT_GE(button->width(), button->minimumSizeHint().width()) << button->text().toStdString();
                    EXPECT_GE(button->height(), button->minimumSizeHint().height()) << button->text().toStdString();
                }
                for (const QLabel *label : skins.findChildren<QLabel *>()) {
                    if (!label->isVisible())
                        continue;
                    const QSize needed = label->wordWrap()
                        ? QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()))
                        : label->minimumSizeHint();
                    EXPECT_GE(label->width(), needed.width()) << label->text().toStdString();
                    EXPECT_GE(label->height(), needed.height()) << label->text().toStdString();
                }
            }
        },
        "btnCancel");
}

} // namespace
