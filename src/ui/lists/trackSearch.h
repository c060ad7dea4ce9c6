#pragma once

#include <QObject>
#include <functional>

class QLineEdit;
class QPoint;
class Tmp3JukeBoxLists;
class TcustomTagger;
class TrecordListView;
class TstringList;
struct TlibraryChanges;

// The track search of the jukebox window: the edit box edSongSearch with its
// close button btnCloseEdit at its right, and below it the result list
// lbSongSearch. Every change of the text lists the library's tracks whose
// title contains it (letters compared without regard to case) as "Title -
// Artist", up to 8 rows high; without hits the list is hidden. Choosing a
// hit (a click, or Enter in the list) raises OnTrackChosen and hides the
// list. When the focus leaves the box and the list for anything else in the
// window, or the close button or Escape is pressed, the text is cleared and
// everything hidden. Down in the box goes to the list.
//
// The hits are the library's records: between the library's announcement of
// a change (DropLibrary) and the new library (SetLibrary) nothing is
// searched. After a partial change of the library (LibraryChanged) the hits
// shown are searched for again, the chosen row staying on its track.
//
// The widgets are children of the parent given, hidden until Open; they are
// placed over whatever lies below them. GUI thread only.
class TtrackSearch : public QObject {
public:
    using TtrackEvent = std::function<void(QObject *sender, TcustomTagger *track)>;

    static constexpr int kMaxVisibleHits = 8;

    explicit TtrackSearch(QWidget *parent);

    void SetLibrary(const Tmp3JukeBoxLists *library);
    void DropLibrary();
    void LibraryChanged(const TlibraryChanges &changes);

    // Shows the box with its top-left corner at topLeft (in the parent) and
    // gives it the focus.
    void Open(const QPoint &topLeft);
    void Close();
    bool IsOpen() const;

    QLineEdit *Edit() const { return m_edit; }
    // A skinnable button (TvorlenButton).
    QWidget *CloseButton() const { return m_close; }
    TrecordListView *Results() const { return m_results; }
    void SetButtonColor(const QColor &color);

    TtrackEvent OnTrackChosen;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Search(const QString &text);
    void Choose(int row);
    void FocusChanged(QWidget *old, QWidget *now);
    void PlaceResults();
    // Kept apart from the rest (trackSearchButton.cpp): the controls' notify
    // event and the library's share a name but not a type, so no file can
    // include both the button's header and the library's.
    QWidget *MakeCloseButton(QWidget *parent);

    QLineEdit *m_edit;
    QWidget *m_close;
    TrecordListView *m_results;
    // The library's title search; empty while there is no library to search.
    std::function<void(const QString &text, TstringList &hits)> m_searchTitles;
    bool m_closing = false;
};
