#pragma once

#include "library/stringList.h"

#include <QString>
#include <QtGlobal>

// What a node of a library tree stands for.
enum class TtreeNodeKind : quint8 { Letter, Artist, Album, Track, Playlist };

// A node of a library tree: the tree's own index of it. The default handle is
// no node, which also stands for "no parent" (the parent of a root node).
class TtreeNode {
public:
    constexpr TtreeNode() = default;
    constexpr explicit TtreeNode(qint32 index) : m_index(index) {}

    constexpr qint32 Index() const { return m_index; }
    constexpr bool IsValid() const { return m_index >= 0; }
    constexpr explicit operator bool() const { return IsValid(); }
    constexpr bool operator==(const TtreeNode &) const = default;

private:
    qint32 m_index = -1;
};

// The letter node a name is filed under: 0..25 for a name starting with an
// ASCII letter (either case), 26 ("<other>") for anything else.
inline int LetterRoot(const QString &name)
{
    if (name.isEmpty())
        return 26;
    const char16_t c = name.front().unicode();
    if (c >= u'a' && c <= u'z')
        return c - u'a';
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    return 26;
}

// What the library fills its trees through (TtreeNodes is the one the windows
// show). Every node carries the object it stands for: an artist, album or
// playlist (track lists) or a track record; the fixed letter nodes carry none.
class TlibraryTree {
public:
    virtual ~TlibraryTree() = default;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // Removes all nodes.
    virtual void Clear() = 0;
    // Adds a node as the last child of parent (a root node when parent is no
    // node) and returns its handle.
    virtual TtreeNode AddChild(TtreeNode parent, const QString &text, TlistObject object, TtreeNodeKind kind) = 0;
};
