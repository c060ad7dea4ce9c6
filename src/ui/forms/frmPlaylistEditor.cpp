#include "ui/forms/frmPlaylistEditor.h"

#include "core/dmMain.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/forms/dialogParts.h"
#include "ui/forms/treeLook.h"

#include <QAction>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kCaption = QStringLiteral("Playlist Editor");

QPushButton *actionButton(QAction *action, QWidget *parent)
{
    auto *button = new QPushButton(action->text(), parent);
    button->setObjectName(QStringLiteral("btn") + action->objectName().mid(4));
    // An action without a hint of its own answers its caption as its tool tip.
    if (action->toolTip() != QString(action->text()).remove(u'&'))
        button->setToolTip(action->toolTip());
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    return button;
}

QWidget *titledPane(const QString &title, QWidget *list, QLayout *buttons, QWidget *parent)
{
    auto *pane = new QWidget(parent);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(title, pane);
    label->setBuddy(list);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    if (buttons)
        layout->addLayout(buttons);
    return pane;
}

} // namespace

TfrmPlaylistEditor::TfrmPlaylistEditor(TdmMain &core, QWidget *parent) : QDialog(parent), m_core(core), m_editor(core)
{
    setObjectName(QStringLiteral("frmPlaylistEditor"));
    setWindowTitle(kCaption);
    setSizeGripEnabled(true);

    QAction *load = makeAction("actnLoad", QStringLiteral("&Load"), &TfrmPlaylistEditor::actnLoadExecute);
    QAction *addPlaylist = makeAction("actnAddPlaylist", QStringLiteral("&Add from Playlist"),
                                      &TfrmPlaylistEditor::actnAddPlaylistExecute);
    QAction *save = makeAction("actnSave", QStringLiteral("&Save"), &TfrmPlaylistEditor::actnSaveExecute);
    QAction *moveUp = makeAction("actnMoveUp", QStringLiteral("Move &Up"), &TfrmPlaylistEditor::actnMoveUpExecute);
    QAction *moveDown =
        makeAction("actnMoveDown", QStringLiteral("Move &Down"), &TfrmPlaylistEditor::actnMoveDownExecute);
    QAction *remove = makeAction("actnDelete", QStringLiteral("&Delete"), &TfrmPlaylistEditor::actnDeleteExecute);
    QAction *clear = makeAction("actnClear", QStringLiteral("&Clear"), &TfrmPlaylistEditor::actnClearExecute);
    QAction *addSelected = makeAction("actnAddSelectedTracks", QStringLiteral("Add &Selected Tracks"),
                                      &TfrmPlaylistEditor::actnAddSelectedTracksExecute);
    addSelected->setToolTip(QStringLiteral("Add selected tracks to the playlist."));
    QAction *addAll =
        makeAction("actnAddAllTracks", QStringLiteral("Add &All Tracks"), &TfrmPlaylistEditor::actnAddAllTracksExecute);
    QAction *toJukebox =
        makeAction("actnAddToJukebox", QStringLiteral("Copy to Jukebox"), &TfrmPlaylistEditor::actnAddToJukeboxExecute);
    QAction *fromJukebox = makeAction("actnAddFromJukebox", QStringLiteral("Copy from Jukebox"),
                                      &TfrmPlaylistEditor::actnAddFromJukeboxExecute);
    QAction *randomize =
        makeAction("actnRandomize", QStringLiteral("&Randomize Playlist"), &TfrmPlaylistEditor::actnRandomizeExecute);
    QAction *close = makeAction("actnClose", QStringLiteral("&Close"), &TfrmPlaylistEditor::actnCloseExecute);

    auto *menus = new QMenuBar(this);
    QMenu *fileMenu = menus->addMenu(QStringLiteral("&File"));
    fileMenu->addActions({load, addPlaylist, save});
    fileMenu->addSeparator();
    fileMenu->addAction(close);
    QMenu *playlistMenu = menus->addMenu(QStringLiteral("&Playlist"));
    playlistMenu->addActions({addSelected, addAll});
    playlistMenu->addSeparator();
    playlistMenu->addActions({moveUp, moveDown, remove, clear, randomize});
    playlistMenu->addSeparator();
    playlistMenu->addActions({toJukebox, fromJukebox});

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("tvArtists"));
    m_model = new TtreeNodesModel(m_nodes, this);
    m_model->Attach(m_tree);
    ApplyTreeLook(m_tree, m_core.TreeFont());

    m_songList = new QListWidget(this);
    m_songList->setObjectName(QStringLiteral("lbSongs"));
    m_songList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *songButtons = new QHBoxLayout;
    songButtons->addWidget(actionButton(addSelected, this));
    songButtons->addWidget(actionButton(addAll, this));
    songButtons->addStretch();

    m_playlist = new QListWidget(this);
    m_playlist->setObjectName(QStringLiteral("lbPlaylist"));
    m_playlist->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *playlistButtons = new QHBoxLayout;
    for (QAction *action : {moveUp, moveDown, remove, clear, randomize})
        playlistButtons->addWidget(actionButton(action, this));
    playlistButtons->addStretch();

    auto *panes = new QSplitter(Qt::Horizontal, this);
    panes->setChildrenCollapsible(false);
    panes->addWidget(titledPane(QStringLiteral("Artists"), m_tree, nullptr, panes));
    panes->addWidget(titledPane(QStringLiteral("Tracks"), m_songList, songButtons, panes));
    panes->addWidget(titledPane(QStringLiteral("Playlist"), m_playlist, playlistButtons, panes));
    for (int pane = 0; pane < 3; ++pane)
        panes->setStretchFactor(pane, 1);

    auto *bottom = new QHBoxLayout;
    for (QAction *action : {load, addPlaylist, save, toJukebox, fromJukebox})
        bottom->addWidget(actionButton(action, this));
    bottom->addStretch();
    bottom->addWidget(actionButton(close, this));

    m_status = new TplaylistStatusBar(this);
    m_status->setObjectName(QStringLiteral("sbEditor"));

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(panes, 1);
    layout->addLayout(bottom);
    layout->addWidget(m_status);
    resize(layout->sizeHint().expandedTo(QSize(900, 520)));

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { treeChange(); });
    connect(m_songList, &QListWidget::itemDoubleClicked, addSelected, &QAction::trigger);

    m_editor.Library().OnListsChanging = [this](TComponent *) { dropLibrary(); };
    m_editor.Library().OnListsUpdated = [this](TComponent *) { fillTree(); };
    m_editor.Playlist().OnChange = [this](TComponent *) { playlistChanged(); };
    playlistChanged();
}

