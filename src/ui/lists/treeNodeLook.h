#pragma once

#include "library/treeNodes.h"

#include <QString>

// How a node of the jukebox's library tree presents itself besides its text.

// Its picture in the tree's image list (0 ... 8), from its kind and its
// state now: letter nodes 0 (closed), 1 (open or selected), 2 (empty);
// artists 3, or 4 when open or selected; albums 5, or 6 when open or
// selected without children; tracks 7; playlists 8. A selected node shows
// the same picture as an unselected one in that state would. Every tree of
// the jukebox draws its nodes by this rule.
int TreeNodeImage(TtreeNodeKind kind, bool hasChildren, bool expanded, bool selected);
// The same for a node of a tree the nodes store (its selection and
// expansion as the nodes record them).
int TreeNodeImageIndex(const TtreeNodes &nodes, TtreeNode node);

// The counts shown after a node's text: "  (3 artists)" after a letter node
// ("  (3 tracks)" in the all-tracks view, "  (2 albums)" after
// "<Compilations>"), "  (2 albums, 14 tracks)" after an artist, "  (1 track
// [3:05])" after an album; nothing after "<no name>", tracks and playlists.
// Reads the node's artist or album, so only while the library is in place.
QString TreeNodeAnnotation(const TtreeNodes &nodes, TtreeNode node, bool byTitle);
