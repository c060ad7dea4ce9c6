#include "ui/forms/jukeboxLists.h"

#include "core/dmMain.h"
#include "library/mp3JukeBoxLists.h"
#include "library/taggerQueue.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/noScrollTreeView.h"
#include "ui/controls/scrollEventListBox.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/controls/vorlenScrollBar.h"

#include <QListWidget>

struct TjukeboxLists::Private {
    TdmMain *core = nullptr;
    TtreeNodes nodes;
    QList<TtreeNode> letters;
    TnoScrollTreeView *tree = nullptr;
    std::unique_ptr<TtreeNodesModel> model;
    TscrollEventListBox *songs = nullptr;
    TscrollEventListBox *queue = nullptr;
    TvorlenScrollBar *treeBar = nullptr;
    TvorlenScrollBar *songBar = nullptr;
    TvorlenScrollBar *queueBar = nullptr;
    TstringList songLines;

    void fillSongs(const TlistObject &object)
    {
        songs->clear();
        songLines.Clear();
        auto *const *list = std::get_if<TcustomTaggerList *>(&object);
        if (!list)
            return;
        (*list)->FillStrings(songLines);
        for (const TstringList::Line &line : songLines.Lines())
            songs->addItem(line.text);
    }
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

void blackList(QWidget *view, const QFont &font, const QColor &color)
{
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::Text, color);
    view->setPalette(palette);
    view->setFont(font);
}

} // namespace

TjukeboxLists::TjukeboxLists(QWidget *treePanel, QWidget *songPanel, QWidget *queuePanel) : d(std::make_unique<Private>())
{
    d->treeBar = newBar(treePanel, "sbTreeView");
    d->tree = new TnoScrollTreeView(treePanel);
    d->tree->setObjectName(QStringLiteral("tvMain"));
    SetControlAlign(d->tree, alClient);
    d->model = std::make_unique<TtreeNodesModel>(d->nodes);
    d->model->Attach(d->tree);
    d->tree->setFrameShape(QFrame::NoFrame);
    QObject::connect(d->tree, &QTreeView::clicked, d->tree, [this](const QModelIndex &index) {
        d->fillSongs(d->nodes.Object(d->model->NodeAt(index)));
    });
    QObject::connect(d->tree, &QTreeView::doubleClicked, d->tree, [this] {
        if (OnAddSelected)
            OnAddSelected();
    });

    d->songBar = newBar(songPanel, "sbSongList");
    d->songs = new TscrollEventListBox(songPanel);
    d->songs->setObjectName(QStringLiteral("lbSongs"));
    d->songs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    d->songs->setFrameShape(QFrame::NoFrame);
    SetControlAlign(d->songs, alClient);
    QObject::connect(d->songs, &QListWidget::itemDoubleClicked, d->songs, [this] {
        if (OnAddSelected)
            OnAddSelected();
    });

    d->queueBar = newBar(queuePanel, "sbQueue");
    d->queue = new TscrollEventListBox(queuePanel);
    d->queue->setObjectName(QStringLiteral("lbQueue"));
    d->queue->setFrameShape(QFrame::NoFrame);
    SetControlAlign(d->queue, alClient);

    QFont listFont(QStringLiteral("Arial"));
    listFont.setPixelSize(16);
    blackList(d->tree, listFont, QColor(60, 166, 230));
    blackList(d->songs, listFont, QColor(60, 166, 230));
    listFont.setBold(true);
    blackList(d->queue, listFont, QColor(60, 166, 230));
    for (QAbstractScrollArea *area : {static_cast<QAbstractScrollArea *>(d->tree),
                                      static_cast<QAbstractScrollArea *>(d->songs),
                                      static_cast<QAbstractScrollArea *>(d->queue)}) {
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
}

TjukeboxLists::~TjukeboxLists() = default;

void TjukeboxLists::SetCore(TdmMain *core)
{
    d->core = core;
}

void TjukeboxLists::DropLibrary()
{
    d->nodes.Clear();
    d->letters.clear();
    d->songs->clear();
    d->songLines.Clear();
}

void TjukeboxLists::RefillTree(bool byTitle)
{
    if (d->core)
        d->core->jblMain().FillLibraryTree(d->nodes, byTitle, d->letters);
}

void TjukeboxLists::FillQueue()
{
    d->queue->clear();
    if (!d->core)
        return;
    TtaggerQueue &queue = d->core->tqQueue();
    for (int i = 0; i < queue.Count(); ++i)
        d->queue->addItem(queue.DisplayText(i));
}

std::vector<TcustomTagger *> TjukeboxLists::TakeSelectedSongs(bool allTracksView)
{
    std::vector<TcustomTagger *> records;
    if (allTracksView) {
        const TtreeNode node = d->nodes.Selected();
        if (node.IsValid()) {
            if (auto *const *record = std::get_if<TcustomTagger *>(&d->nodes.Object(node))) {
                records.push_back(*record);
                d->tree->clearSelection();
            }
        }
    } else {
        for (int row = 0; row < d->songs->count(); ++row) {
            QListWidgetItem *item = d->songs->item(row);
            if (!item->isSelected())
                continue;
            if (auto *record = d->songLines.ObjectAs<TcustomTagger>(row))
                records.push_back(record);
            item->setSelected(false);
        }
    }
    d->songs->setCurrentRow(-1);
    return records;
}

std::vector<TcustomTagger *> TjukeboxLists::TakeAllSongs()
{
    std::vector<TcustomTagger *> records;
    for (int row = 0; row < d->songLines.Count(); ++row) {
        d->songs->item(row)->setSelected(false);
        if (auto *record = d->songLines.ObjectAs<TcustomTagger>(row))
            records.push_back(record);
    }
    return records;
}

int TjukeboxLists::SelectedQueueRow() const
{
    const QList<QListWidgetItem *> selected = d->queue->selectedItems();
    return selected.isEmpty() ? -1 : d->queue->row(selected.first());
}

void TjukeboxLists::SetSelectedQueueRow(int row)
{
    d->queue->setCurrentRow(row);
}

void TjukeboxLists::SetTreeFonts(const TtreeFont &font, const TtreeFont &)
{
    QFont qfont(font.family);
    qfont.setPointSize(font.pointSize);
    qfont.setBold(font.bold);
    blackList(d->tree, qfont, QColor(QRgb(font.rgb)));
}

QFont TjukeboxLists::SongListFont() const
{
    return d->songs->font();
}

void TjukeboxLists::SetSongListFont(const QFont &font, const QColor &color)
{
    blackList(d->songs, font, color);
}

QFont TjukeboxLists::QueueListFont() const
{
    return d->queue->font();
}

void TjukeboxLists::SetQueueListFont(const QFont &font, const QColor &color)
{
    blackList(d->queue, font, color);
}

void TjukeboxLists::OpenSearch(QPoint)
{
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
    return d->letters;
}

TtreeNodes &TjukeboxLists::TreeNodes()
{
    return d->nodes;
}
