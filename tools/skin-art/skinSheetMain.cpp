// Lays out the built-in skin for people to look at: a contact sheet of every
// picture, tinted with a few pairs of skin colours, and a rough main window
// composed from the pictures at 1280 x 720 and 1920 x 1080 for each pair.
//   vorlen-skin-sheet OUTPUT_FOLDER
// Writes skin-sheet.png and skin-mock-<pair>-<width>.png there.
#include "skinTint.h"
#include "ui/skinArt/builtInSkin.h"
#include "ui/skinArt/builtInSkinLayout.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

using namespace builtInSkin;

namespace {

struct ColourPair {
    const char *name;
    QColor button;
    QColor panel;
};

const ColourPair kPairs[] = {
    { "default", QColor(0xcc, 0xcc, 0xe0), QColor(0x44, 0x44, 0x60) },
    { "blue", QColor(60, 166, 230), QColor(30, 32, 40) },
    { "amber", QColor(255, 150, 70), QColor(38, 34, 36) },
    { "grey", QColor(128, 128, 128), QColor(128, 128, 128) },
};

const QColor kListBlue(60, 166, 230);
const QColor kCaptionOrange(255, 125, 70);

const char *const kPanelPieces[] = { "bmTopLeft", "bmTopCenter", "bmTopRight", "bmLeftCenter", "bmMiddle",
    "bmRightCenter", "bmBottomLeft", "bmBottomCenter", "bmBottomRight" };

// The skin's pictures of one control, tinted as the window tints them.
class Skin {
public:
    explicit Skin(const ColourPair &pair)
        : m_pair(pair)
    {
    }

