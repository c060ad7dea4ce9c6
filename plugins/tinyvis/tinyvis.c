/*
 * Vorlen's own visualisation plug-in: a spectrum analyser with falling peaks
 * and a stereo waveform scope, both drawn straight into the host's pixel
 * surface. The modules keep no settings, so the settings folder goes unused
 * and configuring does nothing.
 */
#include "tinyvis.h"

#include <math.h>
#include <string.h>

#define BACKGROUND 0xFF000000u
#define PEAK_COLOUR 0xFFFFFFFFu
#define GRID_COLOUR 0xFF303030u
#define LEFT_COLOUR 0xFF40FF40u
#define RIGHT_COLOUR 0xFF40C0FFu

#define MAX_BARS 64
#define BAR_PITCH 6
/* Peaks fall by this share of the display height per render (25 ms apart). */
#define PEAK_FALL 0.02f

static int SurfaceUsable(const TinyVisModule *module)
{
    return module->displayWindow && module->width > 0 && module->height > 0;
}

static void Clear(TinyVisModule *module, uint32_t colour)
{
    const size_t count = (size_t)module->width * (size_t)module->height;
    for (size_t i = 0; i < count; ++i)
        module->displayWindow[i] = colour;
}

static void FillRect(TinyVisModule *module, int x0, int y0, int x1, int y1, uint32_t colour)
{
    if (x0 < 0)
        x0 = 0;
    if (y0 < 0)
        y0 = 0;
    if (x1 > module->width)
        x1 = module->width;
    if (y1 > module->height)
        y1 = module->height;
    for (int y = y0; y < y1; ++y) {
        uint32_t *row = module->displayWindow + (size_t)y * (size_t)module->width;
        for (int x = x0; x < x1; ++x)
            row[x] = colour;
    }
}

static void ConfigureNothing(TinyVisModule *module)
{
    (void)module;
}

/* ---- spectrum analyser ---------------------------------------------------- */

static float peaks[MAX_BARS];

/* Green at the bottom through yellow to red at the top. */
static uint32_t BarColour(float height)
{
    const float h = height < 0.0f ? 0.0f : (height > 1.0f ? 1.0f : height);
    const uint32_t red = h < 0.5f ? (uint32_t)(h * 2.0f * 255.0f + 0.5f) : 255u;
    const uint32_t green = h < 0.5f ? 255u : (uint32_t)((1.0f - h) * 2.0f * 255.0f + 0.5f);
    return 0xFF000000u | (red << 16) | (green << 8);
}

/* Bars cover logarithmically growing ranges of bins, so that each octave
   gets about the same width. Bin 0 (the mean) is left out. */
static int BandStart(int band, int bands)
{
    const double start = pow((double)TINYVIS_SPECTRUM_SIZE, (double)band / bands);
    return (int)start;
}

static float BandLevel(const TinyVisModule *module, int band, int bands)
{
    const int first = BandStart(band, bands);
    int last = BandStart(band + 1, bands);
    if (last <= first)
        last = first + 1;
    if (last > TINYVIS_SPECTRUM_SIZE)
        last = TINYVIS_SPECTRUM_SIZE;
    float level = 0.0f;
    for (int i = first; i < last; ++i) {
        const float v = module->spectrum[i];
        if (v > level)
            level = v;
    }
    /* The values are linear magnitudes; a square root keeps quiet bands
       visible. NaN or negative input counts as silence. */
    if (!(level > 0.0f))
        return 0.0f;
    level = sqrtf(level);
    return level > 1.0f ? 1.0f : level;
}

static int32_t SpectrumInit(TinyVisModule *module)
{
    (void)module;
    memset(peaks, 0, sizeof peaks);
    return 0;
}

static int32_t SpectrumRender(TinyVisModule *module)
{
    if (!SurfaceUsable(module))
        return 0;
    Clear(module, BACKGROUND);
    int bars = module->width / BAR_PITCH;
    if (bars < 1)
        bars = 1;
    if (bars > MAX_BARS)
        bars = MAX_BARS;
    const int h = module->height;
    for (int b = 0; b < bars; ++b) {
        const float level = BandLevel(module, b, bars);
        peaks[b] -= PEAK_FALL;
        if (peaks[b] < level)
            peaks[b] = level;
        const int x0 = (int)((long long)b * module->width / bars);
        const int x1 = (int)((long long)(b + 1) * module->width / bars) - 1;
        const int top = h - (int)lroundf(level * (float)h);
        for (int y = top; y < h; ++y)
            FillRect(module, x0, y, x1 > x0 ? x1 : x0 + 1, y + 1, BarColour((float)(h - y) / (float)h));
        const int peakY = h - 1 - (int)lroundf(peaks[b] * (float)(h - 1));
        FillRect(module, x0, peakY, x1 > x0 ? x1 : x0 + 1, peakY + 1, PEAK_COLOUR);
    }
    return 0;
}

static void SpectrumQuit(TinyVisModule *module)
{
    (void)module;
}

/* ---- stereo waveform scope ------------------------------------------------ */

static int SampleY(int16_t sample, int top, int bandHeight)
{
    const int middle = top + bandHeight / 2;
    const int offset = (int)((long)sample * (bandHeight / 2) / 32768);
    int y = middle - offset;
    if (y < top)
        y = top;
    if (y >= top + bandHeight)
        y = top + bandHeight - 1;
    return y;
}

static void DrawTrace(TinyVisModule *module, const int16_t *wave, int top, int bandHeight, uint32_t colour)
{
    if (bandHeight <= 0)
        return;
    FillRect(module, 0, top + bandHeight / 2, module->width, top + bandHeight / 2 + 1, GRID_COLOUR);
    int previous = -1;
    for (int x = 0; x < module->width; ++x) {
        const int index = module->width > 1 ? (int)((long long)x * (TINYVIS_WAVE_SIZE - 1) / (module->width - 1)) : 0;
        const int y = SampleY(wave[index], top, bandHeight);
        /* Joining each column to the previous one keeps steep edges solid. */
        const int from = previous < 0 ? y : (previous < y ? previous : y);
        const int to = previous < 0 ? y : (previous > y ? previous : y);
        FillRect(module, x, from, x + 1, to + 1, colour);
        previous = y;
    }
}

static int32_t ScopeInit(TinyVisModule *module)
{
    (void)module;
    return 0;
}

static int32_t ScopeRender(TinyVisModule *module)
{
    if (!SurfaceUsable(module))
        return 0;
    Clear(module, BACKGROUND);
    const int upper = module->height / 2;
    DrawTrace(module, module->waveLeft, 0, upper, LEFT_COLOUR);
    DrawTrace(module, module->waveRight, upper, module->height - upper, RIGHT_COLOUR);
    return 0;
}

static void ScopeQuit(TinyVisModule *module)
{
    (void)module;
}

/* ---- the library ---------------------------------------------------------- */

static TinyVisModule modules[] = {
    { .description = "Spectrum analyser",
        .configure = ConfigureNothing,
        .init = SpectrumInit,
        .render = SpectrumRender,
        .quit = SpectrumQuit },
    { .description = "Stereo waveform scope",
        .configure = ConfigureNothing,
        .init = ScopeInit,
        .render = ScopeRender,
        .quit = ScopeQuit },
};

static TinyVisModule *GetModule(int32_t index)
{
    if (index < 0 || (size_t)index >= sizeof modules / sizeof modules[0])
        return NULL;
    return &modules[index];
}

static TinyVisHeader header = { 1, "Vorlen visualisations", GetModule };

TINYVIS_EXPORT TinyVisHeader *getTinyVisHeader(void)
{
    return &header;
}
