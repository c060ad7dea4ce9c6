#pragma once

#include "ui/lists/rowListModel.h"

#include <QColor>
#include <QImage>
#include <QListView>
#include <functional>

class TcustomTagger;

// A list box of the jukebox: one row per track, black, without a frame or a
// scroll bar of its own (a skinned bar stands beside it). Each row is filled
// in the list's colour, or the highlight colour when selected, and shows the
// row picture, if any, at its left, centred in the row, and the text 4 pixels
// right of it (2 pixels from the left without a picture), centred in the row
// (rounded to the nearest pixel), in the font colour or the highlight-text
// colour. A row is as high as the font's text, or as the picture plus 8
// when that is more.
//
// GUI thread only.
class TrecordListView : public QListView {
public:
    using TNotifyEvent = std::function<void(QObject *sender)>;

    explicit TrecordListView(QWidget *parent = nullptr);

    TrowListModel &Rows() { return *m_rows; }
    const TrowListModel &Rows() const { return *m_rows; }
    int Count() const { return m_rows->rowCount(); }
    TcustomTagger *Record(int row) const { return m_rows->Record(row); }
    void Clear();

    const QColor &Color() const { return m_color; }
    void SetColor(const QColor &color);
    const QColor &FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);
    const QImage &RowImage() const { return m_rowImage; }
    void SetRowImage(const QImage &image);
    int RowHeight() const;
    // Where a row's text starts and the top of its text (row coordinates).
    int TextLeft() const;
    int TextTop() const;

    TNotifyEvent OnDblClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Relayout();

    TrowListModel *m_rows;
    QColor m_color;
    QColor m_fontColor;
    QImage m_rowImage;
};
