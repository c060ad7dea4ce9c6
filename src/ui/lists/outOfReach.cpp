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

QColor GreyedInk(const QColor &ink, const QColor &background)
{
    return QColor((ink.red() + background.red()) / 2, (ink.green() + background.green()) / 2,
        (ink.blue() + background.blue()) / 2);
}
