#include "playlistFormsFixture.h"

#include "library/tagPlaylist.h"
#include "ui/forms/frmEditPlaylists.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>

namespace {

struct EditPlaylists : PlaylistForms {
    std::unique_ptr<TfrmEditPlaylists> window;
    QString party;
    QString mellow;

    void SetUp() override
    {
        PlaylistForms::SetUp();
        party = writeM3u(QStringLiteral("party.m3u"), {s_tracks[0], s_tracks[3], s_tracks[2]});
        mellow = writeM3u(QStringLiteral("mellow.m3u"), {s_tracks[1]});
        window = std::make_unique<TfrmEditPlaylists>(*core);
        shown = window.get();
    }

    void enter(const QString &name, const QString &file, bool reset, bool loop)
    {
        child<QLineEdit>("edName")->setText(name);
        child<QLineEdit>("edFilename")->setText(file);
        child<QCheckBox>("cbResetCounter")->setChecked(reset);
        child<QCheckBox>("cbLoop")->setChecked(loop);
    }

    QStringList listed()
    {
        QStringList out;
        auto *list = child<QListWidget>("lbPlaylists");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    const TtagPlayListCollection &collection() { return core->jblMain().PlaylistCollection(); }
};

} // namespace

TEST_F(EditPlaylists, AddingAPlaylistShowsItsProgressAndRefusesWhatCannotBeAdded)
{
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Edit Playlists"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(child<QLineEdit>("edName")->toolTip(), QStringLiteral("A descriptive name for the playlist."));
    EXPECT_EQ(child<QCheckBox>("cbLoop")->toolTip(),
              QStringLiteral("Checking this will cause the playlist to start over\nwhen it has played all songs."));
    EXPECT_FALSE(child<QProgressBar>("pbAdding")->isVisible());

    // What the window shows while the tracks are read, step by step: the
    // read lets no events run, so the bar's own steps are where to look.
    QStringList seen;
    const auto watch = QObject::connect(child<QProgressBar>("pbAdding"), &QProgressBar::valueChanged, [&] {
        const QString state = QStringLiteral("adding=%1 add=%2 update=%3 bar=%4/%5 close=%6")
                                  .arg(child<QLabel>("lblAdding")->isVisible())
                                  .arg(child<QWidget>("btnAdd")->isVisible())
                                  .arg(child<QWidget>("btnUpdate")->isVisible())
                                  .arg(child<QProgressBar>("pbAdding")->value())
                                  .arg(child<QProgressBar>("pbAdding")->maximum())
                                  .arg(child<QWidget>("btnClose")->isEnabled());
        if (seen.isEmpty() || seen.back() != state)
            seen << state;
    });
    enter(QStringLiteral("Party"), party, true, false);
    click("btnAdd");
    QObject::disconnect(watch);
    EXPECT_TRUE(seen.contains(QStringLiteral("adding=1 add=0 update=0 bar=2/2 close=0")))
        << seen.join(u'\n').toStdString();
    EXPECT_FALSE(child<QLabel>("lblAdding")->isVisible());
    EXPECT_TRUE(child<QWidget>("btnAdd")->isVisible());
    EXPECT_TRUE(child<QWidget>("btnClose")->isEnabled());

    EXPECT_EQ(listed(), QStringList{"Party"});
    EXPECT_EQ(child<QListWidget>("lbPlaylists")->currentRow(), 0) << "the new playlist is shown";
    const TtagPlaylist *added = collection().Find(QStringLiteral("party"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(titles(*added), (QStringList{"Song 0", "Song 3", "Song 2"}));
    EXPECT_TRUE(added->AutoCounterReset());
    EXPECT_TRUE(added->StopAtEnd()) << "not looped";

    // Each refusal says why and adds nothing.
    const QString dead = writeM3u(QStringLiteral("dead.m3u"), {s_music->filePath(QStringLiteral("gone.mp3"))});
    const std::pair<QString, QString> refused[] = {{QStringLiteral("  "), mellow},
                                                   {QStringLiteral("Mellow"), folder.root.filePath("none.m3u")},
                                                   {QStringLiteral("PARTY"), mellow},
                                                   {QStringLiteral("Dead"), dead}};
    for (const auto &[name, file] : refused) {
        enter(name, file, false, true);
        click("btnAdd");
    }
    ASSERT_EQ(boxes.texts.size(), 4) << boxes.texts.join(u'\n').toStdString();
    EXPECT_TRUE(boxes.texts[1].contains(QStringLiteral("none.m3u")));
    EXPECT_TRUE(boxes.texts[2].contains(QStringLiteral("PARTY")));
    EXPECT_TRUE(boxes.texts[3].contains(dead));
    EXPECT_EQ(listed(), QStringList{"Party"});
    EXPECT_EQ(collection().Count(), 1);
    EXPECT_TRUE(child<QWidget>("btnAdd")->isVisible());

    enter(QStringLiteral("Mellow"), mellow, false, true);
    click("btnAdd");
    EXPECT_EQ(listed(), (QStringList{"Mellow", "Party"}));
    EXPECT_FALSE(collection().Find(QStringLiteral("Mellow"))->StopAtEnd());
}

TEST_F(EditPlaylists, SelectingUpdatingReloadingDeletingAndClosing)
{
    ASSERT_NE(core->AddPreloadedPlaylist(QStringLiteral("Party"), party, true, false), nullptr);
    ASSERT_NE(core->AddPreloadedPlaylist(QStringLiteral("Mellow"), mellow, false, true), nullptr);
    TplaylistFileChooser chooser;
    QString answer;
    chooser.Open = [&](QWidget *, const QString &) { return answer; };
    window->SetFileChooser(chooser);
    window->show();
    EXPECT_EQ(listed(), (QStringList{"Mellow", "Party"}));
    EXPECT_TRUE(child<QLineEdit>("edName")->text().isEmpty());

    auto *list = child<QListWidget>("lbPlaylists");
    list->setCurrentRow(1);
    EXPECT_EQ(child<QLineEdit>("edName")->text(), QStringLiteral("Party"));
    EXPECT_EQ(child<QLineEdit>("edFilename")->text(), party);
    EXPECT_TRUE(child<QCheckBox>("cbResetCounter")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("cbLoop")->isChecked());

    child<QCheckBox>("cbResetCounter")->setChecked(false);
    child<QCheckBox>("cbLoop")->setChecked(true);
    click("btnUpdate");
    const TtagPlaylist *partyList = collection().Find(QStringLiteral("Party"));
    EXPECT_FALSE(partyList->AutoCounterReset());
    EXPECT_FALSE(partyList->StopAtEnd());
    EXPECT_EQ(list->currentRow(), 1);

    // Reload from another file chosen through the dialog; a cancelled dialog
    // keeps the box as it was.
    click("btnBrowse");
    EXPECT_EQ(child<QLineEdit>("edFilename")->text(), party);
    answer = writeM3u(QStringLiteral("short.m3u"), {s_tracks[1], s_tracks[0]});
    click("btnBrowse");
    click("btnReload");
    EXPECT_EQ(titles(*collection().Find(QStringLiteral("Party"))), (QStringList{"Song 1", "Song 0"}));
    EXPECT_TRUE(boxes.texts.isEmpty());

    // A new name that another playlist has, or a file that gives nothing,
    // is refused and the playlist stays.
    child<QLineEdit>("edName")->setText(QStringLiteral("mellow"));
    click("btnReload");
    child<QLineEdit>("edName")->setText(QStringLiteral("Party"));
    child<QLineEdit>("edFilename")->setText(writeM3u(QStringLiteral("empty.m3u"), {}));
    click("btnReload");
    EXPECT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(titles(*collection().Find(QStringLiteral("Party"))), (QStringList{"Song 1", "Song 0"}));

    list->setCurrentRow(0);
    click("btnDelete");
    EXPECT_EQ(listed(), QStringList{"Party"});
    EXPECT_EQ(list->currentRow(), -1);
    EXPECT_TRUE(child<QLineEdit>("edName")->text().isEmpty());
    EXPECT_FALSE(child<QCheckBox>("cbLoop")->isChecked());
    click("btnDelete");
    click("btnUpdate");
    EXPECT_EQ(collection().Count(), 1) << "nothing selected, nothing changed";

    // However the window closes, the main window hears of the change.
    window->hide();
    run->face.log.clear();
    WhenModal<TfrmEditPlaylists>(
        [](TfrmEditPlaylists *dialog) { Click(dialog->findChild<QPushButton *>(QStringLiteral("btnClose"))); });
    window->Execute();
    EXPECT_EQ(run->face.log, QStringList { "PlaylistsLoaded" });
    WhenModal<TfrmEditPlaylists>([](TfrmEditPlaylists *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    window->Execute();
    EXPECT_EQ(run->face.count(QStringLiteral("PlaylistsLoaded")), 2);
}