    QImage Button(const char *name, bool check) const
    {
        return TintSkin(BuiltInSkinBitmap(name), check ? 5 : 3, m_pair.button, { 0xFFFFFF }, m_pair.panel);
    }
    QImage Controls() const
    {
        std::vector<QRgb> parts(kControlPartColours.begin(), kControlPartColours.end());
        return TintSkin(BuiltInSkinBitmap(kControlsName, u"Skin"), 4, m_pair.button, parts, m_pair.panel);
    }
    QImage ScrollButton(const char *name, QAnyStringView piece) const
    {
        return TintSkin(BuiltInSkinBitmap(name, piece), 3, m_pair.button, { 0xFFFFFF }, m_pair.panel);
    }
    QImage Panel(const char *name, QAnyStringView piece) const
    {
        return TintSkin(BuiltInSkinBitmap(name, piece), 1, m_pair.panel, {}, m_pair.panel);
    }
    QColor PanelColour() const { return m_pair.panel; }

private:
    ColourPair m_pair;
};

QImage Frame(const QImage &strip, int frames, int index)
{
    const int width = strip.width() / frames;
    return strip.copy(index * width, 0, width, strip.height());
}

// A panel's pieces drawn stretched: all nine, the top strip alone or the
// top-left picture alone.
void DrawPanel(QPainter &painter, const Skin &skin, const char *name, const QRect &rect)
{
    painter.fillRect(rect, skin.PanelColour());
    const QImage tl = skin.Panel(name, u"bmTopLeft");
    const QImage tc = skin.Panel(name, u"bmTopCenter");
    if (!tc.isNull() && tl.isNull()) {
        painter.drawImage(QRect(rect.left(), rect.top(), rect.width(), tc.height()), tc);
        return;
    }
    if (tc.isNull()) {
        painter.drawImage(rect.topLeft(), tl);
        return;
    }
    const QImage tr = skin.Panel(name, u"bmTopRight"), lc = skin.Panel(name, u"bmLeftCenter");
    const QImage m = skin.Panel(name, u"bmMiddle"), rc = skin.Panel(name, u"bmRightCenter");
    const QImage bl = skin.Panel(name, u"bmBottomLeft"), bc = skin.Panel(name, u"bmBottomCenter");
    const QImage br = skin.Panel(name, u"bmBottomRight");
    const int l = rect.left(), t = rect.top(), w = rect.width(), h = rect.height();
    painter.drawImage(QPoint(l, t), tl);
    painter.drawImage(QRect(l + tl.width(), t, w - tl.width() - tr.width(), tc.height()), tc);
    painter.drawImage(QPoint(l + w - tr.width(), t), tr);
    const int y0 = t + tr.height();
    painter.drawImage(QRect(l, y0, lc.width(), h - tr.height() - bl.height()), lc);
    painter.drawImage(QRect(l + lc.width(), y0, w - lc.width() - rc.width(), h - tr.height() - bl.height()), m);
    painter.drawImage(QRect(l + w - rc.width(), y0, rc.width(), h - tr.height() - br.height()), rc);
    const int y1 = t + h - br.height();
    painter.drawImage(QPoint(l, y1), bl);
    painter.drawImage(QRect(l + bl.width(), y1, w - bl.width() - br.width(), bc.height()), bc);
    painter.drawImage(QPoint(l + w - br.width(), y1), br);
}

void DrawScrollBar(QPainter &painter, const Skin &skin, const char *name, const QRect &rect, double position)
{
    const QImage back = skin.Panel(name, u"bmBackground");
    for (int y = rect.top(); y < rect.bottom() + 1; y += back.height())
        for (int x = rect.left(); x < rect.right() + 1; x += back.width())
            painter.drawImage(QPoint(x, y), back,
                QRect(0, 0, std::min(back.width(), rect.right() + 1 - x),
                    std::min(back.height(), rect.bottom() + 1 - y)));
    const QImage first = Frame(skin.ScrollButton(name, u"bmTopLeftButton"), 3, 0);
    const QImage second = Frame(skin.ScrollButton(name, u"bmBottomRightButton"), 3, 0);
    const QImage thumb = Frame(skin.ScrollButton(name, u"bmScroller"), 3, 0);
    painter.drawImage(rect.topLeft(), first);
    const bool vertical = rect.height() > rect.width();
    if (vertical) {
        painter.drawImage(QPoint(rect.left(), rect.bottom() + 1 - second.height()), second);
        const int track = rect.height() - first.height() - second.height() - thumb.height();
        painter.drawImage(QPoint(rect.left(), rect.top() + first.height() + int(track * position)), thumb);
    } else {
        painter.drawImage(QPoint(rect.right() + 1 - second.width(), rect.top()), second);
        const int track = rect.width() - first.width() - second.width() - thumb.width();
        painter.drawImage(QPoint(rect.left() + first.width() + int(track * position), rect.top()), thumb);
    }
}

void DrawText(QPainter &painter, const QRect &rect, const QString &text, const QColor &colour, int pixels, bool bold,
    int flags = Qt::AlignLeft | Qt::AlignVCenter)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(rect, flags, text);
}

void DrawButton(QPainter &painter, const Skin &skin, const char *name, bool check, QPoint at, int frame = 0)
{
    painter.drawImage(at, Frame(skin.Button(name, check), check ? 5 : 3, frame));
}

void DrawList(QPainter &painter, const QRect &rect, const QStringList &rows, int image, bool bold, int selected)
{
    const QImage icon = BuiltInTreeImage(image);
    const int rowHeight = 24;
    for (int i = 0; i < rows.size() && (i + 1) * rowHeight <= rect.height(); ++i) {
        const QRect row(rect.left(), rect.top() + i * rowHeight, rect.width(), rowHeight);
        if (i == selected)
            painter.fillRect(row, QColor(38, 70, 110));
        painter.drawImage(QPoint(row.left() + 4, row.top() + 4), icon);
        DrawText(painter, row.adjusted(26, 0, 0, 0), rows[i], i == selected ? Qt::white : kListBlue, 16, bold);
    }
}

