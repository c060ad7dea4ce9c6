#include "ui/controls/controlSkins.h"

#include "platform/iniFile.h"
#include "ui/controls/childControls.h"
#include "ui/controls/skinBitmapFile.h"
#include "ui/controls/skinPainting.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"

namespace {

struct TpieceKey {
    TpanelPiece piece;
    const char *key;
    const char *suffix;
};

// In the order the section lists them.
constexpr TpieceKey kPanelKeys[] = {
    { ppBottomCenter, "bmBottomCenter", "Skin_bc.bmp" },
    { ppBottomLeft, "bmBottomLeft", "Skin_bl.bmp" },
    { ppBottomRight, "bmBottomRight", "Skin_br.bmp" },
    { ppLeftCenter, "bmLeftCenter", "Skin_lc.bmp" },
    { ppMiddle, "bmMiddle", "Skin_m.bmp" },
    { ppRightCenter, "bmRightCenter", "Skin_rc.bmp" },
    { ppTopCenter, "bmTopCenter", "Skin_tc.bmp" },
    { ppTopLeft, "bmTopLeft", "Skin_tl.bmp" },
    { ppTopRight, "bmTopRight", "Skin_tr.bmp" },
};

// Spelt as existing skin files spell it.
const QString kStretchKey = QStringLiteral("StetchDraw");

void SizeScrollBarToBackground(TvorlenScrollBar &bar)
{
    const QImage &back = bar.BackBitmap();
    if (IsEmptyBitmap(back))
        return;
    if (bar.Style() == vsbHorizontal)
        bar.resize(bar.width(), back.height());
    else
        bar.resize(back.width(), bar.height());
}

void SizeMultiButtonToSkin(TvorlenMultiButton &button)
{
    const QImage &skin = button.SkinBitmap();
    if (!IsEmptyBitmap(skin))
        button.resize(skin.width() / 4, skin.height());
}

} // namespace

void LoadButtonSkin(TvorlenButton &button, const TiniFile &skin)
{
    if (!button.IsSkinned() || IsEmptyBitmap(button.SkinBitmap()))
        return;
    QImage bitmap;
    if (!ReadSkinBitmapKey(skin, button.objectName(), QStringLiteral("SkinBitmap"), bitmap))
        return;
    button.SetSkinBitmap(bitmap);
    button.resize(bitmap.width() / button.FrameCount(), button.height());
}

void SaveButtonSkin(const TvorlenButton &button, TiniFile &skin)
{
    if (!button.IsSkinned() || IsEmptyBitmap(button.SkinBitmap()))
        return;
    WriteSkinBitmapKey(
        skin, button.objectName(), QStringLiteral("SkinBitmap"), QStringLiteral("Skin.bmp"), button.SkinBitmap());
}

void LoadPanelSkin(TvorlenPanel &panel, const TiniFile &skin)
{
    const QString section = panel.objectName();
    if (panel.IsSkinned()) {
        panel.SetStretchDraw(skin.ReadBool(section, kStretchKey, true));
        for (const TpieceKey &entry : kPanelKeys) {
            if (IsEmptyBitmap(panel.Piece(entry.piece)))
                continue;
            QImage bitmap;
            if (ReadSkinBitmapKey(skin, section, QString::fromLatin1(entry.key), bitmap))
                panel.SetPiece(entry.piece, bitmap);
        }
    }
    FitPanelToSkin(panel);
}

void SavePanelSkin(const TvorlenPanel &panel, TiniFile &skin)
{
    if (!panel.IsSkinned())
        return;
    const QString section = panel.objectName();
    skin.WriteBool(section, kStretchKey, panel.StretchDraw());
    for (const TpieceKey &entry : kPanelKeys) {
        if (!IsEmptyBitmap(panel.Piece(entry.piece)))
            WriteSkinBitmapKey(skin, section, QString::fromLatin1(entry.key), QString::fromLatin1(entry.suffix),
                panel.Piece(entry.piece));
    }
}

void LoadSplitterSkin(TtransparentSplitter &splitter, const TiniFile &skin)
{
    const QString section = splitter.objectName();
    QImage bitmap;
    if (ReadSkinBitmapKey(skin, section, QStringLiteral("bmTopLeft"), bitmap))
        splitter.SetTopLeftBitmap(bitmap);
    if (ReadSkinBitmapKey(skin, section, QStringLiteral("bmBottomRight"), bitmap))
        splitter.SetBottomRightBitmap(bitmap);
}

void SaveSplitterSkin(const TtransparentSplitter &splitter, TiniFile &skin)
{
    const QString section = splitter.objectName();
    if (!IsEmptyBitmap(splitter.TopLeftBitmap()))
        WriteSkinBitmapKey(
            skin, section, QStringLiteral("bmTopLeft"), QStringLiteral("Skin_tl.bmp"), splitter.TopLeftBitmap());
    if (!IsEmptyBitmap(splitter.BottomRightBitmap()))
        WriteSkinBitmapKey(skin, section, QStringLiteral("bmBottomRight"), QStringLiteral("Skin_br.bmp"),
            splitter.BottomRightBitmap());
}

void LoadScrollBarSkin(TvorlenScrollBar &bar, const TiniFile &skin)
{
    const QString section = bar.objectName();
    QImage bitmap;
    if (ReadSkinBitmapKey(skin, section, QStringLiteral("bmTopLeftButton"), bitmap))
        bar.SetUpButtonSkin(bitmap);
    if (ReadSkinBitmapKey(skin, section, QStringLiteral("bmBottomRightButton"), bitmap))
        bar.SetDownButtonSkin(bitmap);
    if (ReadSkinBitmapKey(skin, section, QStringLiteral("bmScroller"), bitmap))
        bar.SetScrollButtonSkin(bitmap);
    if (ReadSkinBitmapKey(skin, section, QStringLiteral("bmBackground"), bitmap)) {
        bar.SetBackBitmap(bitmap);
        SizeScrollBarToBackground(bar);
    }
    bar.update();
}

