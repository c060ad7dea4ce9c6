#include "ui/forms/frmTipOfTheDay.h"

#include "core/tipOfTheDay.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/skinArt/builtInSkin.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <exception>

namespace {

// The dialog's sizes are for a font 13 pixels high; the dialog grows with
// larger fonts so that no tip is cut off.
int scaled(int designPixels, const QFontMetrics &metrics)
{
    return qMax(designPixels, designPixels * metrics.height() / 13);
}

} // namespace

TTipDialogForm::TTipDialogForm(TtipDialogState &state, QWidget *parent) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("TipDialogForm"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QColor infoBack = palette().color(QPalette::ToolTipBase);
    const QColor infoText = palette().color(QPalette::ToolTipText);

    auto *outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Raised);
    outer->setLineWidth(1);
    auto *inner = new QFrame(outer);
    inner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    inner->setAutoFillBackground(true);
    QPalette innerPalette = inner->palette();
    innerPalette.setColor(QPalette::Window, infoBack);
    innerPalette.setColor(QPalette::WindowText, infoText);
    inner->setPalette(innerPalette);
    auto *outerLayout = new QVBoxLayout(outer);
    outerLayout->setContentsMargins(4, 4, 4, 4);
    outerLayout->addWidget(inner);

    auto *picture = new TvorlenPanel(inner);
    picture->setObjectName(QStringLiteral("picture"));
    picture->SetIsSkinned(false);
    picture->SetBevelOuter(bvNone);
    picture->SetBevelInner(bvNone);
    picture->SetPanelColor(infoBack);
    picture->SetBitmap(BuiltInTipPicture());
    picture->setFixedSize(40, 40);

    auto *title = new QLabel(QStringLiteral("Did you know..."), inner);
    title->setObjectName(QStringLiteral("Label2"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 13.0 / 11.0);
    title->setFont(titleFont);

    m_tip = new QLabel(inner);
    m_tip->setObjectName(QStringLiteral("Label3"));
    m_tip->setWordWrap(true);
    m_tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tip->setTextFormat(Qt::PlainText);
    const QFontMetrics metrics = m_tip->fontMetrics();
    m_tip->setMinimumSize(scaled(305, metrics), scaled(113, metrics));

    auto *innerLayout = new QGridLayout(inner);
    innerLayout->setContentsMargins(8, 8, 8, 8);
    innerLayout->setHorizontalSpacing(8);
    innerLayout->setVerticalSpacing(8);
    innerLayout->addWidget(picture, 0, 0, Qt::AlignTop);
    innerLayout->addWidget(title, 0, 1, Qt::AlignLeft | Qt::AlignVCenter);
    innerLayout->addWidget(m_tip, 1, 0, 1, 2);
    innerLayout->setColumnStretch(1, 1);
    innerLayout->setRowStretch(1, 1);

    m_showAtStart = new QCheckBox(QStringLiteral("Display Tips on Startup"), this);
    m_showAtStart->setObjectName(QStringLiteral("CheckBox"));
    m_showAtStart->setChecked(m_state.ShowAtStart);
    m_next = new QPushButton(QStringLiteral("Next Tip"), this);
    m_next->setObjectName(QStringLiteral("Button1"));
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Button2"));
    close->setAutoDefault(false);
    for (QPushButton *button : {m_next, close})
        button->setMinimumWidth(75);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_showAtStart);
    buttons->addStretch();
    buttons->addWidget(m_next);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(outer, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_next, &QPushButton::clicked, this, [this] {
        m_state.Next();
        showTip();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TTipDialogForm::showEvent(QShowEvent *event)
{
    m_next->setEnabled(m_state.CanGoNext());
    showTip();
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TTipDialogForm::showTip()
{
    m_tip->setText(m_state.TipText());
}

void TTipDialogForm::done(int result)
{
    m_state.ShowAtStart = m_showAtStart->isChecked();
    QDialog::done(result);
}

bool RunTipDialog(TtipDialogState &state, QWidget *parent)
{
    try {
        TTipDialogForm dialog(state, parent);
        dialog.exec();
        return true;
    } catch (const std::exception &) {
        QApplication::beep();
        return false;
    }
}

void InstallTipDialog(TTipDialog &tips, QWidget *parent)
{
    tips.OnShowDialog
        = [owner = QPointer<QWidget>(parent)](TtipDialogState &state) { return RunTipDialog(state, owner.data()); };
}
