#include "ui/controls/labelFit.h"

#include "ui/controls/dravoLabel.h"

#include <QWidget>
#include <algorithm>

namespace {

bool SharesRows(const QWidget &a, const QWidget &b)
{
    return a.y() < b.y() + b.height() && b.y() < a.y() + a.height();
}

} // namespace

void FitLabelsToNeighbours(QWidget &panel, int gap)
{
    QList<QWidget *> controls;
    for (QObject *object : panel.children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (!control || control->isWindow() || control->isHidden())
            continue;
        if (const auto *label = dynamic_cast<const TdravoLabel *>(control); label && label->Caption().isEmpty())
            continue;
        controls.append(control);
    }
    for (QWidget *control : controls) {
        auto *label = dynamic_cast<TdravoLabel *>(control);
        if (!label || !label->AutoSize() || label->WordWrap())
            continue;
        int room = panel.width() - gap - label->x();
        for (const QWidget *other : controls) {
            if (other == label || !SharesRows(*label, *other))
                continue;
            if (other->x() > label->x())
                room = std::min(room, other->x() - gap - label->x());
            else if (!dynamic_cast<const TdravoLabel *>(other) && other->x() + other->width() > label->x())
                room = 0;
        }
        label->SetElideWidth(std::max(room, 0));
    }
}
