#include "ui/forms/skinFonts.h"

#include "core/dmMain.h"
#include "ui/lists/recordListView.h"

#include <QFontInfo>

TskinFont SkinFontOfTreeFont(const TtreeFont &font)
{
    QFont qfont(font.family);
    qfont.setPointSize(font.pointSize);
    qfont.setBold(font.bold);
    return TskinFont { qfont, QColor(QRgb(font.rgb)) };
}

TtreeFont TreeFontOfSkinFont(const TskinFont &font)
{
    // A font given in pixels (as the lists' default fonts are) has no point
    // size of its own: take the one it comes out at on this screen.
    const int points = font.font.pointSize() > 0 ? font.font.pointSize() : QFontInfo(font.font).pointSize();
    return TtreeFont { font.font.family(), points > 0 ? points : 8, font.font.bold(), font.color.rgb() & 0xFFFFFF };
}

TskinFont ListSkinFont(const TrecordListView &list)
{
    return TskinFont { list.font(), list.FontColor() };
}

void SetListSkinFont(TrecordListView &list, const TskinFont &font)
{
    list.setFont(font.font);
    list.SetFontColor(font.color);
}
