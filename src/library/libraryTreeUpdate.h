#pragma once

#include "library/treeNodes.h"

#include <QList>

class Tmp3JukeBoxLists;
class TcustomTagger;
class TtaggerList;
struct TlibraryChanges;

// Takes a partial change of the library into a tree that
// Tmp3JukeBoxLists::FillLibraryTree filled, in place: afterwards the tree
// holds what a refill of the changed library would, node for node (texts,
// kinds, objects, order), and every node that stays keeps its index, its
// expanded state and its children.
//
// By title, a track read anew or moved that is still in its place takes its
// new text; the others named are taken out and put in again where the
// master list's title order puts them, each place found by a binary search
// of its letter's tracks: a change of a few tracks costs a few searches,
// whatever the library's size. Only a track whose title was read anew
// differently may not be found by its title: for such tracks every node is
// looked at once. By artist, the letters of the artists, albums and tracks
// named are made again from the index (their artists, and each artist's
// albums), keeping the nodes of what stays.
//
// The library's master list is in title order and its index current, as
// LibraryChanged promises; the albums, artists and records the change names
// as gone are alive. rootNodes are the letter nodes the fill gave.
void UpdateLibraryTree(TtreeNodes &tree, const Tmp3JukeBoxLists &library, bool byTitle,
    const QList<TtreeNode> &rootNodes, const TlibraryChanges &changes);

// The node of a track in a tree filled by title, found by its title; no
// node when the track has none there, or when its title changed since.
TtreeNode FindTrackNode(const TtreeNodes &tree, const QList<TtreeNode> &rootNodes, const TcustomTagger *record);
