#pragma once

#include <QWidget>
#include <vector>

// Every control of class T under owner, depth first in the order the owner
// holds them. The controls are not QObject-registered classes, so a
// qobject_cast (findChildren<T *>) would take any widget for one: this looks
// at the real class.
template <typename T>
std::vector<T *> ChildControls(const QWidget &owner)
{
    std::vector<T *> found;
    for (QWidget *child : owner.findChildren<QWidget *>()) {
        if (auto *control = dynamic_cast<T *>(child))
            found.push_back(control);
    }
    return found;
}