void DrawTree(QPainter &painter, const QRect &rect)
{
    struct Node {
        int level;
        int image;
        const char *text;
        const char *note;
    };
    const Node nodes[] = {
        { 0, 1, "<A>", "  (3 artists)" },
        { 1, 4, "Air", "  (2 albums, 21 tracks)" },
        { 2, 6, "Moon Safari", "  (10 tracks  [43:46])" },
        { 2, 5, "Talkie Walkie", "  (11 tracks  [44:21])" },
        { 1, 3, "Aphex Twin", "  (1 album, 13 tracks)" },
        { 1, 3, "Autechre", "  (1 album, 9 tracks)" },
        { 0, 0, "<B>", "  (5 artists)" },
        { 0, 0, "<C>", "  (2 artists)" },
        { 0, 2, "<D>", "" },
        { 0, 0, "<E>", "  (4 artists)" },
        { 0, 0, "<M>", "  (6 artists)" },
        { 0, 0, "<other>", "  (1 artist)" },
        { 0, 0, "<Compilations>", "  (3 albums)" },
    };
    const int rowHeight = 24;
    int y = rect.top();
    for (const Node &node : nodes) {
        if (y + rowHeight > rect.bottom())
            break;
        const int x = rect.left() + 4 + node.level * 19;
        painter.drawImage(QPoint(x + 4, y + 4), BuiltInTreeImage(node.image));
        const bool selected = node.image == 6;
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(18);
        const int width = QFontMetrics(font).horizontalAdvance(QLatin1String(node.text));
        const QRect text(x + 23, y, width + 4, rowHeight);
        if (selected)
            painter.fillRect(text, QColor(38, 70, 110));
        DrawText(painter, text, QLatin1String(node.text), selected ? Qt::white : kListBlue, 18, false);
        DrawText(painter, QRect(text.right() + 1, y + 3, 300, rowHeight - 3), QLatin1String(node.note),
            QColor(224, 224, 224), 11, true);
        y += rowHeight;
    }
}

