#pragma once

#include "core/coreListeners.h"
#include "library/treeNodes.h"
#include "ui/forms/fileChooser.h"

#include <QDialog>
#include <array>
#include <functional>

class QAction;
class QLabel;
class QStatusBar;
class QTreeView;
class TcdStacker;
class TdmMain;
class TfrmChooseCD;
class TfrmGetPlaylistAlbumName;
class TtreeNodesModel;

// The stacker window: the albums and playlists of the CD stacker as a tree,
// its counts in the status bar, and the commands that fill and empty it and
// keep it in cartridge files. All the work is the core's (TcdStacker through
// the core's stacker operations); the window asks the user and shows the
// result.
//
// The tree points at the stacker's albums, playlists and records. The window
// drops it when the core announces StackerChanging and refills it at
// StackerChanged, keeping what the user had open and selected. It never frees
// or empties anything itself. GUI thread only.
class TfrmStackerList : public QDialog, private TcoreListener {
public:
    TfrmStackerList(
        TdmMain &core, TfrmChooseCD &chooseCD, TfrmGetPlaylistAlbumName &albumName, QWidget *parent = nullptr);
    ~TfrmStackerList() override;

    // Shows the window modally, in the current tree font, its tree rebuilt.
    void Execute();
    // Takes the current tree font and rebuilds the tree and the counts.
    void Refresh();
    // Replaces the desktop's file dialogs (tests answer without one).
    void SetFileChooser(TfileChooser chooser) { m_chooseFile = std::move(chooser); }

    // The five status bar panels: tracks, duration, artists, albums, playlists.
    QStringList StatusTexts() const;

private:
    QAction *makeAction(
        const char *name, const char *caption, const char *hint, const QIcon &icon, std::function<void()> effect);
    void dropTree();
    void fillTree();
    QString nodeKey(TtreeNode node) const;
    void followSelection(const QModelIndex &current, const QModelIndex &previous);

    void addAlbum();
    void addPlaylist();
    void deleteSelected();
    void saveCartridge();
    void loadCartridge(bool append);
    void warn(const QString &text);
    void StackerChanging() override { dropTree(); }
    void StackerChanged() override { fillTree(); }

    TdmMain &m_core;
    const TcdStacker &m_stacker;
    TfrmChooseCD &m_chooseCD;
    TfrmGetPlaylistAlbumName &m_albumName;
    TfileChooser m_chooseFile;
    TcoreSubscription m_subscription;

    TtreeNodes m_nodes;
    TtreeNodesModel *m_model;
    QTreeView *m_tree;
    QStatusBar *m_statusBar;
    std::array<QLabel *, 5> m_panels {};

    // What was open and selected when the tree was dropped, to be opened
    // again by the refill: by what the nodes stand for, as their texts
    // change with their contents (an album's shows its duration).
    bool m_dropped = false;
    QString m_selectedKey;
    QStringList m_expandedKeys;
};
