#include "ui/forms/frmStackerList.h"

#include "core/cdStacker.h"
#include "core/dmMain.h"
#include "library/tagAlbum.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/forms/frmChooseCD.h"
#include "ui/forms/frmGetPlaylistAlbumName.h"
#include "ui/forms/treeLook.h"
#include "ui/skinArt/builtInSkin.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const QString kCartridgeSuffix = QStringLiteral("vst");

// A tree image with a plus in its corner: the commands that add.
QIcon addingIcon(const QImage &image)
{
    QPixmap picture(QSize(16, 16));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawImage(QRect(0, 0, 16, 16), image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(24, 24, 24));
    painter.drawRect(9, 8, 7, 7);
    painter.setBrush(QColor(80, 200, 80));
    painter.drawRect(12, 9, 1, 5);
    painter.drawRect(10, 11, 5, 1);
    return QIcon(picture);
}

QString cartridgeProblem(TcartridgeCheck check, const QString &fileName, const QString &indexFile)
{
    switch (check) {
    case ccUnreadable:
        return QStringLiteral("The cartridge file \"%1\" could not be read.").arg(fileName);
    case ccEmpty:
        return QStringLiteral("The cartridge file \"%1\" is empty, and it has no playlist index \"%2\".")
            .arg(fileName, indexFile);
    case ccDamaged:
        return QStringLiteral("The cartridge file \"%1\" is damaged: none of its tracks could be read.").arg(fileName);
    case ccOk:
        break;
    }
    return QString();
}

} // namespace

TfrmStackerList::TfrmStackerList(
    TdmMain &core, TfrmChooseCD &chooseCD, TfrmGetPlaylistAlbumName &albumName, QWidget *parent)
    : QDialog(parent)
    , m_core(core)
    , m_stacker(core.Stacker())
    , m_chooseCD(chooseCD)
    , m_albumName(albumName)
    , m_chooseFile([this](const TfileRequest &request) { return ChooseFileWithDialog(this, request); })
    , m_model(new TtreeNodesModel(m_nodes, this))
    , m_tree(new QTreeView(this))
    , m_statusBar(new QStatusBar(this))
{
    setObjectName(QStringLiteral("frmStackerList"));
    setWindowTitle(QStringLiteral("Stacker"));
    setSizeGripEnabled(false);

    QStyle *style = this->style();
    QAction *actnAddCD = makeAction("actnAddCD", "&Add Album", "Add an album to the Stacker.",
        addingIcon(BuiltInTreeImage(5)), [this] { addAlbum(); });
    QAction *actnAddPlaylist = makeAction("actnAddPlaylist", "Add &Playlist", "Add a playlist to the stacker.",
        addingIcon(BuiltInTreeImage(8)), [this] { addPlaylist(); });
    QAction *actnDelete
        = makeAction("actnDelete", "&Delete Album/Track", "Remove the selected track or album from the stacker.",
            style->standardIcon(QStyle::SP_TrashIcon), [this] { deleteSelected(); });
    QAction *actnEmptyStacker = makeAction("actnEmptyStacker", "&Empty Stacker", "Empty the Stacker.",
        style->standardIcon(QStyle::SP_DialogResetButton), [this] { m_core.StackerEmpty(); });
    QAction *actnSaveStacker = makeAction("actnSaveStacker", "&Save to File ...", "Save to stacker cartridge file.",
        style->standardIcon(QStyle::SP_DialogSaveButton), [this] { saveCartridge(); });
    QAction *actnLoadStacker = makeAction("actnLoadStacker", "&Load Cartridge ...", "Load a stacker cartridge file.",
        style->standardIcon(QStyle::SP_DialogOpenButton), [this] { loadCartridge(false); });
    QAction *actnAddStacker = makeAction("actnAddStacker", "&Add Cartridge ...", "Add a stacker cartridge file.",
        addingIcon(style->standardIcon(QStyle::SP_DirOpenIcon).pixmap(16, 16).toImage()),
        [this] { loadCartridge(true); });
    QAction *actnCloseStacker = makeAction(
        "actnCloseStacker", "&Close", "", style->standardIcon(QStyle::SP_DialogCloseButton), [this] { accept(); });

    auto *menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("mmStacker"));
    QMenu *file = menu->addMenu(QStringLiteral("&File"));
    file->addActions({ actnLoadStacker, actnAddStacker, actnSaveStacker });
    file->addSeparator();
    file->addAction(actnCloseStacker);
    QMenu *stacker = menu->addMenu(QStringLiteral("&Stacker"));
    stacker->addActions({ actnAddCD, actnAddPlaylist, actnDelete });
    stacker->addSeparator();
    stacker->addAction(actnEmptyStacker);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("tbStacker"));
    toolBar->setIconSize(QSize(16, 16));
    toolBar->addActions({ actnLoadStacker, actnAddStacker });
    toolBar->addSeparator();
    toolBar->addAction(actnSaveStacker);
    toolBar->addSeparator();
    toolBar->addActions({ actnAddCD, actnDelete, actnAddPlaylist });
    toolBar->addSeparator();
    toolBar->addAction(actnEmptyStacker);

    m_tree->setObjectName(QStringLiteral("tvStackerList"));
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setUniformRowHeights(true);
    m_model->Attach(m_tree);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current, const QModelIndex &previous) { followSelection(current, previous); });

    m_statusBar->setObjectName(QStringLiteral("sbStacker"));
    for (QLabel *&panel : m_panels) {
        panel = new QLabel(m_statusBar);
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setIndent(4);
        panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(QStringLiteral("Duration : 000:00:00")));
        m_statusBar->addWidget(panel, 1);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menu);
    layout->addWidget(toolBar);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_statusBar);
    resize(560, 460);

    m_subscription = m_core.Subscribe(*this);
    Refresh();
}

