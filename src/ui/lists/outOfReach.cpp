#include "ui/lists/outOfReach.h"

#include "library/customTaggerList.h"

#include <algorithm>

bool OutOfReach(const TlistObject &object)
{
    if (const auto *record = std::get_if<TcustomTagger *>(&object))
        return *record && (*record)->Unavailable();
    if (const auto *list = std::get_if<TcustomTaggerList *>(&object)) {
        if (!*list || (*list)->Count() == 0)
            return false;
        const std::vector<TcustomTagger *> &records = (*list)->Records();
        return std::all_of(records.begin(), records.end(), [](const TcustomTagger *r) { return r->Unavailable(); });
    }
    return false;
}

bool OutOfReach(const TtreeNodes &nodes, TtreeNode node)
{
    if (!std::holds_alternative<std::monostate>(nodes.Object(node)))
        return OutOfReach(nodes.Object(node));
    const int children = nodes.ChildCount(node);
    if (children == 0)
        return false;
    // The first child with music stops the search: a letter of a library at
    // hand costs one track to look at.
    for (int row = 0; row < children; ++row)
        if (!OutOfReach(nodes, nodes.Child(node, row)))
            return false;
    return true;
}

QColor GreyedInk(const QColor &ink, const QColor &background)
{
    return QColor((ink.red() + background.red()) / 2, (ink.green() + background.green()) / 2,
        (ink.blue() + background.blue()) / 2);
}
