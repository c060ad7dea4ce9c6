#include "skinArtCatalog.h"

#include "greyArt.h"
#include "ui/skinArt/builtInSkinLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

using namespace builtInSkin;

namespace {

struct ButtonLook {
    const char *name;
    Glyph glyph;
    Glyph checkedGlyph;
    const char *label;
    int surround;
};

const ButtonLook kButtonLooks[] = {
    { "btnMenu", Glyph::Menu, Glyph::None, nullptr, kTopBarLevel },
    { "btnHelp", Glyph::Help, Glyph::None, nullptr, kTopBarLevel },
    { "btnMinimize", Glyph::Minimize, Glyph::None, nullptr, kTopBarLevel },
    { "btnMaximize", Glyph::Maximize, Glyph::Restore, nullptr, kTopBarLevel },
    { "btnClose", Glyph::Close, Glyph::None, nullptr, kTopBarLevel },
    { "btnShowTitlesAll", Glyph::Titles, Glyph::None, "Titles", kBarLevel },
    { "btnPlayCD", Glyph::PlayAlbum, Glyph::None, "Album", kBarLevel },
    { "btnSongSearch", Glyph::Search, Glyph::None, "Search", kBarLevel },
    { "btnAddAll", Glyph::AddAll, Glyph::None, "Add All", kBarLevel },
    { "btnAddSelected", Glyph::AddSelected, Glyph::None, "Add Selected", kBarLevel },
    { "btnStackerPower", Glyph::Power, Glyph::Power, nullptr, kBarLevel },
    { "btnStackerConfig", Glyph::Gear, Glyph::None, nullptr, kBarLevel },
    { "btnQueueMoveUp", Glyph::MoveUp, Glyph::None, "Up", kNeutral },
    { "btnQueueMoveDown", Glyph::MoveDown, Glyph::None, "Down", kNeutral },
    { "btnQueueMoveTo", Glyph::MoveTo, Glyph::None, "Move To", kNeutral },
    { "btnQueueDelete", Glyph::Delete, Glyph::None, "Delete", kNeutral },
    { "btnQueueClear", Glyph::Clear, Glyph::None, "Clear", kNeutral },
};

constexpr int kGlyphSide = 14;
constexpr int kLabelGap = 5;
constexpr int kLabelPixels = 11;

const ButtonLook &LookOf(const char *name)
{
    for (const ButtonLook &look : kButtonLooks) {
        if (qstrcmp(look.name, name) == 0)
            return look;
    }
    qFatal("no look for the button %s", name);
}

QString PiecePath(const char *control, const QString &piece)
{
    return QStringLiteral("%1/%2.png").arg(QLatin1String(control), piece);
}

int FaceLevel(FrameState state)
{
    switch (state) {
    case FrameState::Up:
        return kFaceUp;
    case FrameState::Pressed:
        return kFacePressed;
    case FrameState::Checked:
        return kFaceChecked;
    case FrameState::CheckedPressed:
        return (kFaceChecked + kFacePressed) / 2;
    }
    return kFaceUp;
}

int InkLevel(FrameState state)
{
    switch (state) {
    case FrameState::Up:
        return kInkUp;
    case FrameState::Pressed:
        return kInkPressed;
    case FrameState::Checked:
        return kInkChecked;
    case FrameState::CheckedPressed:
        return (kInkChecked + kInkPressed) / 2;
    }
    return kInkUp;
}

bool IsPressed(FrameState state)
{
    return state == FrameState::Pressed || state == FrameState::CheckedPressed;
}

bool IsChecked(FrameState state)
{
    return state == FrameState::Checked || state == FrameState::CheckedPressed;
}

QPainterPath RoundedFace(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A button's strip; the compact one shows the glyph alone on a narrower face.
QImage Button(const ButtonArt &art, bool compact = false)
{
    const ButtonLook &look = LookOf(art.name);
    const QSize frame = compact ? kCompactBarButton : art.frame;
    const QRectF faceRect(1, 1, frame.width() - 2, frame.height() - 2);
    const QPainterPath face = RoundedFace(faceRect, kCornerRadius);
    const QString label = look.label && !compact ? QString::fromLatin1(look.label) : QString();
    const int labelWidth = label.isEmpty() ? 0 : QFontMetrics(ArtFont(kLabelPixels, true)).horizontalAdvance(label);
    const int group = label.isEmpty() ? kGlyphSide : kGlyphSide + kLabelGap + labelWidth;
    if (group + 8 > frame.width())
        qFatal("the label of %s needs %d pixels, its button has %d", art.name, group + 8, frame.width());
    std::vector<FrameState> states { FrameState::Up, FrameState::Pressed };
    if (art.check)
        states.insert(states.end(), { FrameState::Checked, FrameState::CheckedPressed });
    return ButtonStrip(frame, states, look.surround, face, [&](QPainter &painter, FrameState state) {
        const int faceLevel = FaceLevel(state);
        painter.fillPath(face, Grey(faceLevel));
        // A hairline a little lighter than the face along its top edge.
        painter.save();
        painter.setClipPath(face);
        painter.fillRect(QRectF(faceRect.left(), faceRect.top(), faceRect.width(), 1), Grey(faceLevel + 14));
        painter.restore();
        const double shift = IsPressed(state) ? 1 : 0;
        const int ink = InkLevel(state);
        const Glyph glyph = IsChecked(state) && look.checkedGlyph != Glyph::None ? look.checkedGlyph : look.glyph;
        const double left = std::floor((frame.width() - group) / 2.0);
        const double top = std::floor((frame.height() - kGlyphSide) / 2.0) + shift;
        DrawGlyph(painter, glyph, QRectF(left, top, kGlyphSide, kGlyphSide), ink);
        if (!label.isEmpty())
            DrawLabel(
                painter, label, QRectF(left + kGlyphSide + kLabelGap, shift, labelWidth + 2, frame.height()), ink);
        // A lit bar under the face shows a checked button that keeps its glyph.
        if (IsChecked(state) && look.checkedGlyph == look.glyph) {
            const double width = std::round(frame.width() * 0.4);
            painter.fillRect(QRectF((frame.width() - width) / 2, frame.height() - 4, width, 1.5), Grey(kInkChecked));
        }
    });
}

QImage Controls()
{
    const Glyph glyphs[4] = { Glyph::Play, Glyph::Next, Glyph::Pause, Glyph::Stop };
    const QSize frame = kControls;
    QRectF parts[4];
    for (int i = 0; i < 4; ++i) {
        parts[i] = QRectF(
            (i % 2) * (kControlPart + kControlGap), (i / 2) * (kControlPart + kControlGap), kControlPart, kControlPart);
    }
    const auto partFace = [&](int i) { return RoundedFace(parts[i].adjusted(0.5, 0.5, -0.5, -0.5), 10); };
    QImage strip = GreyImage(QSize(frame.width() * 4, frame.height()), kDisplayLevel);
    QPainter painter(&strip);
    const FrameState states[3] = { FrameState::Up, FrameState::Pressed, FrameState::Checked };
    for (int f = 0; f < 3; ++f) {
        painter.save();
        painter.translate(f * frame.width(), 0);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 4; ++i) {
            const QPainterPath face = partFace(i);
            painter.fillPath(face, Grey(FaceLevel(states[f])));
            if (states[f] == FrameState::Checked) {
                painter.setPen(QPen(Grey(190), 1.5));
                painter.drawPath(RoundedFace(parts[i].adjusted(1.75, 1.75, -1.75, -1.75), 8.5));
                painter.setPen(Qt::NoPen);
            }
            const double side = 20;
            const double shift = states[f] == FrameState::Pressed ? 1 : 0;
            const QRectF box(parts[i].center().x() - side / 2, parts[i].center().y() - side / 2 + shift, side, side);
            DrawGlyph(painter, glyphs[i], box, InkLevel(states[f]));
        }
        painter.restore();
    }
    // The map: the pixels each part's face covers in its colour, the rest
    // black, so that every pixel is one of the five colours.
    painter.translate(3 * frame.width(), 0);
    painter.fillRect(QRect(QPoint(0, 0), frame), Qt::black);
    for (int i = 0; i < 4; ++i) {
        QImage part = CoveredPixels(frame, partFace(i));
        part.setAlphaChannel(part.convertToFormat(QImage::Format_Grayscale8));
        QImage coloured(frame, QImage::Format_ARGB32_Premultiplied);
        coloured.fill(QColor::fromRgb(kControlPartColours[std::size_t(i)]));
        QPainter tint(&coloured);
        tint.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        tint.drawImage(0, 0, part);
        tint.end();
        painter.drawImage(0, 0, coloured);
    }
    return strip;
}

struct ScrollPieces {
    QImage first;
    QImage second;
    QImage thumb;
    QImage background;
};

QSize Along(const ScrollBarSizes &sizes, int length)
{
    return sizes.vertical ? QSize(sizes.thickness, length) : QSize(length, sizes.thickness);
}

ScrollPieces ScrollBar(const ScrollBarArt &art)
{
    const ScrollBarSizes &sizes = art.sizes;
    const bool volume = sizes.thickness == kVolumeBar.thickness && sizes.vertical;
    const int surround = volume ? kDisplayLevel : kTrackLevel;
    const std::vector<FrameState> states { FrameState::Up, FrameState::Pressed };

    const QSize arrowFrame = Along(sizes, sizes.arrowLength);
    const QPainterPath arrowFace = RoundedFace(QRectF(QPointF(1, 1), QSizeF(arrowFrame) - QSizeF(2, 2)), 3);
    const auto arrow = [&](Glyph glyph) {
        return ButtonStrip(arrowFrame, states, surround, arrowFace, [&](QPainter &painter, FrameState state) {
            const bool pressed = IsPressed(state);
            painter.fillPath(arrowFace, Grey(pressed ? kTrackLevel + 34 : kTrackLevel + 14));
            const double side = std::min(arrowFrame.width(), arrowFrame.height());
            DrawGlyph(painter, glyph,
                QRectF((arrowFrame.width() - side) / 2, (arrowFrame.height() - side) / 2, side, side),
                pressed ? kInkUp + 30 : kInkPressed - 10);
        });
    };

    const QSize thumbFrame = Along(sizes, sizes.thumbLength);
    QRectF thumbRect(QPointF(0, 0), QSizeF(thumbFrame));
    thumbRect = volume ? thumbRect.adjusted(1, 1, -1, -1)
                       : (sizes.vertical ? thumbRect.adjusted(3, 1, -3, -1) : thumbRect.adjusted(1, 3, -1, -3));
    const double thumbRadius = volume ? 3 : std::min(thumbRect.width(), thumbRect.height()) / 2;
    const QPainterPath thumbFace = RoundedFace(thumbRect, thumbRadius);
    ScrollPieces pieces;
    pieces.thumb = ButtonStrip(thumbFrame, states, surround, thumbFace, [&](QPainter &painter, FrameState state) {
        const bool pressed = IsPressed(state);
        painter.fillPath(thumbFace, Grey(volume ? (pressed ? 175 : 150) : (pressed ? 132 : 100)));
        if (volume) {
            const double y = thumbFrame.height() / 2.0;
            painter.fillRect(QRectF(3, y - 1, thumbFrame.width() - 6, 2), Grey(60));
        }
    });
    if (volume) {
        pieces.first = arrow(Glyph::Plus);
        pieces.second = arrow(Glyph::Minus);
    } else if (sizes.vertical) {
        pieces.first = arrow(Glyph::ChevronUp);
        pieces.second = arrow(Glyph::ChevronDown);
    } else {
        pieces.first = arrow(Glyph::ChevronLeft);
        pieces.second = arrow(Glyph::ChevronRight);
    }
    pieces.background = GreyImage(Along(sizes, sizes.tileLength), surround);
    if (volume) {
        // A groove down the middle of the display panel.
        QPainter painter(&pieces.background);
        const int groove = 4;
        painter.fillRect((sizes.thickness - groove) / 2, 0, groove, sizes.tileLength, Grey(kTrackLevel));
    }
    return pieces;
}

QImage Bar(const PanelArt &art)
{
    QImage bar = GreyImage(QSize(kPanelPiece, art.height), art.level);
    QPainter painter(&bar);
    painter.fillRect(0, 0, kPanelPiece, 1, Grey(art.level + kEdgeLight));
    painter.fillRect(0, art.height - 1, kPanelPiece, 1, Grey(art.level - kEdgeDark));
    return bar;
}

QImage Logo(const PanelArt &art)
{
    QImage logo = GreyImage(kLogo, art.level);
    QPainter painter(&logo);
    painter.fillRect(0, 0, kLogo.width(), 1, Grey(art.level + kEdgeLight));
    painter.fillRect(0, kLogo.height() - 1, kLogo.width(), 1, Grey(art.level - kEdgeDark));
    painter.setRenderHint(QPainter::Antialiasing);
    // A record: dark grooves, a light label, the hole.
    const QPointF centre(20, kLogo.height() / 2.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Grey(36));
    painter.drawEllipse(centre, 11.5, 11.5);
    painter.setBrush(Qt::NoBrush);
    for (const double radius : { 9.5, 7.8 }) {
        painter.setPen(QPen(Grey(70), 0.8));
        painter.drawEllipse(centre, radius, radius);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Grey(215));
    painter.drawEllipse(centre, 4.6, 4.6);
    painter.setBrush(Grey(art.level));
    painter.drawEllipse(centre, 1.2, 1.2);
    // A glint across the grooves.
    painter.setPen(QPen(Grey(160), 1.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(centre.x() - 9.5, centre.y() - 9.5, 19, 19), 100 * 16, 45 * 16);

    QFont font = ArtFont(17, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    painter.setFont(font);
    painter.setPen(Grey(228));
    painter.drawText(
        QRectF(38, 0, kLogo.width() - 38, kLogo.height()), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VORLEN"));
    return logo;
}

QImage FramedModel(int surround, int rim, int inside)
{
    const int side = 3 * kPanelPiece;
    QImage model = GreyImage(QSize(side, side), surround);
    QPainter painter(&model);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(RoundedFace(QRectF(0, 0, side, side), kPanelRadius), Grey(rim));
    painter.fillPath(RoundedFace(QRectF(1, 1, side - 2, side - 2), kPanelRadius - 1), Grey(inside));
    return model;
}

QImage Grip(bool vertical)
{
    const QSize size
        = vertical ? QSize(kSplitterThickness, kSplitterGripLength) : QSize(kSplitterGripLength, kSplitterThickness);
    QImage grip = GreyImage(size, kNeutral);
    QPainter painter(&grip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Grey(176));
    const double middle = kSplitterThickness / 2.0;
    for (const double along :
        { kSplitterGripLength / 2.0 - 5, kSplitterGripLength / 2.0, kSplitterGripLength / 2.0 + 5 })
        painter.drawEllipse(vertical ? QPointF(middle, along) : QPointF(along, middle), 1.1, 1.1);
    return grip;
}

// The tree's images are not tinted: they keep the list's own colours on the
// black tree.
QImage TreeImage(int index)
{
    const QColor blue(60, 166, 230);
    const QColor orange(255, 125, 70);
    const QColor pale(224, 224, 224);
    const QColor green(110, 200, 120);
    QImage image(kTreeImageSide, kTreeImageSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(kTreeImageSide / 16.0, kTreeImageSide / 16.0);
    const auto letterTab = [&](const QColor &colour, bool filled) {
        painter.setPen(QPen(colour, 1.4));
        painter.setBrush(filled ? colour : Qt::transparent);
        painter.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2.5, 2.5);
        painter.setPen(QPen(filled ? Qt::black : colour, 1.4));
        painter.drawLine(QPointF(5.5, 6.5), QPointF(10.5, 6.5));
        painter.drawLine(QPointF(5.5, 9.5), QPointF(8.5, 9.5));
    };
    const auto person = [&](const QColor &colour, bool bright) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(bright ? colour.lighter(125) : colour);
        painter.drawEllipse(QPointF(8, 5), 3, 3);
        QPainterPath shoulders;
        shoulders.moveTo(2.5, 14.5);
        shoulders.cubicTo(2.5, 8.5, 13.5, 8.5, 13.5, 14.5);
        shoulders.closeSubpath();
        painter.drawPath(shoulders);
        if (bright) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(pale, 1));
            painter.drawEllipse(QPointF(8, 5), 3, 3);
        }
    };
    const auto disc = [&](const QColor &colour, bool open) {
        QPainterPath record;
        record.addEllipse(QPointF(8, 8), 6.5, 6.5);
        QPainterPath hole;
        hole.addEllipse(QPointF(8, 8), 1.6, 1.6);
        painter.fillPath(record.subtracted(hole), open ? colour.lighter(120) : colour.darker(130));
        painter.setPen(QPen(open ? pale : colour.lighter(140), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(8, 8), 3.8, 3.8);
        if (open) {
            painter.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap));
            painter.drawArc(QRectF(3, 3, 10, 10), 110 * 16, 50 * 16);
        }
    };
    switch (index) {
    case 0:
        letterTab(blue, false);
        break;
    case 1:
        letterTab(blue.lighter(115), true);
        break;
    case 2:
        letterTab(QColor(110, 110, 120), false);
        break;
    case 3:
        person(orange, false);
        break;
    case 4:
        person(orange, true);
        break;
    case 5:
        disc(blue, false);
        break;
    case 6:
        disc(blue, true);
        break;
    case 7: {
        painter.setPen(Qt::NoPen);
        painter.setBrush(pale);
        painter.drawEllipse(QPointF(5.5, 12), 2.6, 2.1);
        painter.drawRect(QRectF(7.2, 2.5, 1.4, 9.5));
        QPainterPath flag;
        flag.moveTo(7.2, 2.5);
        flag.cubicTo(10, 3.5, 13, 5, 12, 8.5);
        flag.cubicTo(11.5, 6.5, 10, 6, 8.6, 5.8);
        flag.closeSubpath();
        painter.drawPath(flag);
        break;
    }
    case 8: {
        painter.setPen(QPen(green, 1.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(2, 3.5), QPointF(11, 3.5));
        painter.drawLine(QPointF(2, 7), QPointF(11, 7));
        painter.drawLine(QPointF(2, 10.5), QPointF(7, 10.5));
        painter.setPen(Qt::NoPen);
        painter.setBrush(green);
        painter.drawEllipse(QPointF(11, 13), 2.3, 1.9);
        painter.drawRect(QRectF(12.4, 6.5, 1.2, 6.5));
        break;
    }
    }
    return image;
}

// The tip dialog's picture is embossed over the dialog's colour, where 127 is
// the neutral level: a light bulb in dark lines with a light glint.
QImage TipPicture()
{
    constexpr int kTipNeutral = 127;
    QImage tip = GreyImage(kTipPicture, kTipNeutral);
    QPainter painter(&tip);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath bulb;
    bulb.moveTo(15, 27);
    bulb.cubicTo(15, 22, 8.5, 19.5, 8.5, 13.5);
    bulb.cubicTo(8.5, 7.5, 13.5, 3.5, 20, 3.5);
    bulb.cubicTo(26.5, 3.5, 31.5, 7.5, 31.5, 13.5);
    bulb.cubicTo(31.5, 19.5, 25, 22, 25, 27);
    bulb.closeSubpath();
    painter.fillPath(bulb, Grey(200));
    painter.setPen(QPen(Grey(30), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(bulb);
    painter.setPen(QPen(Grey(250), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(12, 7, 12, 12), 100 * 16, 70 * 16);
    painter.setPen(QPen(Grey(40), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(15.5, 30.5), QPointF(24.5, 30.5));
    painter.drawLine(QPointF(16, 34), QPointF(24, 34));
    painter.drawLine(QPointF(18, 37), QPointF(22, 37));
    painter.setPen(QPen(Grey(70), 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(18, 27), QPointF(18, 20));
    painter.drawLine(QPointF(22, 27), QPointF(22, 20));
    painter.drawPolyline(QPolygonF({ { 18, 20 }, { 19, 18 }, { 20, 20 }, { 21, 18 }, { 22, 20 } }));
    return tip;
}

} // namespace

std::vector<ArtPicture> BuildSkinArt()
{
    std::vector<ArtPicture> pictures;
    const auto add = [&](const char *control, const QString &piece, const QImage &image) {
        pictures.push_back({ PiecePath(control, piece), image });
    };
    for (const ButtonArt &art : kButtons) {
        add(art.name, QStringLiteral("SkinBitmap"), Button(art));
        if (std::find_if(kCompactButtons.begin(), kCompactButtons.end(),
                [&art](const char *name) { return qstrcmp(name, art.name) == 0; })
            != kCompactButtons.end())
            add(art.name, QStringLiteral("CompactSkinBitmap"), Button(art, true));
    }
    add(kControlsName, QStringLiteral("Skin"), Controls());
    for (const ScrollBarArt &art : kScrollBars) {
        const ScrollPieces pieces = ScrollBar(art);
        add(art.name, QStringLiteral("bmTopLeftButton"), pieces.first);
        add(art.name, QStringLiteral("bmBottomRightButton"), pieces.second);
        add(art.name, QStringLiteral("bmScroller"), pieces.thumb);
        add(art.name, QStringLiteral("bmBackground"), pieces.background);
    }
    for (const PanelArt &art : kPanels) {
        switch (art.style) {
        case PanelStyle::Bar:
            add(art.name, QStringLiteral("bmTopCenter"), Bar(art));
            break;
        case PanelStyle::Logo:
            add(art.name, QStringLiteral("bmTopLeft"), Logo(art));
            break;
        case PanelStyle::Screen:
        case PanelStyle::Card: {
            const int rim = art.style == PanelStyle::Screen ? kScreenRimLevel : kCardRimLevel;
            for (const auto &[piece, image] : NinePieces(FramedModel(art.level, rim, kScreenLevel), kPanelPiece))
                add(art.name, piece, image);
            break;
        }
        }
    }
    for (const SplitterArt &art : kSplitters) {
        add(art.name, QStringLiteral("bmTopLeft"), Grip(art.vertical));
        add(art.name, QStringLiteral("bmBottomRight"), Grip(art.vertical));
    }
    for (int index = 0; index < 9; ++index)
        pictures.push_back({ QStringLiteral("tree/%1.png").arg(index), TreeImage(index) });
    pictures.push_back({ QStringLiteral("tip.png"), TipPicture() });
    return pictures;
}