QImage Mock(const ColourPair &pair, QSize size)
{
    const Skin skin(pair);
    QImage mock(size, QImage::Format_RGB32);
    mock.fill(pair.panel);
    QPainter painter(&mock);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int w = size.width(), h = size.height();

    // Title bar.
    DrawPanel(painter, skin, "pnlTop", QRect(0, 0, w, kTopBarHeight));
    DrawPanel(painter, skin, "pnlLogo", QRect(0, 0, kLogo.width(), kLogo.height()));
    painter.fillRect(QRect(kLogo.width() + 8, 8, 61, 17), Qt::black);
    DrawText(
        painter, QRect(kLogo.width() + 8, 8, 61, 17), QStringLiteral("10:42p"), kListBlue, 13, true, Qt::AlignCenter);
    const char *windowButtons[] = { "btnMenu", "btnHelp", "btnMinimize", "btnMaximize", "btnClose" };
    int x = w - 5 * (kWindowButton.width() + 2) - 4;
    for (const char *name : windowButtons) {
        DrawButton(painter, skin, name, QByteArray(name) == "btnMaximize",
            QPoint(x, (kTopBarHeight - kWindowButton.height()) / 2));
        x += kWindowButton.width() + 2;
    }
    // Menu bar.
    int y = kTopBarHeight;
    const char *menus[] = { "File", "Settings", "Play Control", "Tracks", "Queue", "Playlists", "Stacker", "Vis Window",
        "View", "Help" };
    x = 8;
    for (const char *menu : menus) {
        DrawText(painter, QRect(x, y, 200, 24), QLatin1String(menu), Qt::white, 13, false);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(13);
        x += QFontMetrics(font).horizontalAdvance(QLatin1String(menu)) + 18;
    }
    y += 24;
    // Song title.
    DrawPanel(painter, skin, "pnlSongTitle", QRect(4, y, w - 8, 40));
    DrawText(painter, QRect(14, y, w - 28, 40), QStringLiteral("Air - La femme d'argent"), kListBlue, 19, true);
    y += 44;
    // Display.
    DrawPanel(painter, skin, "pnlDisplay", QRect(0, y, w, kDisplayHeight));
    DrawScrollBar(painter, skin, "sbVolume", QRect(8, y + 6, kVolumeBar.thickness, kDisplayHeight - 12), 0.3);
    painter.drawImage(QPoint(36, y + (kDisplayHeight - kControls.height()) / 2), Frame(skin.Controls(), 4, 0));
    {
        // The playing state checks the first part; show it with the overlay rule.
        const QImage controls = skin.Controls();
        const QImage checked = Frame(controls, 4, 2);
        const QImage map = Frame(controls, 4, 3);
        QImage shown = Frame(controls, 4, 0);
        for (int py = 0; py < shown.height(); ++py)
            for (int px = 0; px < shown.width(); ++px)
                if ((map.pixel(px, py) & 0xFFFFFF) == kControlPartColours[0])
                    shown.setPixel(px, py, checked.pixel(px, py));
        painter.drawImage(QPoint(36, y + (kDisplayHeight - kControls.height()) / 2), shown);
    }
    const int infoLeft = 36 + kControls.width() + 12;
    const int visWidth = w / 4;
    const QRect info(infoLeft, y + 6, w - infoLeft - visWidth - 14, kDisplayHeight - 12);
    DrawPanel(painter, skin, "pnlMainDisplay", info);
    const char *captions[] = { "Track :", "Artist :", "Album :", "Mode :" };
    const char *values[] = { "La femme d'argent", "Air", "Moon Safari", "Joint Stereo  192kbps  44.1kHz  MP3" };
    for (int i = 0; i < 4; ++i) {
        DrawText(painter, QRect(info.left() + 12, info.top() + 6 + i * 19, 60, 18), QLatin1String(captions[i]),
            kCaptionOrange, 13, false);
        DrawText(painter, QRect(info.left() + 70, info.top() + 6 + i * 19, 400, 18), QLatin1String(values[i]),
            i == 3 ? QColor(0, 255, 0) : kListBlue, 13, i != 3);
    }
    DrawText(painter, QRect(info.right() - 190, info.top(), 180, info.height() - 20), QStringLiteral("  3:07"),
        kListBlue, 35, true, Qt::AlignRight | Qt::AlignVCenter);
    DrawScrollBar(painter, skin, "sbSongPosition",
        QRect(info.right() - 190, info.bottom() - 20, 180, kPositionBar.thickness), 0.42);
    const QRect vis(w - visWidth - 8, y + 6, visWidth, kDisplayHeight - 12);
    DrawPanel(painter, skin, "pnlVis", vis);
    for (int i = 0; i < 40; ++i) {
        const int bar = int((std::sin(i * 0.45) * 0.5 + 0.5) * (vis.height() - 16) * (1.0 - i / 60.0)) + 4;
        painter.fillRect(QRect(vis.left() + 8 + i * (vis.width() - 16) / 40, vis.bottom() - 6 - bar,
                             (vis.width() - 16) / 40 - 1, bar),
            QColor(60, 166, 230));
    }
    y += kDisplayHeight;
    // Stacker.
    DrawPanel(painter, skin, "pnlStacker", QRect(0, y, w, kStackerBarHeight));
    const int by = y + (kStackerBarHeight - kStackerButton.height()) / 2;
    DrawButton(painter, skin, "btnStackerPower", true, QPoint(8, by), 2);
    DrawButton(painter, skin, "btnStackerConfig", false, QPoint(8 + kStackerButton.width() + 4, by));
    DrawText(
        painter, QRect(80, y, 600, kStackerBarHeight), QStringLiteral("Stacker:  Moon Safari"), kListBlue, 13, true);
    DrawText(painter, QRect(w - 360, y, 360, kStackerBarHeight), QStringLiteral("Albums : 4     Playtime : 3:12:40"),
        kCaptionOrange, 13, false);
    y += kStackerBarHeight;
    // Lists.
    const int queueHeight = 150 + 6;
    const int listsBottom = h - queueHeight - 6;
    const int songWidth = w * 2 / 5;
    const int treeRight = w - songWidth - 6;
    DrawPanel(painter, skin, "pnlTreeButtons", QRect(0, y, treeRight, kBarHeight));
    DrawText(painter, QRect(8, y, 120, kBarHeight), QStringLiteral("Artist List  "), kListBlue, 16, true);
    x = 120;
    for (const char *name : { "btnShowTitlesAll", "btnPlayCD", "btnSongSearch" }) {
        DrawButton(painter, skin, name, false, QPoint(x, y + 3));
        x += kBarButton.width() + 4;
    }
    DrawPanel(painter, skin, "pnlSongButtons", QRect(treeRight + 6, y, songWidth, kBarHeight));
    DrawText(painter, QRect(treeRight + 14, y, 120, kBarHeight), QStringLiteral("Track List  "), kListBlue, 16, true);
    DrawButton(painter, skin, "btnAddAll", false, QPoint(treeRight + 120, y + 3));
    DrawButton(painter, skin, "btnAddSelected", false, QPoint(treeRight + 124 + kBarButton.width(), y + 3));
    // The vertical splitter and its grips.
    const QRect split(treeRight, y, 6, listsBottom - y);
    painter.fillRect(split, pair.panel);
    const QImage grip = skin.Panel("spltSongLists", u"bmTopLeft");
    painter.drawImage(split.topLeft(), grip);
    painter.drawImage(
        QPoint(split.left(), split.bottom() + 1 - grip.height()), skin.Panel("spltSongLists", u"bmBottomRight"));
    y += kBarHeight;
    const QRect treeCard(0, y, treeRight, listsBottom - y);
    DrawPanel(painter, skin, "pnlTree", treeCard.adjusted(4, 0, -2, 0));
    DrawTree(painter, treeCard.adjusted(6, 4, -22, -4));
    DrawScrollBar(painter, skin, "sbTreeView",
        QRect(treeCard.right() - 3 - kListBar.thickness, treeCard.top() + 3, kListBar.thickness, treeCard.height() - 6),
        0.1);
    const QRect songCard(treeRight + 6, y, songWidth, listsBottom - y);
    DrawPanel(painter, skin, "pnlSongs", songCard.adjusted(2, 0, -4, 0));
    DrawList(painter, songCard.adjusted(6, 4, -24, -4),
        { "La femme d'argent", "Sexy boy", "All I need", "Kelly watch the stars", "Talisman", "Remember",
            "You make it easy", "Ce matin la", "New star in the sky", "Le voyage de Penelope" },
        7, false, 1);
    DrawScrollBar(painter, skin, "sbSongList",
        QRect(songCard.right() - 5 - kListBar.thickness, songCard.top() + 3, kListBar.thickness, songCard.height() - 6),
        0.0);
    // The horizontal splitter.
    const QRect hsplit(0, listsBottom, w, 6);
    const QImage hgrip = skin.Panel("spltQueue", u"bmTopLeft");
    painter.drawImage(QPoint(w / 2 - hgrip.width() / 2, listsBottom), hgrip);
    Q_UNUSED(hsplit);
    // Queue.
    y = listsBottom + 6;
    const int detailsWidth = 200;
    const int controlsWidth = kQueueButton.width() + 8;
    const QRect queueCard(4, y, w - detailsWidth - controlsWidth - 16, h - y - 4);
    DrawPanel(painter, skin, "pnlQueue", queueCard);
    DrawList(painter, queueCard.adjusted(2, 4, -20, -4),
        { "Air - Sexy boy", "Aphex Twin - Xtal", "Boards of Canada - Roygbiv", "Moby - Porcelain",
            "Portishead - Roads" },
        7, true, -1);
    DrawScrollBar(painter, skin, "sbQueue",
        QRect(queueCard.right() - 2 - kListBar.thickness, queueCard.top() + 3, kListBar.thickness,
            queueCard.height() - 6),
        0.0);
    x = queueCard.right() + 5;
    int qy = y + 4;
    for (const char *name :
        { "btnQueueMoveUp", "btnQueueMoveDown", "btnQueueMoveTo", "btnQueueDelete", "btnQueueClear" }) {
        DrawButton(painter, skin, name, false, QPoint(x, qy));
        qy += kQueueButton.height() + 6;
    }
    const QRect details(w - detailsWidth - 4, y, detailsWidth, h - y - 4);
    painter.drawImage(QPoint(details.left() - 6, y + 10), skin.Panel("spltQueueDetails", u"bmTopLeft"));
    DrawPanel(painter, skin, "pnlQueueDetails", details);
    const char *lines[] = { "Queue Details", "Track Count :  5", "Duration :  0:22:41", "Global List Details",
        "Track Count :  1,204", "Duration :  82:10:05" };
    for (int i = 0; i < 6; ++i)
        DrawText(painter, QRect(details.left() + 10, details.top() + 8 + i * 18, detailsWidth - 20, 18),
            QLatin1String(lines[i]), i % 3 == 0 ? kCaptionOrange : kListBlue, 12, i % 3 == 0);
    return mock;
}

