// Repaints of the display widgets in their steady state: the clock showing
// the minute, the counter showing the playing time and the banner scrolling.
// Counts the heap allocations the GUI thread makes while painting (through a
// replaced global operator new) and times the paints. An opaque widget that
// only fills its area is the yardstick: what Qt's repaint itself allocates
// (the dirty region, the painter and its state, the flush), which every
// widget pays; a widget's own painting adds what it allocates beyond that.
// The texts change outside the counted paints (building a text is not
// painting it), and the paints show texts shown before.
//   bench-widgets [PAINTS]
#include "playback/threadedTimer.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/scrollBanner2.h"

#include "allocationCount.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>

void operator delete(void *memory, std::align_val_t) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, std::align_val_t) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t, std::align_val_t) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, std::size_t, std::align_val_t) noexcept
{
    std::free(memory);
}

namespace {

class TemptyWidget : public QWidget {
public:
    TemptyWidget() { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
    }
};

QFont DisplayFont(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

struct Figures {
    long allocations = 0;
    double microseconds = 0;
};

// Runs change (not counted) and then paint (counted and timed) paints times.
Figures Measure(int paints, const std::function<void(int)> &change, const std::function<void()> &paint)
{
    Figures figures;
    QElapsedTimer clock;
    qint64 nanoseconds = 0;
    for (int i = 0; i < paints; ++i) {
        change(i);
        clock.start();
        figures.allocations += CountAllocations(paint).total();
        nanoseconds += clock.nsecsElapsed();
    }
    figures.microseconds = nanoseconds / 1000.0 / paints;
    return figures;
}

// Runs change without the paint it would do at once, leaving the widget to be
// painted by the next repaint.
void Quietly(QWidget &widget, const std::function<void()> &change)
{
    widget.setUpdatesEnabled(false);
    change();
    widget.setUpdatesEnabled(true);
}

void Print(const char *name, int paints, const Figures &figures)
{
    std::printf("%-34s %8ld allocations in %d paints (%.3f per paint), %8.1f us per paint\n", name, figures.allocations,
        paints, double(figures.allocations) / paints, figures.microseconds);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int paints = argc > 1 ? std::atoi(argv[1]) : 2000;
    const QColor ink(60, 166, 230);

    TemptyWidget empty;
    empty.resize(170, 45);

    TdigitalClock2 clock;
    clock.Timer().SetEnabled(false);
    clock.setFont(DisplayFont(13));
    clock.SetFontColor(ink);
    clock.resize(61, 17);

    TdigitalDisplay counter;
    counter.setFont(DisplayFont(35));
    counter.SetFontColor(ink);
    counter.resize(170, 45);

    TScrollBanner2 banner;
    banner.setFont(DisplayFont(19));
    banner.SetFontColor(ink);
    banner.SetColor_Off(Qt::black);
    banner.SetColor_Background(Qt::black);
    banner.SetScrollInc(15);
    banner.resize(601, 30);
    banner.SetText(QStringLiteral("Massive Attack - Teardrop (Mad Professor remix)"));

    for (QWidget *widget : std::initializer_list<QWidget *> { &empty, &clock, &counter, &banner })
        widget->show();
    QApplication::processEvents();

    // Every minute of a day and every count of an hour, once, before counting:
    // the steady state is a display that has shown its characters before.
    const auto minuteOf = [](int i) { return QTime(0, 0).addSecs(60 * (i % 1440)); };
    for (int i = 0; i < 1440; ++i)
        clock.Tick(minuteOf(i));
    for (int i = -3600; i <= 3600; i += 7)
        counter.SetSeconds(i);
    for (int i = 0; i < 200; ++i)
        banner.Step();

    std::printf("bench-widgets: %d repaints each, GUI-thread allocations during the paint\n", paints);
    Print("empty widget (painter, one fill)", paints,
        Measure(
            paints, [](int) {}, [&] { empty.repaint(); }));
    Print("clock, same minute", paints,
        Measure(
            paints, [](int) {}, [&] { clock.repaint(); }));
    Print("clock, a new minute each paint", paints,
        Measure(
            paints, [&](int i) { Quietly(clock, [&] { clock.Tick(minuteOf(i)); }); }, [&] { clock.repaint(); }));
    Print("counter, same count", paints,
        Measure(
            paints, [](int) {}, [&] { counter.repaint(); }));
    Print("counter, a new count each paint", paints,
        Measure(
            paints, [&](int i) { Quietly(counter, [&] { counter.SetSeconds(i % 4000 - 2000); }); },
            [&] { counter.repaint(); }));
    Print("banner, one scroll step per paint", paints,
        Measure(
            paints, [](int) {}, [&] { banner.Step(); }));
    return 0;
}
