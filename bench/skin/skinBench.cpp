// The skinned controls' costs on a full-HD window:
//  - ApplySkinColors over a window of 60 skinned controls laid out as the
//    jukebox window lays them out (target < 30 ms);
//  - one paint of a 1920 x 1080 panel composed of nine tiled pieces (target
//    < 2 ms);
//  - heap allocations of steady-state button paints (target: none), counted
//    by a replaced global operator new and, because Qt's containers and
//    pictures allocate with malloc, by the C allocator's entry points too.
//   bench-skin
#include "allocationCount.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/controls/vorlenSkinForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>


namespace {

// Grey skin art: every pixel a grey level, so tinting has the most to do.
QImage GreyArt(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int level = (x * 7 + y * 13 + seed * 31) % 256;
            image.setPixel(x, y, qRgb(level, level, level));
        }
    }
    return image;
}

// A button strip whose mask frame has a white ellipse as the face.
QImage GreyStrip(int frames, int frameWidth, int height, int seed)
{
    QImage strip = GreyArt(frames * frameWidth, height, seed);
    QPainter painter(&strip);
    const QRect mask((frames - 1) * frameWidth, 0, frameWidth, height);
    painter.fillRect(mask, Qt::black);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(mask.adjusted(1, 1, -1, -1));
    return strip;
}

struct TpieceSizes {
    int corner;
    int edge;
    int middle;
};

void SkinPanel(TvorlenPanel &panel, const TpieceSizes &sizes, int seed)
{
    const int c = sizes.corner;
    const int e = sizes.edge;
    const int m = sizes.middle;
    const QSize pieceSizes[kPanelPieceCount]
        = { { c, c }, { c, c }, { c, c }, { c, c }, { e, c }, { e, c }, { c, e }, { c, e }, { m, m } };
    for (int piece = 0; piece < kPanelPieceCount; ++piece)
        panel.SetPiece(
            TpanelPiece(piece), GreyArt(pieceSizes[piece].width(), pieceSizes[piece].height(), seed + piece));
}

class TbenchForm : public TvorlenSkinForm {
public:
    void LoadSkinStyle(const QString &) override { }
    void SaveSkinStyle(const QString &) override { }
    void SaveSkinControls(const QString &) override { }
    void LoadSkinControls(const QString &) override { }
};

// The jukebox window's skinned controls at full HD: 21 panels, 31 buttons,
// 5 scroll bars, 3 splitters and the play controls.
class TwindowSkin {
public:
    explicit TwindowSkin(TbenchForm &form)
        : m_form(form)
    {
        form.resize(1920, 1080);
        TvorlenPanel *top = Panel(&form, alTop, 40);
        Panel(top, alLeft, 300);
        Buttons(top, 6, 32, 1);
        TvorlenPanel *menu = Panel(&form, alTop, 28);
        Buttons(menu, 7, 24, 0);
        Panel(&form, alTop, 32);
        TvorlenPanel *display = Panel(&form, alTop, 130);
        Bar(display, alLeft, vsbVertical);
        auto *controls = new TvorlenMultiButton(display);
        controls->move(30, 10);
        m_multi.push_back(controls);
        TvorlenPanel *mainDisplay = Panel(display, alClient, 0);
        Bar(mainDisplay, alBottom, vsbHorizontal);
        Panel(display, alRight, 400);
        TvorlenPanel *stacker = Panel(&form, alTop, 60);
        Panel(stacker, alLeft, 500);
        Buttons(stacker, 2, 28, 1);
        TvorlenPanel *queue = Panel(&form, alBottom, 220);
        Bar(queue, alLeft, vsbVertical);
        TvorlenPanel *queueControls = Panel(queue, alLeft, 40);
        Buttons(queueControls, 6, 32, 0);
        Splitter(queue, alRight);
        Panel(queue, alRight, 300);
        Panel(queue, alClient, 0);
        Splitter(&form, alBottom);
        TvorlenPanel *lists = Panel(&form, alClient, 0);
        TvorlenPanel *tree = Panel(lists, alLeft, 900);
        TvorlenPanel *treeButtons = Panel(tree, alTop, 32);
        Buttons(treeButtons, 4, 28, 0);
        Bar(tree, alRight, vsbVertical);
        Panel(tree, alClient, 0);
        Splitter(lists, alLeft);
        TvorlenPanel *songs = Panel(lists, alClient, 0);
        TvorlenPanel *songButtons = Panel(songs, alTop, 32);
        Buttons(songButtons, 6, 28, 0);
        Bar(songs, alRight, vsbVertical);
        Panel(songs, alClient, 0);
    }

