#include "platform/iniFile.h"
#include "platform/vorlenError.h"
#include "skinInput.h"
#include "ui/controls/controlSkins.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/skinKeys.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// Any skin file text and any bitmap bytes must load without a crash, a hang
// or an exhausted memory: a bad bitmap is a VorlenError and nothing else.
namespace {

QTemporaryDir *g_folder = nullptr;

const char *const kSections[] = { "pnlTop", "btnClose", "spltQueue", "sbVolume", "btnControls" };
const char *const kKeys[] = { "SkinBitmap", "bmTopLeft", "bmTopCenter", "bmMiddle", "bmBottomRight", "bmScroller",
    "bmTopLeftButton", "bmBottomRightButton", "bmBackground", "Skin" };

template <typename Load> void Guarded(Load load)
{
    try {
        load();
    } catch (const VorlenError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    g_folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TskinFuzzInput input
        = TskinFuzzInput::Parse(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QString bitmapName = QStringLiteral("skin.bmp");
    {
        QFile bitmap(g_folder->filePath(bitmapName));
        if (!bitmap.open(QIODevice::WriteOnly))
            __builtin_trap();
        bitmap.write(input.bitmap);
    }
    TiniFile skin(g_folder->filePath(QStringLiteral("fuzz.vsk")));
    skin.SetText(input.skinText);
    if (input.keysNameBitmap) {
        // A bare name: found by the lookup beside the skin file.
        for (const char *section : kSections) {
            for (const char *key : kKeys)
                skin.WriteString(QString::fromLatin1(section), QString::fromLatin1(key), bitmapName);
        }
    }

    const QImage placeholder(12, 6, QImage::Format_RGB32);
    TvorlenPanel panel;
    panel.setObjectName(QStringLiteral("pnlTop"));
    panel.SetIsSkinned(true);
    for (int piece = 0; piece < kPanelPieceCount; ++piece)
        panel.SetPiece(TpanelPiece(piece), placeholder);
    TvorlenButton button;
    button.setObjectName(QStringLiteral("btnClose"));
    button.SetIsSkinned(true);
    button.SetSkinBitmap(placeholder);
    TtransparentSplitter splitter;
    splitter.setObjectName(QStringLiteral("spltQueue"));
    TvorlenScrollBar bar;
    bar.setObjectName(QStringLiteral("sbVolume"));
    TvorlenMultiButton multi;
    multi.setObjectName(QStringLiteral("btnControls"));
    TdravoLabel label;
    label.setObjectName(QStringLiteral("lblTrack"));

    Guarded([&] { LoadPanelSkin(panel, skin); });
    Guarded([&] { LoadButtonSkin(button, skin); });
    Guarded([&] { LoadSplitterSkin(splitter, skin); });
    Guarded([&] { LoadScrollBarSkin(bar, skin); });
    Guarded([&] { LoadMultiButtonSkin(multi, skin); });
    LoadLabelKeys(label, skin);
    TskinFont font { label.font(), Qt::white };
    LoadFontKeys(font, skin, QStringLiteral("Fonts"), font, QStringLiteral("Clock"));

    // What was loaded must also paint.
    QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
    for (QWidget *control : std::initializer_list<QWidget *> { &panel, &button, &splitter, &bar, &multi, &label }) {
        control->resize(control->size().boundedTo(QSize(64, 64)));
        control->render(&canvas);
    }
    return 0;
}
