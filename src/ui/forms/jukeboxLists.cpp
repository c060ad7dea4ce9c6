#include "ui/forms/jukeboxLists.h"

#include "core/dmMain.h"
#include "library/mp3JukeBoxLists.h"
#include "library/taggerQueue.h"
#include "platform/pendingEvents.h"
#include "platform/raiseEvent.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/forms/dialogParts.h"
#include "ui/lists/jukeboxTree.h"
#include "ui/lists/listScrollPairing.h"
#include "ui/lists/queueList.h"
#include "ui/lists/songList.h"
#include "ui/lists/trackSearch.h"

struct TjukeboxLists::Private {
    TdmMain *core = nullptr;
    TjukeboxTree *tree = nullptr;
    TsongList *songs = nullptr;
    TqueueList *queue = nullptr;
    TvorlenScrollBar *treeBar = nullptr;
    TvorlenScrollBar *songBar = nullptr;
    TvorlenScrollBar *queueBar = nullptr;
    std::unique_ptr<TtrackSearch> search;
    TlistScrollPairing *treePairing = nullptr;
    TlistScrollPairing *songPairing = nullptr;
};

namespace {

TvorlenScrollBar *newBar(QWidget *parent, const char *name)
{
    auto *bar = new TvorlenScrollBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->resize(14, parent->height());
    SetControlAlign(bar, alRight);
    return bar;
}

} // namespace

TjukeboxLists::TjukeboxLists(QWidget *treePanel, QWidget *songPanel, QWidget *queuePanel) : d(std::make_unique<Private>())
{
    const QColor listBlue(60, 166, 230);

    d->treeBar = newBar(treePanel, "sbTreeView");
    d->tree = new TjukeboxTree(treePanel);
    d->tree->setObjectName(QStringLiteral("tvMain"));
    SetControlAlign(d->tree, alClient);
    d->treePairing = new TlistScrollPairing(d->tree, d->treeBar, TlistScrollPairing::plTree, d->tree);

    d->songBar = newBar(songPanel, "sbSongList");
    d->songs = new TsongList(songPanel);
    d->songs->setObjectName(QStringLiteral("lbSongs"));
    d->songs->setFont(DesignFont(16, false));
    d->songs->SetFontColor(listBlue);
    SetControlAlign(d->songs, alClient);
    d->songPairing = new TlistScrollPairing(d->songs, d->songBar, TlistScrollPairing::plList, d->songs);

    d->queueBar = newBar(queuePanel, "sbQueue");
    d->queue = new TqueueList(queuePanel);
    d->queue->setObjectName(QStringLiteral("lbQueue"));
    d->queue->setFont(DesignFont(16, true));
    d->queue->SetFontColor(listBlue);
    SetControlAlign(d->queue, alClient);
    new TlistScrollPairing(d->queue, d->queueBar, TlistScrollPairing::plList, d->queue);

    // The search box opens over the tree panel, under its search button.
    d->search = std::make_unique<TtrackSearch>(treePanel);

    // A click on a node shows its tracks in the song list: an artist's or an
    // album's in its own display form; anything else empties it.
    d->tree->OnClick = [this](QObject *) {
        d->treePairing->Sync();
        if (!d->tree->Selected().IsValid())
            return;
        if (TcustomTaggerList *list = d->tree->SelectedTrackList())
            d->songs->Fill(*list);
        else
            d->songs->Clear();
        d->songBar->SetValue(0);
    };
    d->tree->OnDblClick = [this](QObject *) { RaiseEvent(OnAddSelected); };
    d->songs->OnDblClick = [this](QObject *) { RaiseEvent(OnAddSelected); };
    d->queue->OnDropTracks = [this](QObject *) { RaiseEvent(OnAddSelected); };
    // The queue is the core's: the list asks it to move the track.
    d->queue->OnMoveTrack = [this](QObject *, int from, int to) {
        if (d->core)
            d->core->QueueMoveTo(from, to);
    };
    d->search->OnTrackChosen = [this](QObject *, TcustomTagger *track) {
        if (d->core && track)
            d->core->QueueRecord(track);
    };
}

