#include "playlistFormsFixture.h"

#include "library/tagPlaylist.h"
#include "ui/forms/frmPlayListrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace {

struct PlaylistOptions : PlaylistForms {
    std::unique_ptr<TfrmPlayListrules> window;

    void SetUp() override
    {
        PlaylistForms::SetUp();
        window = std::make_unique<TfrmPlayListrules>(*core);
        shown = window.get();
    }

    void chooseGenre(const QString &genre)
    {
        auto *genres = child<QComboBox>("cbGenres");
        genres->setCurrentIndex(genres->findText(genre));
        click("btnAddGenre");
    }

    QStringList shownGenres()
    {
        QStringList out;
        auto *list = child<QListWidget>("lbGenres");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
};

} // namespace

TEST_F(PlaylistOptions, TheGenreRuleFillsTheLoadedPlaylistWithTheChosenGenresInRandomOrder)
{
    core->SetGenres({QStringLiteral("jazz")});
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Playlist Options"));
    EXPECT_EQ(shownGenres(), QStringList{"jazz"}) << "filled from the genre rule's list on show";
    auto *genres = child<QComboBox>("cbGenres");
    EXPECT_EQ(genres->count(), 148);
    EXPECT_EQ(genres->currentIndex(), 0);

    // Only the chosen rule's group can be used.
    EXPECT_FALSE(child<QGroupBox>("gbPlaylistFile")->isEnabled());
    EXPECT_FALSE(child<QGroupBox>("gbGenre")->isEnabled());
    click("rbGenre");
    EXPECT_TRUE(child<QGroupBox>("gbGenre")->isEnabled());
    EXPECT_FALSE(child<QGroupBox>("gbPlaylistFile")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>("edFilename")->isEnabled());

    // Each genre once, whatever its case, in sorted order.
    chooseGenre(QStringLiteral("Rock"));
    chooseGenre(QStringLiteral("Rock"));
    chooseGenre(QStringLiteral("Jazz"));
    chooseGenre(QStringLiteral("Blues"));
    EXPECT_EQ(shownGenres(), (QStringList{"Blues", "jazz", "Rock"}));
    child<QListWidget>("lbGenres")->setCurrentRow(1);
    click("btnDeleteGenre");
    EXPECT_EQ(shownGenres(), (QStringList{"Blues", "Rock"}));
    child<QListWidget>("lbGenres")->clearSelection();
    click("btnDeleteGenre");
    EXPECT_EQ(shownGenres(), (QStringList{"Blues", "Rock"})) << "nothing selected, nothing deleted";

    run->face.log.clear();
    click("btnOK");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sorted(titles(loaded())), (QStringList{"Song 0", "Song 2"}));
    EXPECT_TRUE(loaded().Randomise());
    EXPECT_EQ(core->GetGenres(), (QStringList{"Blues", "Rock"}));
    EXPECT_EQ(run->face.count(QStringLiteral("PlaylistChanged")), 1);

    // The chosen genres are the rule's from then on: they survive a restart.
    core->SaveSettings();
    start();
    EXPECT_EQ(core->GetGenres(), (QStringList{"Blues", "Rock"}));

    // "Clear All" and OK: a genre rule with no genre gives an empty playlist.
    TfrmPlayListrules again(*core);
    again.show();
    Click(again.findChild<QRadioButton *>(QStringLiteral("rbGenre")));
    Click(again.findChild<QPushButton *>(QStringLiteral("btnClearGenres")));
    EXPECT_TRUE(again.ChosenGenres().isEmpty());
    Click(again.findChild<QPushButton *>(QStringLiteral("btnOK")));
    EXPECT_EQ(loaded().Count(), 0);
    EXPECT_TRUE(core->GetGenres().isEmpty());
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(PlaylistOptions, AFileThatGivesNoTrackIsRefusedAndChangesNothing)
{
    ASSERT_TRUE(core->ApplyPlaylistRule(prGenres, {}, false, {QStringLiteral("Pop")}));
    const QString dead = writeM3u(QStringLiteral("dead.m3u"), {s_music->filePath(QStringLiteral("gone.mp3"))});
    const QString party = writeM3u(QStringLiteral("party.m3u"), {s_tracks[3], s_tracks[1]});
    QString offered;
    QString answer;
    TplaylistFileChooser chooser;
    chooser.Open = [&](QWidget *, const QString &folder) {
        offered = folder;
        return answer;
    };
    window->SetFileChooser(chooser);
    window->show();
    click("rbPlaylistFile");
    EXPECT_TRUE(child<QCheckBox>("cbRandom")->isEnabled());

    // The user cancels the file dialog: the box keeps what it had.
    child<QLineEdit>("edFilename")->setText(dead);
    click("btnBrowse");
    EXPECT_EQ(offered, core->Settings().PlaylistFolder);
    EXPECT_EQ(child<QLineEdit>("edFilename")->text(), dead);

    click("btnOK");
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(dead));
    EXPECT_TRUE(window->isVisible()) << "the window stays open for another file";
    EXPECT_EQ(titles(loaded()), QStringList{"Song 3"});

    child<QLineEdit>("edFilename")->clear();
    click("btnOK");
    EXPECT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(titles(loaded()), QStringList{"Song 3"});

    // A good file chosen through the dialog, played in order.
    answer = party;
    click("btnBrowse");
    EXPECT_EQ(child<QLineEdit>("edFilename")->text(), party);
    EXPECT_EQ(core->Settings().PlaylistFolder, folder.root.path());
    click("btnOK");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(titles(loaded()), (QStringList{"Song 3", "Song 1"}));
    EXPECT_FALSE(loaded().Randomise());
    EXPECT_EQ(boxes.texts.size(), 2);
}

TEST_F(PlaylistOptions, ExecuteAnswersWhetherARuleWasAppliedAndNoRuleEmptiesThePlaylist)
{
    const QString party = writeM3u(QStringLiteral("party.m3u"), {s_tracks[0], s_tracks[2]});
    ASSERT_TRUE(core->ApplyPlaylistRule(prM3uFile, party, false, {}));

    // Cancel (and Escape) leave the playlist alone.
    WhenModal<TfrmPlayListrules>([](TfrmPlayListrules *dialog) {
        Click(dialog->findChild<QRadioButton *>(QStringLiteral("rbNoRule")));
        Click(dialog->findChild<QPushButton *>(QStringLiteral("btnCancel")));
    });
    EXPECT_FALSE(window->Execute());
    EXPECT_EQ(loaded().Count(), 2);
    WhenModal<TfrmPlayListrules>([](TfrmPlayListrules *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_FALSE(window->Execute());
    EXPECT_EQ(loaded().Count(), 2);

    // Return presses OK.
    WhenModal<TfrmPlayListrules>([](TfrmPlayListrules *dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
    EXPECT_TRUE(window->Execute());
    EXPECT_EQ(loaded().Count(), 0);
    EXPECT_EQ(core->jblMain().MasterList().Count(), 4) << "the library's records stay";
}
