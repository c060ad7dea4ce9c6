#include "ui/controls/vorlenSkinForm.h"

#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"

TvorlenSkinForm::TvorlenSkinForm(QWidget *parent, Qt::WindowFlags flags)
    : TvorlenPlayerForm(parent, flags)
{
}

void TvorlenSkinForm::ApplySkinColors(const QColor &buttonColor, const QColor &panelColor, bool)
{
    ApplySkinColorsTo(*this, buttonColor, panelColor);
}

void ApplySkinColorsTo(QWidget &owner, const QColor &buttonColor, const QColor &panelColor)
{
    for (QObject *child : owner.children()) {
        auto *control = qobject_cast<QWidget *>(child);
        if (!control)
            continue;
        if (auto *button = dynamic_cast<TvorlenButton *>(control)) {
            button->ApplySkinColors(buttonColor, panelColor);
        } else if (auto *bar = dynamic_cast<TvorlenScrollBar *>(control)) {
            bar->ApplySkinColors(buttonColor, panelColor);
            continue;
        } else if (auto *panel = dynamic_cast<TvorlenPanel *>(control)) {
            panel->ApplySkinColors(panelColor);
        } else if (auto *splitter = dynamic_cast<TtransparentSplitter *>(control)) {
            splitter->ApplySkinColors(panelColor);
        } else if (auto *multiButton = dynamic_cast<TvorlenMultiButton *>(control)) {
            multiButton->ApplySkinColors(buttonColor, panelColor);
        }
        ApplySkinColorsTo(*control, buttonColor, panelColor);
    }
}
