#pragma once

#include "ui/controls/controlEvents.h"

#include <QColor>
#include <QImage>
#include <QPen>
#include <QPointer>
#include <QStaticText>
#include <QWidget>

class QAction;

enum TglyphPos { gpLeft, gpCenter, gpRight, gpCenterLeft, gpCenterRight };

// A push or check button painted from a skin strip: equal-width frames side
// by side (up, pressed, mask for an ordinary button; up, pressed, checked,
// checked and pressed, mask for a check button). White pixels of the mask
// frame are the button's face: only a press on the face presses it. Without
// a usable skin it paints a gradient bevel with a centred caption and an
// embossed glyph.
//
// Order of events: a press on the face shows the pressed frame, takes the
// focus and raises OnMouseDown; a left-button release inside the button
// clicks (a check button toggles Checked, an ordinary one clears it; then
// OnClick, or the linked action when OnClick is empty) and then raises
// OnMouseUp. A press outside the face raises neither. Enter or Space press
// the button from the keyboard and click it on release. Every change of
// state repaints at once.
//
// GUI thread only.
class TvorlenButton : public QWidget {
public:
    explicit TvorlenButton(QWidget *parent = nullptr);

    bool IsCheckButton() const { return m_isCheckButton; }
    void SetIsCheckButton(bool value);
    bool Checked() const { return m_checked; }
    void SetChecked(bool value);
    // Unskinned look: the glyph picture, a grey relief shaded with Color; a
    // check button's left half is its unchecked glyph, the right half its
    // checked one.
    const QImage &Glyphs() const { return m_glyphs; }
    void SetGlyphs(const QImage &value);
    TglyphPos GlyphPos() const { return m_glyphPos; }
    void SetGlyphPos(TglyphPos value);
    int GlyphPadding() const { return m_glyphPadding; }
    void SetGlyphPadding(int value);
    // "&" marks a mnemonic and is not shown ("&&" shows one "&").
    const QString &Caption() const { return m_caption; }
    void SetCaption(const QString &value);
    const QColor &Color() const { return m_color; }
    void SetColor(const QColor &value);
    // The caption's colour while the button has the focus; otherwise it is
    // the palette's window text colour.
    const QColor &FontHiliteColor() const { return m_fontHiliteColor; }
    void SetFontHiliteColor(const QColor &value);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int value);
    bool ShowFocusRect() const { return m_showFocusRect; }
    void SetShowFocusRect(bool value);
    // Setting it, to either value, turns the focus rectangle off. It turns
    // itself off at the next paint when the skin is empty or not wider than
    // 4 pixels.
    bool IsSkinned() const { return m_isSkinned; }
    void SetIsSkinned(bool value);
    const QImage &SkinBitmap() const { return m_skinBitmap; }
    void SetSkinBitmap(const QImage &value);
    // A narrower strip of the same frames that shows the glyph alone, and
    // whether the button shows it: a bar too narrow for its labelled buttons
    // keeps them whole this way. Compact without such a strip (a skin that
    // has none), the button shows its ordinary strip.
    const QImage &CompactSkinBitmap() const { return m_compactSkinBitmap; }
    void SetCompactSkinBitmap(const QImage &value);
    bool Compact() const { return m_compact; }
    void SetCompact(bool value);
    // The width of one frame of the strip the button shows (compact or
    // not); 0 without a skin.
    int SkinFrameWidth(bool compact) const;
    // A click runs the action when OnClick is empty; the button follows the
    // action's enabled state, visibility, tool tip and text.
    QAction *Action() const { return m_action; }
    void SetAction(QAction *action);
    bool TabStop() const;
    void SetTabStop(bool value);

    int FrameCount() const { return m_isCheckButton ? 5 : 3; }
    bool Pressed() const { return m_pressed; }

    // Clicks as a release on the face does, when the last recorded mouse
    // position is on the face.
    void Click();
    // Tints a non-empty skin: face pixels with buttonColor, the rest with
    // panelColor; then repaints.
    void ApplySkinColors(const QColor &buttonColor, const QColor &panelColor);
    // Paints the current look; paintEvent uses it.
    void Paint(QPainter &painter);

    TwidgetEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TwidgetEvent OnEnter;
    TwidgetEvent OnExit;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool HitTest() const;
    // The strip painted now: the compact one when compact and present.
    const QImage &ShownStrip() const;
    void DrawFrame() { repaint(); }
    void PaintSkinned(QPainter &painter);
    void PaintUnskinned(QPainter &painter);
    void BuildGlyphCopy();
    void FollowAction();

    bool m_isCheckButton = false;
    bool m_checked = false;
    QImage m_glyphs;
    TglyphPos m_glyphPos = gpLeft;
    int m_glyphPadding = 0;
    QString m_caption;
    QColor m_color;
    QColor m_fontHiliteColor = Qt::black;
    int m_bevelWidth = 3;
    bool m_showFocusRect = true;
    bool m_isSkinned = false;
    QImage m_skinBitmap;
    QImage m_compactSkinBitmap;
    bool m_compact = false;
    QPointer<QAction> m_action;

    bool m_pressed = false;
    QPoint m_mouse;
    // The glyph shaded with Color, cut into its whole, left and right parts
    // with each part's bottom-left colour transparent; built once per change
    // of Glyphs or Color, not per paint.
    QImage m_glyphParts[3];
    bool m_glyphCopyBuilt = false;
    QStaticText m_captionText;
    QPen m_captionPen;
    int m_captionWidth = 0;
};