TfrmPlaylistEditor::~TfrmPlaylistEditor()
{
    // The view and its model refer to the nodes, which go before the
    // window's children do.
    delete m_tree;
    delete m_model;
    m_editor.Library().OnListsChanging = nullptr;
    m_editor.Library().OnListsUpdated = nullptr;
    m_editor.Playlist().OnChange = nullptr;
}

QAction *TfrmPlaylistEditor::makeAction(const char *name, const QString &caption, void (TfrmPlaylistEditor::*slot)())
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QLatin1StringView(name));
    connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    return action;
}

QAction *TfrmPlaylistEditor::Action(const char *name) const
{
    return findChild<QAction *>(QLatin1StringView(name));
}

void TfrmPlaylistEditor::Execute()
{
    exec();
}

void TfrmPlaylistEditor::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        ApplyTreeLook(m_tree, m_core.TreeFont());
        m_editor.Open();
        playlistChanged();
    }
    QDialog::showEvent(event);
}

void TfrmPlaylistEditor::done(int result)
{
    if (m_loading)
        return;
    QDialog::done(result);
    m_editor.Close();
}

void TfrmPlaylistEditor::dropLibrary()
{
    m_songs.Clear();
    m_songList->clear();
    if (!m_treeHeld) {
        m_treeHeld = true;
        m_nodes.BeginUpdate();
        m_nodes.Clear();
        m_rootNodes.clear();
    }
}

void TfrmPlaylistEditor::fillTree()
{
    m_editor.Library().FillLibraryTree(m_nodes, false, m_rootNodes);
    if (m_treeHeld) {
        m_treeHeld = false;
        m_nodes.EndUpdate();
    }
}

