#pragma once

#include "core/coreListeners.h"
#include "library/treeNodes.h"

#include <QDialog>

class QTreeView;
class TdmMain;
class TtagAlbum;
class TtreeNodesModel;

// The choose-CD window: the main library's artists and albums, from which the
// user picks one album (for the stacker, and to queue a whole album).
//
// Its tree points into the main library: it is filled when the window opens
// and emptied when it closes or the core announces LibraryChanging, so that
// it never holds an album the library has replaced. GUI thread only.
class TfrmChooseCD : public QDialog, private TcoreListener {
public:
    TfrmChooseCD(TdmMain &core, QWidget *parent = nullptr);
    ~TfrmChooseCD() override;

    // Shows the window modally with nothing chosen. The album of the selected
    // node when the user pressed OK on an album node; null otherwise.
    TtagAlbum *Execute();
    // Fills the tree from the library (all closed, nothing selected), in the
    // tree font.
    void Fill();
    // The album the selected node stands for; null for any other node.
    TtagAlbum *SelectedAlbum() const;

private:
    // The library is about to replace its albums: the tree is emptied.
    void LibraryChanging() override;

    TdmMain &m_core;
    TcoreSubscription m_subscription;
    TtreeNodes m_nodes;
    TtreeNodesModel *m_model;
    QTreeView *m_tree;
};