void SaveScrollBarSkin(const TvorlenScrollBar &bar, TiniFile &skin)
{
    const QString section = bar.objectName();
    WriteSkinBitmapKey(
        skin, section, QStringLiteral("bmTopLeftButton"), QStringLiteral("Skin_Up.bmp"), bar.UpButtonSkin());
    WriteSkinBitmapKey(
        skin, section, QStringLiteral("bmBottomRightButton"), QStringLiteral("Skin_Down.bmp"), bar.DownButtonSkin());
    WriteSkinBitmapKey(
        skin, section, QStringLiteral("bmScroller"), QStringLiteral("Skin_Scroll.bmp"), bar.ScrollButtonSkin());
    WriteSkinBitmapKey(
        skin, section, QStringLiteral("bmBackground"), QStringLiteral("Skin_Background.bmp"), bar.BackBitmap());
}

void LoadMultiButtonSkin(TvorlenMultiButton &button, const TiniFile &skin)
{
    QImage bitmap;
    if (ReadSkinBitmapKey(skin, button.objectName(), QStringLiteral("Skin"), bitmap))
        button.SetSkinBitmap(bitmap);
    SizeMultiButtonToSkin(button);
}

void SaveMultiButtonSkin(const TvorlenMultiButton &button, TiniFile &skin)
{
    WriteSkinBitmapKey(
        skin, button.objectName(), QStringLiteral("Skin"), QStringLiteral("Skin.bmp"), button.SkinBitmap());
}

void CopyButtonSkin(const TvorlenButton &source, TvorlenButton &target)
{
    target.SetSkinBitmap(source.SkinBitmap());
    target.resize(source.size());
    target.update();
    target.repaint();
}

void CopyPanelSkin(const TvorlenPanel &source, TvorlenPanel &target)
{
    for (int piece = 0; piece < kPanelPieceCount; ++piece)
        target.SetPiece(TpanelPiece(piece), source.Piece(TpanelPiece(piece)));
    FitPanelToSkin(target);
    target.update();
    target.repaint();
}

void CopySplitterSkin(const TtransparentSplitter &source, TtransparentSplitter &target)
{
    target.SetTopLeftBitmap(source.TopLeftBitmap());
    target.SetBottomRightBitmap(source.BottomRightBitmap());
    target.SetColor(source.Color());
    target.update();
    target.repaint();
}

void CopyScrollBarSkin(const TvorlenScrollBar &source, TvorlenScrollBar &target)
{
    target.SetBackBitmap(source.BackBitmap());
    target.SetUpButtonSkin(source.UpButtonSkin());
    target.SetDownButtonSkin(source.DownButtonSkin());
    target.SetScrollButtonSkin(source.ScrollButtonSkin());
    SizeScrollBarToBackground(target);
    target.update();
}

void CopyMultiButtonSkin(const TvorlenMultiButton &source, TvorlenMultiButton &target)
{
    target.SetSkinBitmap(source.SkinBitmap());
    SizeMultiButtonToSkin(target);
    target.update();
    target.repaint();
}

namespace {

// One walk over the skinned controls for loading and saving alike, so the two
// never disagree on which controls a skin file holds.
template <typename Visit> void visitSkinnedControls(const QWidget &owner, Visit &&visit)
{
    for (TvorlenButton *button : ChildControls<TvorlenButton>(owner)) {
        if (!button->objectName().isEmpty())
            visit(*button);
    }
    for (TvorlenPanel *panel : ChildControls<TvorlenPanel>(owner))
        visit(*panel);
    for (TvorlenScrollBar *bar : ChildControls<TvorlenScrollBar>(owner))
        visit(*bar);
    for (TtransparentSplitter *splitter : ChildControls<TtransparentSplitter>(owner))
        visit(*splitter);
    for (TvorlenMultiButton *controls : ChildControls<TvorlenMultiButton>(owner))
        visit(*controls);
}

struct TskinLoader {
    const TiniFile &skin;
    void operator()(TvorlenButton &button) const { LoadButtonSkin(button, skin); }
    void operator()(TvorlenPanel &panel) const { LoadPanelSkin(panel, skin); }
    void operator()(TvorlenScrollBar &bar) const { LoadScrollBarSkin(bar, skin); }
    void operator()(TtransparentSplitter &splitter) const { LoadSplitterSkin(splitter, skin); }
    void operator()(TvorlenMultiButton &controls) const { LoadMultiButtonSkin(controls, skin); }
};

struct TskinSaver {
    TiniFile &skin;
    void operator()(const TvorlenButton &button) const { SaveButtonSkin(button, skin); }
    void operator()(const TvorlenPanel &panel) const { SavePanelSkin(panel, skin); }
    void operator()(const TvorlenScrollBar &bar) const { SaveScrollBarSkin(bar, skin); }
    void operator()(const TtransparentSplitter &splitter) const { SaveSplitterSkin(splitter, skin); }
    void operator()(const TvorlenMultiButton &controls) const { SaveMultiButtonSkin(controls, skin); }
};

} // namespace

void LoadControlSkins(QWidget &owner, const TiniFile &skin)
{
    visitSkinnedControls(owner, TskinLoader { skin });
}

void SaveControlSkins(const QWidget &owner, TiniFile &skin)
{
    visitSkinnedControls(owner, TskinSaver { skin });
}
