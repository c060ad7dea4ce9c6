#pragma once

#include "library/stringList.h"

#include <QString>

// What the library fills its trees through: the windows implement it over
// their tree views. Node handles are the implementation's own; null stands for
// "no parent" (a root node).
class TlibraryTree {
public:
    using Node = void *;

    virtual ~TlibraryTree() = default;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // Removes all nodes.
    virtual void Clear() = 0;
    // Adds a node as the last child of parent (a root node when parent is
    // null) and returns its handle.
    virtual Node AddChild(Node parent, const QString &text, TlistObject object) = 0;
};
