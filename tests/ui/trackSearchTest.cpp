#include "ui/lists/trackSearch.h"
#include "listsFixtures.h"
#include "ui/lists/recordListView.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct SearchFixture {
    SearchFixture()
    {
        std::vector<RecordSpec> specs = SampleLibrary();
        for (int i = 1; i <= 4; ++i)
            specs.push_back({ QStringLiteral("Echo %1").arg(i), QStringLiteral("Lanterns"), QString(),
                QStringLiteral("/m/e/%1.mp3").arg(i), 0, 1000 });
        FillLibrary(library, specs);
        search.SetLibrary(&library);
        other.setGeometry(0, 300, 80, 30);
        ShowAndWait(window, QSize(800, 600));
        QApplication::setActiveWindow(&window);
        search.Open(QPoint(100, 40));
        QApplication::processEvents();
    }
    void Type(const QString &text) { search.Edit()->setText(text); }
    QStringList Hits() const
    {
        QStringList hits;
        for (const TstringList::Line &line : search.Results()->Rows().Rows().Lines())
            hits.append(line.text);
        return hits;
    }

    Tmp3JukeBoxLists library;
    QWidget window;
    TtrackSearch search { &window };
    QPushButton other { QStringLiteral("Other"), &window };
};

} // namespace

TEST(TrackSearch, ListsTheTitlesThatContainTheTextWhateverItsCase)
{
    SearchFixture fixture;
    TtrackSearch &search = fixture.search;
    ASSERT_TRUE(search.IsOpen());
    EXPECT_EQ(search.Edit()->pos(), QPoint(100, 40));
    EXPECT_TRUE(search.CloseButton()->isVisible());
    EXPECT_EQ(search.CloseButton()->x(), search.Edit()->geometry().right() + 1);
    EXPECT_EQ(search.Edit()->toolTip(), "Search for a track title containing the text that you enter.");
    EXPECT_EQ(search.Results()->toolTip(), "Choose a track to be added to the queue.");
    EXPECT_FALSE(search.Results()->isVisible());

    fixture.Type(QStringLiteral("SOU"));
    EXPECT_EQ(fixture.Hits(), (QStringList { "Sound - Nordwave", "South - Nordwave" }));
    TrecordListView &results = *search.Results();
    ASSERT_TRUE(results.isVisible());
    EXPECT_EQ(results.x(), search.Edit()->x());
    EXPECT_EQ(results.y(), search.Edit()->geometry().bottom() + 1);
    EXPECT_EQ(results.height(), 2 * results.RowHeight() + 6);
    EXPECT_EQ(results.visualRect(results.Rows().index(1)).bottom() + 1, 2 * results.RowHeight())
        << "both rows fit inside the frame";

    fixture.Type(QStringLiteral("o"));
    EXPECT_EQ(results.Count(), 12);
    EXPECT_EQ(results.height(), 8 * results.RowHeight() + 6) << "at most 8 rows high";

    fixture.Type(QStringLiteral("qqq"));
    EXPECT_EQ(results.Count(), 0);
    EXPECT_FALSE(results.isVisible());
    fixture.Type(QStringLiteral("sou"));
    EXPECT_TRUE(results.isVisible());
    fixture.Type(QString());
    EXPECT_EQ(results.Count(), 0);
    EXPECT_FALSE(results.isVisible());

    // Between a library's announcement of a change and the new library there
    // is nothing to search.
    fixture.Type(QStringLiteral("sou"));
    search.DropLibrary();
    EXPECT_EQ(results.Count(), 0);
    fixture.Type(QStringLiteral("sout"));
    EXPECT_EQ(results.Count(), 0);
    search.SetLibrary(&fixture.library);
    fixture.Type(QStringLiteral("south"));
    EXPECT_EQ(results.Count(), 1);
}

TEST(TrackSearch, AChosenHitGoesToTheWindowAndLeavingTheSearchClosesIt)
{
    SearchFixture fixture;
    TtrackSearch &search = fixture.search;
    std::vector<TcustomTagger *> chosen;
    search.OnTrackChosen = [&](QObject *sender, TcustomTagger *track) {
        EXPECT_EQ(sender, &search);
        chosen.push_back(track);
    };
    fixture.Type(QStringLiteral("sou"));
    TrecordListView &results = *search.Results();
    const QRect second = results.visualRect(results.Rows().index(1));
    QTest::mouseClick(results.viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0]->Title(), "South");
    EXPECT_FALSE(results.isVisible());
    EXPECT_TRUE(search.IsOpen()) << "the box stays for another search";
    EXPECT_EQ(search.Edit()->text(), "sou");

    // From the box to the list and back keeps everything.
    fixture.Type(QStringLiteral("sound"));
    QTest::keyClick(search.Edit(), Qt::Key_Down);
    EXPECT_TRUE(results.hasFocus());
    QTest::keyClick(&results, Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[1]->Title(), "Sound");
    EXPECT_TRUE(search.Edit()->hasFocus());

    // Anything else taking the focus closes the search and forgets the text.
    fixture.Type(QStringLiteral("sou"));
    ASSERT_TRUE(results.isVisible());
    fixture.other.setFocus();
    EXPECT_FALSE(search.IsOpen());
    EXPECT_FALSE(results.isVisible());
    EXPECT_FALSE(search.CloseButton()->isVisible());
    EXPECT_EQ(search.Edit()->text(), "");
    EXPECT_EQ(results.Count(), 0);

    search.Open(QPoint(10, 10));
    fixture.Type(QStringLiteral("sou"));
    QTest::keyClick(search.Edit(), Qt::Key_Escape);
    EXPECT_FALSE(search.IsOpen());
    EXPECT_EQ(results.Count(), 0);
}
