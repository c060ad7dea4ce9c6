#include "ui/forms/menuToolBar.h"

#include "ui/controls/captionText.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <cmath>

namespace {

int towards(int channel, int target, int percent)
{
    return int(std::lrint(channel + (target - channel) * percent / 100.0));
}

class TmenuButton : public QToolButton {
public:
    TmenuButton(TmenuToolBar &bar, QWidget *parent) : QToolButton(parent), m_bar(bar)
    {
        setAutoRaise(true);
        setPopupMode(QToolButton::InstantPopup);
        setFocusPolicy(Qt::NoFocus);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(m_bar.MenuFont());
        return QSize(metrics.horizontalAdvance(StripAmpersand(text())) + 16, m_bar.PreferredHeight());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect r = rect();
        painter.fillRect(r, m_bar.Color());
        const bool pressed = isDown() || (menu() && menu()->isVisible());
        const bool hot = underMouse();
        if (pressed || hot) {
            const QColor light = LightenColor(m_bar.Color(), 25);
            const QColor dark = DarkenColor(m_bar.Color(), 25);
            const QColor topLeft = pressed ? dark : light;
            const QColor bottomRight = pressed ? light : dark;
            painter.setPen(topLeft);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(bottomRight);
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
        painter.setFont(m_bar.MenuFont());
        const QString caption = StripAmpersand(text());
        painter.setPen(Qt::black);
        painter.drawText(r.translated(1, 1), Qt::AlignCenter | Qt::TextSingleLine, caption);
        painter.setPen(m_bar.MenuFontColor());
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption);
    }

private:
    TmenuToolBar &m_bar;
};

} // namespace

QColor LightenColor(const QColor &color, int percent)
{
    return QColor(towards(color.red(), 255, percent), towards(color.green(), 255, percent),
                  towards(color.blue(), 255, percent));
}

QColor DarkenColor(const QColor &color, int percent)
{
    return QColor(towards(color.red(), 0, percent), towards(color.green(), 0, percent),
                  towards(color.blue(), 0, percent));
}

TmenuToolBar::TmenuToolBar(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    m_font = QFont(QStringLiteral("Arial"));
    m_font.setPixelSize(13);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
}

QToolButton *TmenuToolBar::AddMenu(const QString &caption, QMenu *menu)
{
    auto *button = new TmenuButton(*this, this);
    button->setText(caption);
    button->setMenu(menu);
    auto *layout = static_cast<QHBoxLayout *>(this->layout());
    layout->insertWidget(layout->count() - 1, button);
    return button;
}

int TmenuToolBar::PreferredHeight() const
{
    return QFontMetrics(m_font).boundingRect(QStringLiteral("Yy")).height() + 6;
}

void TmenuToolBar::SetMenuFont(const QFont &font, const QColor &color)
{
    m_font = font;
    m_fontColor = color;
    refit();
}

void TmenuToolBar::SetColor(const QColor &value)
{
    m_color = value;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, value);
    setPalette(palette);
    update();
    for (QToolButton *button : findChildren<QToolButton *>())
        button->update();
}

void TmenuToolBar::refit()
{
    setFixedHeight(PreferredHeight());
    // Hidden and shown again, so that every button takes its new width.
    for (QToolButton *button : findChildren<QToolButton *>()) {
        button->hide();
        button->updateGeometry();
        button->show();
    }
    update();
}