void TfrmPlaylistEditor::treeChange()
{
    if (m_treeHeld)
        return;
    const TtreeNode node = m_nodes.Selected();
    if (!node.IsValid())
        return;
    const auto *list = std::get_if<TcustomTaggerList *>(&m_nodes.Object(node));
    if (!list || !*list)
        return;
    (*list)->FillStrings(m_songs);
    ShowLines(*m_songList, m_songs);
}

void TfrmPlaylistEditor::playlistChanged()
{
    TstringList lines;
    m_editor.Playlist().FillStrings(lines);
    ShowLines(*m_playlist, lines);
    m_status->ShowPlaylist(m_editor.Playlist());
}

std::vector<int> TfrmPlaylistEditor::selectedRows(QListWidget *list) const
{
    std::vector<int> rows;
    for (const QModelIndex &index : list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TfrmPlaylistEditor::refuse(const QString &text)
{
    QMessageBox::warning(this, kCaption, text);
}

void TfrmPlaylistEditor::load(bool append)
{
    const QString file = m_chooser.Open(this, m_core.Settings().PlaylistFolder);
    if (file.isEmpty())
        return;
    m_loading = true;
    const bool loaded = m_editor.Load(file, append);
    m_loading = false;
    if (!loaded)
        refuse(QStringLiteral("The playlist file \"%1\" is missing, cannot be read or names no music file that "
                              "exists.\nThe playlist was not changed.")
                   .arg(file));
}

void TfrmPlaylistEditor::actnLoadExecute()
{
    load(false);
}

void TfrmPlaylistEditor::actnAddPlaylistExecute()
{
    load(true);
}

void TfrmPlaylistEditor::actnSaveExecute()
{
    const QString file = m_chooser.Save(this, m_core.Settings().PlaylistFolder);
    if (file.isEmpty())
        return;
    if (!m_editor.Save(file))
        refuse(QStringLiteral("The playlist could not be written to \"%1\".").arg(file));
}

void TfrmPlaylistEditor::actnMoveUpExecute()
{
    const int row = m_playlist->currentRow();
    if (row <= 0)
        return;
    m_editor.MoveUp(row);
    m_playlist->setCurrentRow(row - 1);
}

void TfrmPlaylistEditor::actnMoveDownExecute()
{
    const int row = m_playlist->currentRow();
    if (row < 0 || row >= m_playlist->count() - 1)
        return;
    m_editor.MoveDown(row);
    m_playlist->setCurrentRow(row + 1);
}

void TfrmPlaylistEditor::actnDeleteExecute()
{
    const std::vector<int> rows = selectedRows(m_playlist);
    if (!rows.empty())
        m_editor.Delete(rows);
}

void TfrmPlaylistEditor::actnClearExecute()
{
    m_editor.Clear();
}

void TfrmPlaylistEditor::actnAddSelectedTracksExecute()
{
    std::vector<TcustomTagger *> records;
    for (int row : selectedRows(m_songList)) {
        if (TcustomTagger *record = m_songs.ObjectAs<TcustomTagger>(row))
            records.push_back(record);
    }
    m_songList->clearSelection();
    if (!records.empty())
        m_editor.AddTracks(records);
}

void TfrmPlaylistEditor::actnAddAllTracksExecute()
{
    std::vector<TcustomTagger *> records;
    for (int row = 0; row < m_songs.Count(); ++row) {
        if (TcustomTagger *record = m_songs.ObjectAs<TcustomTagger>(row))
            records.push_back(record);
    }
    if (!records.empty())
        m_editor.AddTracks(records);
}

void TfrmPlaylistEditor::actnAddToJukeboxExecute()
{
    m_editor.CopyToJukebox();
}

void TfrmPlaylistEditor::actnAddFromJukeboxExecute()
{
    m_editor.CopyFromJukebox();
}

void TfrmPlaylistEditor::actnRandomizeExecute()
{
    m_editor.Randomize();
}

void TfrmPlaylistEditor::actnCloseExecute()
{
    accept();
}