QImage Sheet()
{
    QImage sheet(1790, 1500, QImage::Format_RGB32);
    sheet.fill(QColor(22, 22, 22));
    QPainter painter(&sheet);
    int columnLeft = 10;
    for (const ColourPair &pair : kPairs) {
        const Skin skin(pair);
        int x = columnLeft, y = 10;
        DrawText(painter, QRect(x, y, 400, 16), QLatin1String(pair.name), Qt::white, 13, true);
        y += 20;
        int rowHeight = 0;
        const auto newRow = [&] {
            x = columnLeft;
            y += rowHeight + 6;
            rowHeight = 0;
        };
        const auto place = [&](const QImage &image, int scale = 1) {
            const QSize size = image.size() * scale;
            if (x + size.width() > columnLeft + 410)
                newRow();
            painter.fillRect(QRect(QPoint(x, y), size).adjusted(-1, -1, 1, 1), pair.panel);
            painter.drawImage(QRect(QPoint(x, y), size), image);
            x += size.width() + 6;
            rowHeight = std::max(rowHeight, size.height());
        };
        for (const ButtonArt &art : kButtons) {
            place(skin.Button(art.name, art.check));
            newRow();
        }
        place(skin.Controls());
        newRow();
        for (const ScrollBarArt &art : kScrollBars) {
            for (const char16_t *piece : { u"bmTopLeftButton", u"bmBottomRightButton", u"bmScroller" })
                place(skin.ScrollButton(art.name, piece), 2);
            place(skin.Panel(art.name, u"bmBackground"), 2);
            newRow();
        }
        for (const PanelArt &art : kPanels) {
            for (const char *piece : kPanelPieces) {
                const QImage image = skin.Panel(art.name, piece);
                if (!image.isNull())
                    place(image, image.height() > 40 ? 1 : 2);
            }
            newRow();
        }
        for (const SplitterArt &art : kSplitters) {
            place(skin.Panel(art.name, u"bmTopLeft"), 2);
            place(skin.Panel(art.name, u"bmBottomRight"), 2);
        }
        newRow();
        for (int i = 0; i < 9; ++i)
            place(BuiltInTreeImage(i), 2);
        newRow();
        columnLeft += 420;
    }
    // The tip picture embossed over the tip colour, 127 neutral.
    const QImage tip = BuiltInTipPicture();
    QImage embossed(tip.size(), QImage::Format_RGB32);
    const QColor back(255, 255, 225);
    for (int py = 0; py < tip.height(); ++py) {
        for (int px = 0; px < tip.width(); ++px) {
            const int g = qRed(tip.pixel(px, py));
            const auto shade = [g](int c) {
                if (g == 127)
                    return c;
                if (g < 127)
                    return c - int(std::lrint(c * (127 - g) / 127.0));
                return std::clamp(c + int(std::lrint((255 - c) * (g - 127) / 128.0)), 0, 255);
            };
            embossed.setPixel(px, py, qRgb(shade(back.red()), shade(back.green()), shade(back.blue())));
        }
    }
    painter.drawImage(QRect(columnLeft, 30, 80, 80), embossed);
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlen-skin-sheet OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    bool written = Sheet().save(output.filePath(QStringLiteral("skin-sheet.png")));
    for (const ColourPair &pair : kPairs) {
        for (const QSize size : { QSize(1280, 720), QSize(1920, 1080) }) {
            const QString name = QStringLiteral("skin-mock-%1-%2.png").arg(QLatin1String(pair.name)).arg(size.width());
            written = Mock(pair, size).save(output.filePath(name)) && written;
        }
    }
    if (!written) {
        std::fprintf(stderr, "vorlen-skin-sheet: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
