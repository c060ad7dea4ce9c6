#include "ui/controls/controlAlign.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

constexpr const char *kAlignProperty = "vorlenAlign";
constexpr const char *kAnchorsProperty = "vorlenAnchors";

// Watches one parent and its aligned or anchored children; a child object of
// the parent it serves.
class TalignManager : public QObject {
public:
    explicit TalignManager(QWidget *parent)
        : QObject(parent)
        , m_parent(parent)
        , m_lastSize(parent->size())
    {
        parent->installEventFilter(this);
    }

    static TalignManager *Of(QWidget *parent)
    {
        for (QObject *child : parent->children()) {
            if (auto *manager = dynamic_cast<TalignManager *>(child))
                return manager;
        }
        return new TalignManager(parent);
    }

    void Watch(QWidget *control)
    {
        control->removeEventFilter(this);
        control->installEventFilter(this);
    }

    void Arrange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ApplyAnchors();

    QWidget *const m_parent;
    QSize m_lastSize;
    bool m_busy = false;
};

void TalignManager::ApplyAnchors()
{
    const QSize size = m_parent->size();
    const int dw = size.width() - m_lastSize.width();
    const int dh = size.height() - m_lastSize.height();
    m_lastSize = size;
    if (dw == 0 && dh == 0)
        return;
    for (QObject *object : m_parent->children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (!control || control->isWindow() || ControlAlign(control) != alNone)
            continue;
        const TAnchors anchors = ControlAnchors(control);
        if (anchors == kDefaultAnchors)
            continue;
        QRect geometry = control->geometry();
        if (anchors & akRight) {
            if (anchors & akLeft)
                geometry.setWidth(geometry.width() + dw);
            else
                geometry.moveLeft(geometry.left() + dw);
        }
        if (anchors & akBottom) {
            if (anchors & akTop)
                geometry.setHeight(geometry.height() + dh);
            else
                geometry.moveTop(geometry.top() + dh);
        }
        control->setGeometry(geometry);
    }
}

void TalignManager::Arrange()
{
    if (m_busy)
        return;
    m_busy = true;
    ApplyAnchors();
    std::vector<QWidget *> controls;
    for (QObject *object : m_parent->children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (control && !control->isWindow() && !control->isHidden() && ControlAlign(control) != alNone)
            controls.push_back(control);
    }
    const QRect contents = m_parent->contentsRect();
    int left = contents.left();
    int top = contents.top();
    int right = contents.left() + contents.width();
    int bottom = contents.top() + contents.height();
    for (const TAlign align : { alTop, alBottom, alLeft, alRight, alClient }) {
        std::vector<QWidget *> edge;
        for (QWidget *control : controls) {
            if (ControlAlign(control) == align)
                edge.push_back(control);
        }
        std::stable_sort(edge.begin(), edge.end(), [align](const QWidget *a, const QWidget *b) {
            switch (align) {
            case alTop:
                return a->y() < b->y();
            case alBottom:
                return a->y() + a->height() > b->y() + b->height();
            case alLeft:
                return a->x() < b->x();
            case alRight:
                return a->x() + a->width() > b->x() + b->width();
            default:
                return false;
            }
        });
        for (QWidget *control : edge) {
            const int width = qMax(right - left, 0);
            const int height = qMax(bottom - top, 0);
            switch (align) {
            case alTop:
                control->setGeometry(left, top, width, control->height());
                top += control->height();
                break;
            case alBottom:
                control->setGeometry(left, bottom - control->height(), width, control->height());
                // A size constraint may have changed the height: keep the bottom edge.
                control->move(left, bottom - control->height());
                bottom -= control->height();
                break;
            case alLeft:
                control->setGeometry(left, top, control->width(), height);
                left += control->width();
                break;
            case alRight:
                control->setGeometry(right - control->width(), top, control->width(), height);
                // A size constraint may have changed the width: keep the right edge.
                control->move(right - control->width(), top);
                right -= control->width();
                break;
            default:
                control->setGeometry(left, top, width, height);
                break;
            }
        }
    }
    m_busy = false;
}

bool TalignManager::eventFilter(QObject *watched, QEvent *event)
{
    if (m_busy)
        return false;
    if (watched == m_parent) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::ContentsRectChange:
        case QEvent::ChildRemoved:
            Arrange();
            break;
        default:
            break;
        }
        return false;
    }
    auto *control = qobject_cast<QWidget *>(watched);
    if (!control)
        return false;
    switch (event->type()) {
    case QEvent::ParentChange:
        control->removeEventFilter(this);
        if (control->parentWidget()) {
            TalignManager *manager = Of(control->parentWidget());
            manager->Watch(control);
            manager->Arrange();
        }
        break;
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide:
        if (control->parentWidget() == m_parent && ControlAlign(control) != alNone)
            Arrange();
        break;
    default:
        break;
    }
    return false;
}

void Register(QWidget *control)
{
    if (QWidget *parent = control->parentWidget()) {
        TalignManager *manager = TalignManager::Of(parent);
        manager->Watch(control);
        manager->Arrange();
    }
}

} // namespace

void SetControlAlign(QWidget *control, TAlign align)
{
    control->setProperty(kAlignProperty, int(align));
    Register(control);
}

TAlign ControlAlign(const QWidget *control)
{
    const QVariant value = control->property(kAlignProperty);
    return value.isValid() ? TAlign(value.toInt()) : alNone;
}

void SetControlAnchors(QWidget *control, TAnchors anchors)
{
    control->setProperty(kAnchorsProperty, anchors);
    Register(control);
}

TAnchors ControlAnchors(const QWidget *control)
{
    const QVariant value = control->property(kAnchorsProperty);
    return value.isValid() ? TAnchors(value.toInt()) : kDefaultAnchors;
}

void RealignControls(QWidget *parent)
{
    TalignManager::Of(parent)->Arrange();
}
