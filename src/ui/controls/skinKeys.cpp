#include "ui/controls/skinKeys.h"

#include "platform/iniFile.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/skinColors.h"

#include <QFontInfo>
#include <QWidget>

namespace {

// Sizes outside this range in a skin file are taken for damage: a label in
// a 100,000-point font would cover the screen many times over.
constexpr int kMinFontPoints = 1;
constexpr int kMaxFontPoints = 200;

const QString kLabelsSection = QStringLiteral("Labels");

int PointSize(const QFont &font)
{
    return font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
}

} // namespace

TskinFont ControlSkinFont(const QWidget &control)
{
    return TskinFont { control.font(), control.palette().color(QPalette::WindowText) };
}

void SetControlSkinFont(QWidget &control, const TskinFont &font)
{
    control.setFont(font.font);
    QPalette palette = control.palette();
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::ButtonText, QPalette::Text })
        palette.setColor(role, font.color);
    control.setPalette(palette);
}

void LoadFontKeys(TskinFont &target, const TiniFile &skin, const QString &section, const TskinFont &defaultFont,
    const QString &prefix)
{
    const QString name = skin.ReadString(section, prefix + QStringLiteral("Name"), defaultFont.font.family());
    target.font.setFamily(name.isEmpty() ? defaultFont.font.family() : name);
    const QString color
        = skin.ReadString(section, prefix + QStringLiteral("Color"), ColorToSkinText(defaultFont.color));
    target.color = SkinTextToColor(color, defaultFont.color);
    const int size = skin.ReadInteger(section, prefix + QStringLiteral("Size"), PointSize(defaultFont.font));
    target.font.setPointSize(size >= kMinFontPoints && size <= kMaxFontPoints ? size : PointSize(defaultFont.font));
    target.font.setBold(skin.ReadBool(section, prefix + QStringLiteral("Bold"), defaultFont.font.bold()));
    target.font.setItalic(skin.ReadBool(section, prefix + QStringLiteral("Italic"), defaultFont.font.italic()));
}

void SaveFontKeys(const TskinFont &font, TiniFile &skin, const QString &section, const QString &prefix)
{
    skin.WriteString(section, prefix + QStringLiteral("Color"), ColorToSkinText(font.color));
    skin.WriteInteger(section, prefix + QStringLiteral("Size"), PointSize(font.font));
    skin.WriteString(section, prefix + QStringLiteral("Name"), font.font.family());
    skin.WriteBool(section, prefix + QStringLiteral("Bold"), font.font.bold());
    skin.WriteBool(section, prefix + QStringLiteral("Italic"), font.font.italic());
}

void LoadLabelKeys(TdravoLabel &label, const TiniFile &skin)
{
    const QString name = label.objectName();
    TskinFont font = ControlSkinFont(label);
    LoadFontKeys(font, skin, kLabelsSection, font, name);
    SetControlSkinFont(label, font);
    label.SetCaption(skin.ReadString(kLabelsSection, name + QStringLiteral("Caption"), label.Caption()));
    const int left = skin.ReadInteger(kLabelsSection, name + QStringLiteral("Left"), label.x());
    const int top = skin.ReadInteger(kLabelsSection, name + QStringLiteral("Top"), label.y());
    label.move(left, top);
}

void SaveLabelKeys(const TdravoLabel &label, TiniFile &skin)
{
    const QString name = label.objectName();
    SaveFontKeys(ControlSkinFont(label), skin, kLabelsSection, name);
    skin.WriteInteger(kLabelsSection, name + QStringLiteral("Left"), label.x());
    skin.WriteInteger(kLabelsSection, name + QStringLiteral("Top"), label.y());
    skin.WriteString(kLabelsSection, name + QStringLiteral("Caption"), label.Caption());
}