    int Count() const
    {
        return int(m_panels.size() + m_buttons.size() + m_bars.size() + m_splitters.size() + m_multi.size());
    }

    // Gives every control its grey art again, as the window's built-in skin
    // is restored before new colours are applied.
    void RestoreGreyArt()
    {
        int seed = 0;
        for (TvorlenPanel *panel : m_panels)
            SkinPanel(*panel, { 16, 64, 64 }, ++seed);
        for (TvorlenButton *button : m_buttons)
            button->SetSkinBitmap(GreyStrip(button->FrameCount(), button->width(), button->height(), ++seed));
        for (TvorlenScrollBar *bar : m_bars) {
            bar->SetUpButtonSkin(GreyStrip(3, 20, 20, ++seed));
            bar->SetDownButtonSkin(GreyStrip(3, 20, 20, ++seed));
            bar->SetScrollButtonSkin(GreyStrip(3, 20, 40, ++seed));
            bar->SetBackBitmap(GreyArt(20, 20, ++seed));
        }
        for (TtransparentSplitter *splitter : m_splitters) {
            splitter->SetTopLeftBitmap(GreyArt(4, 30, ++seed));
            splitter->SetBottomRightBitmap(GreyArt(4, 30, ++seed));
            splitter->SetColor(QColor(128, 128, 128));
        }
        for (TvorlenMultiButton *multi : m_multi) {
            QImage strip = GreyArt(4 * 200, 100, ++seed);
            QPainter painter(&strip);
            painter.fillRect(600, 0, 100, 50, QColor(255, 0, 255));
            painter.fillRect(700, 0, 100, 50, QColor(0, 0, 255));
            painter.fillRect(600, 50, 100, 50, QColor(0, 255, 0));
            painter.fillRect(700, 50, 100, 50, QColor(255, 0, 0));
            painter.end();
            multi->SetSkinBitmap(strip);
            multi->resize(200, 100);
        }
    }

private:
    TvorlenPanel *Panel(QWidget *parent, TAlign align, int size)
    {
        auto *panel = new TvorlenPanel(parent);
        panel->SetIsSkinned(true);
        panel->SetBevelOuter(bvNone);
        if (align == alTop || align == alBottom)
            panel->resize(100, size);
        else
            panel->resize(size, 100);
        SetControlAlign(panel, align);
        m_panels.push_back(panel);
        return panel;
    }

    void Buttons(QWidget *parent, int count, int size, int checkButtons)
    {
        for (int i = 0; i < count; ++i) {
            auto *button = new TvorlenButton(parent);
            button->SetIsCheckButton(i < checkButtons);
            button->SetIsSkinned(true);
            button->setGeometry(4 + i * (size + 4), 4, size, size);
            m_buttons.push_back(button);
        }
    }

    void Bar(QWidget *parent, TAlign align, TvsbStyle style)
    {
        auto *bar = new TvorlenScrollBar(parent);
        bar->SetStyle(style);
        SetControlAlign(bar, align);
        m_bars.push_back(bar);
    }

    void Splitter(QWidget *parent, TAlign align)
    {
        auto *splitter = new TtransparentSplitter(parent);
        splitter->resize(4, 4);
        SetControlAlign(splitter, align);
        m_splitters.push_back(splitter);
    }

    TbenchForm &m_form;
    std::vector<TvorlenPanel *> m_panels;
    std::vector<TvorlenButton *> m_buttons;
    std::vector<TvorlenScrollBar *> m_bars;
    std::vector<TtransparentSplitter *> m_splitters;
    std::vector<TvorlenMultiButton *> m_multi;
};

struct Tfigures {
    double best;
    double median;
};

template <typename Work, typename Prepare> Tfigures Measure(int runs, Prepare prepare, Work work)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return { times.front(), times[times.size() / 2] };
}

void BenchApplySkinColors()
{
    TbenchForm form;
    TwindowSkin skin(form);
    form.show();
    QApplication::processEvents();
    const Tfigures figures = Measure(
        15,
        [&] {
            skin.RestoreGreyArt();
            QApplication::processEvents();
        },
        [&] { form.ApplySkinColors(QColor(250, 238, 255), QColor(60, 60, 90), false); });
    std::printf("ApplySkinColors, %d skinned controls on a 1920 x 1080 window, painted at once:\n", skin.Count());
    std::printf("  best %7.2f ms, median %7.2f ms  (target < 30 ms)\n", figures.best, figures.median);
}

