// Tracks out of reach (their drive is away) are drawn greyed in the tree and
// in the lists, and so are albums, artists and letters of nothing else.
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "listsFixtures.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/lists/jukeboxTree.h"
#include "ui/lists/songList.h"
#include "widgetPixels.h"

#include <gtest/gtest.h>

namespace {

const QRgb kInk = qRgb(60, 166, 230);

// How many pixels of a part of a picture are the lists' own ink, and how
// many are neither that nor the background: what a greyed text is drawn in.
struct Inks {
    int ink = 0;
    int other = 0;
};

Inks inksIn(const QImage &shot, const QRect &area)
{
    Inks inks;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = shot.pixel(x, y) & 0xFFFFFF;
            if (pixel == (kInk & 0xFFFFFF))
                ++inks.ink;
            else if (pixel != 0)
                ++inks.other;
        }
    }
    return inks;
}

void markOutOfReach(Tmp3JukeBoxLists &library, const QString &album, const QString &onlyTitle = QString())
{
    for (TcustomTagger *record : library.MasterList().Records())
        if (record->Album() == album && (onlyTitle.isEmpty() || record->Title() == onlyTitle))
            record->SetUnavailable(true);
}

// A tree of the sample library whose album Fjord is out of reach, shown by
// artist or, all tracks, by title.
class OutOfReachTree : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        FillLibrary(library, SampleLibrary());
        markOutOfReach(library, QStringLiteral("Fjord"));
        if (GetParam())
            library.MasterList().SetDisplayType(tdTitleArtist);
        ShowAndWait(tree, QSize(420, 600));
        refill();
    }
    // What the window does when the library announces a change, then a
    // picture of the tree from <N> on.
    void refill()
    {
        tree.Refill(library, GetParam());
        for (int i = 0; i < tree.Nodes().Count(); ++i)
            tree.expand(tree.Model().IndexOf(TtreeNode(i)));
        tree.scrollTo(tree.Model().IndexOf(tree.Nodes().Find({ "<N>" })), QAbstractItemView::PositionAtTop);
        shot = Grab(tree);
    }
    // The inks of the text of the node for an object.
    Inks text(const TlistObject &object)
    {
        for (int i = 0; i < tree.Nodes().Count(); ++i) {
            const TtreeNode node(i);
            if (tree.Nodes().Object(node) == object)
                return text(node);
        }
        ADD_FAILURE() << "no node";
        return {};
    }
    Inks text(TtreeNode node)
    {
        const QRect row = tree.visualRect(tree.Model().IndexOf(node));
        const int left = tree.RowPainter().TextLeft(node);
        EXPECT_FALSE(row.isEmpty()) << "shown";
        return inksIn(shot, QRect(left, row.top(), row.width() - left, row.height()));
    }
    TcustomTagger *track(const char *title)
    {
        for (TcustomTagger *record : library.MasterList().Records())
            if (record->Title() == QString::fromUtf8(title))
                return record;
        return nullptr;
    }
    TcustomTaggerList *album(const char *name)
    {
        for (int i = 0; i < library.AlbumList().Count(); ++i)
            if (library.AlbumList().Albums(i)->AlbumName() == QString::fromUtf8(name))
                return library.AlbumList().Albums(i);
        return nullptr;
    }

    Tmp3JukeBoxLists library;
    TjukeboxTree tree;
    QImage shot;
};

} // namespace

TEST_P(OutOfReachTree, GreysTracksAndAlbumsOutOfReachAndNotWhatStillHasMusic)
{
    std::vector<TlistObject> greyed;
    std::vector<TlistObject> shown;
    if (GetParam()) {
        greyed = { track("North"), track("Sound") };
        shown = { track("South") };
    } else {
        greyed = { album("Fjord") };
        shown = { album("Bay"),
            static_cast<TcustomTaggerList *>(library.ArtistList().FindArtist(QStringLiteral("Nordwave"))) };
    }
    for (const TlistObject &object : greyed) {
        const Inks inks = text(object);
        EXPECT_EQ(inks.ink, 0);
        EXPECT_GT(inks.other, 20) << "drawn, greyed";
    }
    for (const TlistObject &object : shown)
        EXPECT_GT(text(object).ink, 20);
}

// A letter stands for no object of its own: it is greyed while every track
// under it is out of reach, and inked again as soon as one comes back.
TEST_P(OutOfReachTree, GreysALetterOnlyWhileEverythingUnderItIsOutOfReach)
{
    // <S> by title: Sound and South; <N> by artist: Nordwave and Nightjar.
    const QString letter = GetParam() ? QStringLiteral("<S>") : QStringLiteral("<N>");
    std::vector<TcustomTagger *> under;
    for (TcustomTagger *record : library.MasterList().Records())
        if ((GetParam() ? record->Title() : record->Artist()).startsWith(letter[1]))
            under.push_back(record);
    ASSERT_GE(under.size(), 2u);
    // A letter is three characters: fewer pixels of pure ink than a name.
    const int inked = 5;

    for (const bool oneBack : { false, true }) {
        for (TcustomTagger *record : under)
            record->SetUnavailable(!oneBack || record != under.back());
        refill();
        const Inks inks = text(tree.Nodes().Find({ letter }));
        if (oneBack) {
            EXPECT_GT(inks.ink, inked) << "one track back";
        } else {
            EXPECT_EQ(inks.ink, 0);
            EXPECT_GT(inks.other, 20) << "drawn, greyed";
        }
    }
    // A letter with nothing under it is no music out of reach.
    EXPECT_GT(text(tree.Nodes().Find({ "<Z>" })).ink, inked);
}

INSTANTIATE_TEST_SUITE_P(ByArtistAndByTitle, OutOfReachTree, ::testing::Values(false, true));

TEST(OutOfReach, TheSongListGreysTheTracksOutOfReach)
{
    Tmp3JukeBoxLists library;
    FillLibrary(library, SampleLibrary());
    markOutOfReach(library, QStringLiteral("Fjord"), QStringLiteral("North"));
    TjukeboxTree tree;
    tree.Refill(library, false);
    tree.Select(tree.Nodes().Find({ "<N>", "Nordwave", "Fjord" }));
    TsongList songs;
    songs.Fill(*tree.SelectedTrackList());
    ShowAndWait(songs, QSize(300, 200));
    ASSERT_EQ(songs.Count(), 2);
    const QImage shot = Grab(songs);
    const Inks north = inksIn(shot, songs.visualRect(songs.Rows().index(0)));
    const Inks sound = inksIn(shot, songs.visualRect(songs.Rows().index(1)));
    EXPECT_EQ(north.ink, 0);
    EXPECT_GT(north.other, 20);
    EXPECT_GT(sound.ink, 20);
}
