#include "ui/forms/frmChooseCD.h"

#include "core/dmMain.h"
#include "library/tagAlbum.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/forms/dialogButtons.h"
#include "ui/forms/treeLook.h"

#include <QTreeView>
#include <QVBoxLayout>

TfrmChooseCD::TfrmChooseCD(TdmMain &core, QWidget *parent)
    : QDialog(parent)
    , m_core(core)
    , m_subscription(core.Subscribe(*this))
    , m_model(new TtreeNodesModel(m_nodes, this))
    , m_tree(new QTreeView(this))
{
    setObjectName(QStringLiteral("frmChooseCD"));
    setWindowTitle(QStringLiteral("Choose CD"));
    m_tree->setObjectName(QStringLiteral("tvChooseCD"));
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setUniformRowHeights(true);
    m_model->Attach(m_tree);

    // A double-click on an album chooses it, as OK would.
    connect(m_tree, &QTreeView::doubleClicked, this, [this] {
        if (SelectedAlbum())
            accept();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(ButtonRow({ MakeOkButton(this), MakeCancelButton(this) }));
    resize(420, 520);
}

TfrmChooseCD::~TfrmChooseCD()
{
    // The view and the model go before the nodes the model reads.
    delete m_tree;
    delete m_model;
}

void TfrmChooseCD::Fill()
{
    ApplyTreeLook(m_tree, m_core.TreeFontLarge());
    // Emptied outside an update first, so that the refill does not bring
    // back what was open or chosen last time.
    m_nodes.Clear();
    QList<TtreeNode> roots;
    m_core.jblMain().FillArtistTree(m_nodes, roots);
    m_tree->clearSelection();
}

TtagAlbum *TfrmChooseCD::Execute()
{
    Fill();
    m_tree->setFocus();
    TtagAlbum *chosen = exec() == Accepted ? SelectedAlbum() : nullptr;
    m_nodes.Clear();
    return chosen;
}

void TfrmChooseCD::LibraryChanging()
{
    m_nodes.Clear();
}

TtagAlbum *TfrmChooseCD::SelectedAlbum() const
{
    const TtreeNode node = m_nodes.Selected();
    if (!node.IsValid() || m_nodes.Kind(node) != TtreeNodeKind::Album)
        return nullptr;
    auto *const *list = std::get_if<TcustomTaggerList *>(&m_nodes.Object(node));
    return list ? static_cast<TtagAlbum *>(*list) : nullptr;
}