TfrmStackerList::~TfrmStackerList()
{
    m_subscription.reset();
    // The view and the model go before the nodes the model reads.
    delete m_tree;
    delete m_model;
}

QAction *TfrmStackerList::makeAction(
    const char *name, const char *caption, const char *hint, const QIcon &icon, std::function<void()> effect)
{
    auto *action = new QAction(icon, QString::fromLatin1(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    if (*hint)
        action->setToolTip(QString::fromLatin1(hint));
    connect(action, &QAction::triggered, this, std::move(effect));
    return action;
}

void TfrmStackerList::Execute()
{
    Refresh();
    m_tree->setFocus();
    exec();
}

void TfrmStackerList::Refresh()
{
    ApplyTreeLook(m_tree, m_core.TreeFontLarge());
    dropTree();
    fillTree();
}

QStringList TfrmStackerList::StatusTexts() const
{
    QStringList texts;
    for (const QLabel *panel : m_panels)
        texts << panel->text();
    return texts;
}

QString TfrmStackerList::nodeKey(TtreeNode node) const
{
    const TlistObject &object = m_nodes.Object(node);
    switch (m_nodes.Kind(node)) {
    case TtreeNodeKind::Album:
        if (auto *const *list = std::get_if<TcustomTaggerList *>(&object)) {
            const auto *album = static_cast<const TtagAlbum *>(*list);
            return QStringLiteral("album\n") + album->Artist() + u'\n' + album->AlbumName();
        }
        break;
    case TtreeNodeKind::Playlist:
        return QStringLiteral("playlist\n") + m_nodes.Text(node);
    case TtreeNodeKind::Track:
        if (auto *const *record = std::get_if<TcustomTagger *>(&object))
            return nodeKey(m_nodes.Parent(node)) + u'\n' + (*record)->Filename();
        break;
    default:
        break;
    }
    return QString();
}

void TfrmStackerList::dropTree()
{
    if (m_dropped)
        return;
    m_dropped = true;
    // The objects are still alive here: the stacker has not changed yet.
    m_selectedKey = m_nodes.Selected().IsValid() ? nodeKey(m_nodes.Selected()) : QString();
    m_expandedKeys.clear();
    for (qint32 i = 0; i < m_nodes.Count(); ++i) {
        if (m_nodes.Expanded(TtreeNode(i)))
            m_expandedKeys << nodeKey(TtreeNode(i));
    }
    m_nodes.Clear();
}

void TfrmStackerList::fillTree()
{
    m_stacker.Library().FillAlbumTree(m_nodes, true, true);
    if (m_dropped) {
        m_dropped = false;
        TtreeNode selected;
        for (qint32 i = 0; i < m_nodes.Count(); ++i) {
            const TtreeNode node(i);
            if (m_expandedKeys.isEmpty() && m_selectedKey.isEmpty())
                break;
            const QString key = nodeKey(node);
            if (m_expandedKeys.removeOne(key))
                m_nodes.Expand(node);
            if (!selected.IsValid() && !m_selectedKey.isEmpty() && key == m_selectedKey)
                selected = node;
        }
        m_nodes.Select(selected);
        m_expandedKeys.clear();
        m_selectedKey.clear();
    }
    const QStringList texts = m_stacker.StatusTexts();
    for (size_t i = 0; i < m_panels.size(); ++i)
        m_panels[i]->setText(texts.value(qsizetype(i)));
}

void TfrmStackerList::followSelection(const QModelIndex &current, const QModelIndex &previous)
{
    // The tree opens what the user selects and closes what was selected
    // before, unless it holds the new selection.
    auto holds = [](QModelIndex branch, const QModelIndex &index) {
        for (QModelIndex at = index; at.isValid(); at = at.parent()) {
            if (at == branch)
                return true;
        }
        return false;
    };
    for (QModelIndex at = previous; at.isValid() && !holds(at, current); at = at.parent())
        m_tree->collapse(at);
    if (current.isValid())
        m_tree->expand(current);
}

void TfrmStackerList::warn(const QString &text)
{
    QMessageBox::warning(this, windowTitle(), text);
}

void TfrmStackerList::addAlbum()
{
    if (const TtagAlbum *album = m_chooseCD.Execute())
        m_core.StackerAddAlbum(*album);
}

void TfrmStackerList::addPlaylist()
{
    TfileRequest request;
    request.filter = QStringLiteral("Playlist Files (*.m3u)|*.m3u");
    request.folder = m_core.Settings().PlaylistFolder;
    request.defaultSuffix = QStringLiteral("m3u");
    const QString fileName = m_chooseFile(request);
    if (fileName.isEmpty())
        return;
    const QFileInfo file(fileName);
    const QString name = m_albumName.Execute(file.completeBaseName());
    m_core.SetPlaylistFolder(file.absolutePath());
    if (m_stacker.Library().PlaylistCollection().Find(name)) {
        warn(QStringLiteral("The stacker already holds a playlist called \"%1\".").arg(name));
        return;
    }
    if (!m_core.StackerAddPlaylist(name, fileName)) {
        warn(QStringLiteral("No track could be added from the playlist file \"%1\": it is missing, or it names no "
                            "music file that exists.")
                 .arg(fileName));
    }
}

void TfrmStackerList::deleteSelected()
{
    const TtreeNode node = m_nodes.Selected();
    if (!node.IsValid())
        return;
    // Copies: the stacker drops the tree before it changes anything.
    const TlistObject object = m_nodes.Object(node);
    const TtreeNode parent = m_nodes.Parent(node);
    const TlistObject parentObject = parent.IsValid() ? m_nodes.Object(parent) : TlistObject {};
    m_core.StackerDeleteNode(object, parentObject);
}

void TfrmStackerList::saveCartridge()
{
    TfileRequest request;
    request.mode = TfileRequest::frSave;
    request.title = QStringLiteral("Save Stacker Cartridge");
    request.filter = QStringLiteral("Stacker Cartridge (*.vst)|*.vst");
    request.folder = m_core.Settings().CartridgeFolder;
    request.defaultSuffix = kCartridgeSuffix;
    QString fileName = m_chooseFile(request);
    if (fileName.isEmpty())
        return;
    // Only ".vst" files are offered for loading: a cartridge saved under any
    // other name could not be found again.
    if (QFileInfo(fileName).suffix().compare(kCartridgeSuffix, Qt::CaseInsensitive) != 0)
        fileName += QLatin1Char('.') + kCartridgeSuffix;
    m_core.SetCartridgeFolder(QFileInfo(fileName).absolutePath());
    if (!m_core.StackerSaveCartridge(fileName))
        warn(QStringLiteral("The cartridge could not be saved as \"%1\" with its playlist index \"%2\".")
                 .arg(fileName, m_stacker.CartridgeIndexFile(fileName)));
}

void TfrmStackerList::loadCartridge(bool append)
{
    TfileRequest request;
    request.title = QStringLiteral("Open Cartridge File");
    request.filter = QStringLiteral("Stacker Cartridges (*.vst)|*.vst");
    request.folder = m_core.Settings().CartridgeFolder;
    const QString fileName = m_chooseFile(request);
    if (fileName.isEmpty())
        return;
    m_core.SetCartridgeFolder(QFileInfo(fileName).absolutePath());
    const TcartridgeCheck check = m_core.StackerLoadCartridge(fileName, append);
    if (check != ccOk)
        warn(cartridgeProblem(check, fileName, m_stacker.CartridgeIndexFile(fileName))
            + QStringLiteral("\n\nThe stacker has not been changed."));
}