void BenchPanelPaint(const TpieceSizes &sizes, const char *what)
{
    TvorlenPanel panel;
    panel.resize(1920, 1080);
    panel.SetIsSkinned(true);
    panel.SetStretchDraw(false);
    SkinPanel(panel, sizes, 1);
    QImage surface(1920, 1080, QImage::Format_RGB32);
    const int paints = 200;
    const Tfigures direct = Measure(
        5, [] {},
        [&] {
            for (int i = 0; i < paints; ++i) {
                QPainter painter(&surface);
                panel.Paint(painter);
            }
        });
    panel.show();
    QApplication::processEvents();
    const Tfigures shown = Measure(
        5, [] {},
        [&] {
            for (int i = 0; i < paints; ++i)
                panel.repaint();
        });
    std::printf("Paint of a 1920 x 1080 panel of nine tiled pieces (%s):\n", what);
    std::printf("  into a 32-bit surface: best %6.3f ms, median %6.3f ms per paint  (target < 2 ms)\n",
        direct.best / paints, direct.median / paints);
    std::printf("  repaint() of the shown window: best %6.3f ms, median %6.3f ms per paint\n", shown.best / paints,
        shown.median / paints);
}

void BenchButtonAllocations()
{
    QWidget host;
    host.resize(300, 100);
    auto *skinned = new TvorlenButton(&host);
    skinned->resize(40, 28);
    skinned->SetSkinBitmap(GreyStrip(3, 40, 28, 1));
    skinned->SetIsSkinned(true);
    auto *check = new TvorlenButton(&host);
    check->setGeometry(50, 0, 40, 28);
    check->SetIsCheckButton(true);
    check->SetSkinBitmap(GreyStrip(5, 30, 20, 2));
    check->SetIsSkinned(true);
    check->SetChecked(true);
    auto *plain = new TvorlenButton(&host);
    plain->setGeometry(100, 0, 120, 28);
    plain->SetCaption(QStringLiteral("Add All"));
    plain->SetGlyphs(GreyArt(32, 16, 3));
    plain->SetIsCheckButton(true);
    plain->SetGlyphPos(gpCenterLeft);
    const std::vector<TvorlenButton *> buttons { skinned, check, plain };

    // One surface and painter per button, as the window gives each its own.
    std::vector<QImage> surfaces;
    for (TvorlenButton *button : buttons)
        surfaces.emplace_back(button->size(), QImage::Format_RGB32);
    std::vector<std::unique_ptr<QPainter>> painters;
    for (QImage &surface : surfaces)
        painters.push_back(std::make_unique<QPainter>(&surface));
    const auto paintAll = [&] {
        for (std::size_t i = 0; i < buttons.size(); ++i)
            buttons[i]->Paint(*painters[i]);
    };
    for (int i = 0; i < 3; ++i)
        paintAll();
    const int rounds = 1000;
    const TallocationCount paints = CountAllocations([&] {
        for (int i = 0; i < rounds; ++i)
            paintAll();
    });
    painters.clear();

    host.show();
    QApplication::processEvents();
    for (int i = 0; i < 3; ++i)
        skinned->repaint();
    const TallocationCount repaints = CountAllocations([&] {
        for (int i = 0; i < rounds; ++i)
            skinned->repaint();
    });
    std::printf("Heap allocations of steady-state button paints (skinned, checked skinned, caption and glyph):\n");
    std::printf("  %d paints of each: %ld by operator new, %ld by malloc/calloc/realloc  (target 0)\n", rounds,
        paints.news, paints.mallocs);
    std::printf("  for comparison, Qt's own repaint() machinery around a skinned button: %.1f by operator new, "
                "%.1f by malloc per repaint\n",
        double(repaints.news) / rounds, double(repaints.mallocs) / rounds);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchApplySkinColors();
    BenchPanelPaint({ 16, 64, 64 }, "16-pixel corners, 64-pixel edges and middle");
    BenchPanelPaint({ 8, 8, 8 }, "8 x 8 pieces");
    BenchButtonAllocations();
    return 0;
}
