#pragma once

#include "ui/controls/controlEvents.h"

#include <QImage>
#include <QWidget>

enum TlabelStyle { lsNormal, lsShadow, lsBorder };
enum TtextLayout { tlTop, tlCenter, tlBottom };

// A label that lays its text out as an ordinary label does (alignment,
// vertical layout, word wrap, "&" marking a mnemonic) and draws it plain,
// with a black shadow one pixel down and right (lsShadow), or with a
// one-pixel black outline (lsBorder, text and outline shifted one pixel
// right and down). The text is drawn into a picture of its own whose key
// colour RGB(1, 1, 1) is see-through, so whatever is under the label shows
// between the letters. Disabled, it draws its text embossed in the
// palette's light and dark colours. The text colour is the palette's window
// text colour.
//
// GUI thread only.
class TdravoLabel : public QWidget, public TmouseEvents {
public:
    static constexpr QRgb kKeyColor = 0x010101;

    explicit TdravoLabel(QWidget *parent = nullptr);

    const QString &Caption() const { return m_caption; }
    void SetCaption(const QString &value);
    TlabelStyle LabelStyle() const { return m_labelStyle; }
    void SetLabelStyle(TlabelStyle value);
    // Qt::AlignLeft, Qt::AlignHCenter or Qt::AlignRight.
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment value);
    TtextLayout Layout() const { return m_layout; }
    void SetLayout(TtextLayout value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);
    // Sized to its text (with word wrap: its height only) whenever the text,
    // font or style changes; a shadowed label gets 2 pixels more each way.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);
    // A number the window groups its labels by.
    int Tag() const { return m_tag; }
    void SetTag(int value) { m_tag = value; }

    void Paint(QPainter &painter);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int TextFlags() const;
    void AdjustBounds();
    void Invalidate();
    // The part of the label its parent can show.
    QRect ShownArea() const;
    void RenderText(const QRect &area);

    QString m_caption;
    TlabelStyle m_labelStyle = lsNormal;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    TtextLayout m_layout = tlTop;
    bool m_wordWrap = false;
    bool m_autoSize = true;
    bool m_showAccelChar = true;
    int m_tag = 0;

    // The drawn text with the key colour made see-through, covering only the
    // part of the label its parent can show (a label far wider than the
    // window costs no more than the window); rebuilt when anything that
    // shapes the text changes.
    QImage m_text;
    QRect m_textArea;
    bool m_textValid = false;
};