TjukeboxLists::~TjukeboxLists() = default;

void TjukeboxLists::SetCore(TdmMain *core)
{
    d->core = core;
    if (!core)
        DropLibrary();
}

void TjukeboxLists::DropLibrary()
{
    d->tree->DropLibrary();
    d->songs->DropLibrary();
    d->search->DropLibrary();
}

void TjukeboxLists::RefillTree(bool byTitle)
{
    if (!d->core)
        return;
    d->tree->Refill(d->core->jblMain(), byTitle);
    d->search->SetLibrary(&d->core->jblMain());
    d->treePairing->Sync();
}

void TjukeboxLists::LibraryChanged(const TlibraryChanges &changes)
{
    if (!d->core)
        return;
    d->tree->LibraryChanged(d->core->jblMain(), changes);
    d->songs->LibraryChanged(changes);
    d->search->LibraryChanged(changes);
    d->treePairing->Sync();
}

void TjukeboxLists::FillQueue()
{
    if (d->core)
        d->queue->Refill(d->core->tqQueue());
}

std::vector<TcustomTagger *> TjukeboxLists::TakeSelectedSongs(bool allTracksView)
{
    std::vector<TcustomTagger *> records;
    if (allTracksView) {
        if (TcustomTagger *track = d->tree->SelectedTrack()) {
            records.push_back(track);
            d->tree->Select(TtreeNode());
        }
    } else {
        records = d->songs->TakeSelectedRecords();
    }
    d->songs->setCurrentIndex(QModelIndex());
    return records;
}

std::vector<TcustomTagger *> TjukeboxLists::TakeAllSongs()
{
    return d->songs->TakeAllRecords();
}

int TjukeboxLists::SelectedQueueRow() const
{
    return d->queue->SelectedRow();
}

void TjukeboxLists::SetSelectedQueueRow(int row)
{
    d->queue->SetSelectedRow(row);
}

void TjukeboxLists::SetTreeFonts(const TtreeFont &font, const TtreeFont &detailFont)
{
    d->tree->SetTreeFont(font);
    d->tree->SetDetailFont(detailFont);
}

QFont TjukeboxLists::SongListFont() const
{
    return d->songs->font();
}

void TjukeboxLists::SetSongListFont(const QFont &font, const QColor &color)
{
    d->songs->setFont(font);
    d->songs->SetFontColor(color);
}

QFont TjukeboxLists::QueueListFont() const
{
    return d->queue->font();
}

void TjukeboxLists::SetQueueListFont(const QFont &font, const QColor &color)
{
    d->queue->setFont(font);
    d->queue->SetFontColor(color);
}

void TjukeboxLists::OpenSearch(QPoint pos)
{
    d->search->Open(pos);
}

TjukeboxTree &TjukeboxLists::Tree()
{
    return *d->tree;
}

TsongList &TjukeboxLists::Songs()
{
    return *d->songs;
}

TqueueList &TjukeboxLists::Queue()
{
    return *d->queue;
}

TtrackSearch &TjukeboxLists::Search()
{
    return *d->search;
}

QWidget &TjukeboxLists::TreeView()
{
    return *d->tree;
}

QWidget &TjukeboxLists::SongView()
{
    return *d->songs;
}

QWidget &TjukeboxLists::QueueView()
{
    return *d->queue;
}

TvorlenScrollBar &TjukeboxLists::TreeBar()
{
    return *d->treeBar;
}

TvorlenScrollBar &TjukeboxLists::SongBar()
{
    return *d->songBar;
}

TvorlenScrollBar &TjukeboxLists::QueueBar()
{
    return *d->queueBar;
}

const QList<TtreeNode> &TjukeboxLists::LetterNodes() const
{
    return d->tree->LetterNodes();
}

TtreeNodes &TjukeboxLists::TreeNodes()
{
    return d->tree->Model().Nodes();
}
