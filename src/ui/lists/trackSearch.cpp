#include "ui/lists/trackSearch.h"

#include "library/libraryChanges.h"
#include "library/mp3JukeBoxLists.h"
#include "platform/raiseEvent.h"
#include "ui/lists/recordListView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace {

// The result list's frame, each side.
constexpr int kResultsFrame = 3;
// Hits whose texts the list's width is made for.
constexpr int kMeasuredHits = 64;

} // namespace

TtrackSearch::TtrackSearch(QWidget *parent)
    : QObject(parent)
    , m_edit(new QLineEdit(parent))
    , m_close(MakeCloseButton(parent))
    , m_results(new TrecordListView(parent))
{
    m_edit->setObjectName(QStringLiteral("edSongSearch"));
    m_edit->setToolTip(QStringLiteral("Search for a track title containing the text that you enter."));
    m_edit->resize(m_edit->sizeHint());
    m_edit->hide();
    m_results->setObjectName(QStringLiteral("lbSongSearch"));
    m_results->setToolTip(QStringLiteral("Choose a track to be added to the queue."));
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_results->setLineWidth(kResultsFrame);
    m_results->hide();

    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString &text) { Search(text); });
    connect(m_results, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) { Choose(index.row()); });
    m_edit->installEventFilter(this);
    m_results->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) { FocusChanged(old, now); });
}

void TtrackSearch::SetLibrary(const Tmp3JukeBoxLists *library)
{
    if (!library) {
        DropLibrary();
        return;
    }
    m_searchTitles = [library](const QString &text, TstringList &hits) { library->SearchTitles(text, hits); };
}

void TtrackSearch::DropLibrary()
{
    m_searchTitles = nullptr;
    m_results->Clear();
    m_results->hide();
}

void TtrackSearch::LibraryChanged(const TlibraryChanges &changes)
{
    if (!m_searchTitles || m_results->Count() == 0)
        return;
    if (!changes.IndexChanged()) {
        m_results->viewport()->update();
        return;
    }
    const TcustomTagger *current = m_results->Record(m_results->currentIndex().row());
    Search(m_edit->text());
    for (int row = 0; current && row < m_results->Count(); ++row) {
        if (m_results->Record(row) == current) {
            m_results->setCurrentIndex(m_results->Rows().index(row));
            break;
        }
    }
}

void TtrackSearch::Open(const QPoint &topLeft)
{
    // The box and its close button stay whole inside the parent, however
    // narrow it is made: moved left, and as narrow as it must be.
    const int side = m_edit->height();
    const int room = m_edit->parentWidget()->width();
    m_edit->resize(std::clamp(room - side, side, m_edit->sizeHint().width()), side);
    m_edit->move(std::clamp(topLeft.x(), 0, std::max(room - m_edit->width() - side, 0)), topLeft.y());
    m_edit->show();
    m_close->setGeometry(m_edit->geometry().right() + 1, topLeft.y(), side, side);
    m_close->show();
    m_edit->raise();
    m_close->raise();
    m_edit->setFocus(Qt::OtherFocusReason);
}

void TtrackSearch::Close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_edit->clear();
    m_results->Clear();
    m_results->hide();
    m_close->hide();
    m_edit->hide();
    m_closing = false;
}

bool TtrackSearch::IsOpen() const
{
    return m_edit->isVisible();
}

void TtrackSearch::Search(const QString &text)
{
    if (text.isEmpty() || !m_searchTitles) {
        m_results->Clear();
        m_results->hide();
        return;
    }
    m_results->Rows().Fill([&](TstringList &rows) { m_searchTitles(text, rows); });
    if (m_results->Count() == 0) {
        m_results->hide();
        return;
    }
    PlaceResults();
    m_results->show();
    m_results->raise();
}

void TtrackSearch::PlaceResults()
{
    // As wide as the box and its button, or as the first hits need, as far
    // as the window reaches.
    const QFontMetrics metrics(m_results->font());
    int textWidth = 0;
    for (int i = 0; i < std::min(m_results->Count(), kMeasuredHits); ++i)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(m_results->Rows().Rows().Strings(i)));
    const int span = m_close->geometry().right() + 1 - m_edit->x();
    const int wanted = textWidth + 2 * m_results->TextLeft() + 2 * kResultsFrame;
    const int room = m_results->parentWidget()->width() - m_edit->x();
    const int rows = std::min(m_results->Count(), kMaxVisibleHits);
    m_results->setGeometry(m_edit->x(), m_edit->geometry().bottom() + 1, std::max(span, std::min(wanted, room)),
        rows * m_results->RowHeight() + 2 * kResultsFrame);
}

void TtrackSearch::Choose(int row)
{
    TcustomTagger *track = m_results->Record(row);
    if (!track)
        return;
    // The box keeps the focus, so that hiding the list does not close it.
    m_edit->setFocus(Qt::OtherFocusReason);
    RaiseEvent(OnTrackChosen, this, track);
    m_results->hide();
}

void TtrackSearch::FocusChanged(QWidget *old, QWidget *now)
{
    // No widget has the focus when the whole window loses it: the search
    // stays for when the user comes back.
    if (m_closing || !now || !IsOpen())
        return;
    const auto ours = [this](QWidget *widget) { return widget == m_edit || widget == m_results; };
    if (ours(old) && !ours(now))
        Close();
}

bool TtrackSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Escape) {
        Close();
        return true;
    }
    if (watched == m_edit && key == Qt::Key_Down && m_results->isVisible()) {
        m_results->setFocus(Qt::OtherFocusReason);
        m_results->setCurrentIndex(m_results->Rows().index(0));
        return true;
    }
    if (watched == m_results && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        Choose(m_results->currentIndex().row());
        return true;
    }
    return QObject::eventFilter(watched, event);
}
