/*
 * Vorlen's own visualisation plug-in: a spectrum analyser with falling peaks
 * and a stereo waveform scope, both drawn straight into the host's pixel
 * surface.
 *
 * Configuring either module switches both to the next of a few looks (bar
 * width and colours); the choice is kept as "look=NAME" in tinyvis.cfg in the
 * settings folder the host names, and read back at every start.
 */
#include "tinyvis.h"

#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#define BACKGROUND 0xFF000000u
#define GRID_COLOUR 0xFF303030u

#define MAX_BARS 128
/* Peaks fall by this share of the display height per render (25 ms apart). */
#define PEAK_FALL 0.02f

#define SETTINGS_FILE "tinyvis.cfg"
#define SETTINGS_KEY "look="
/* Longer settings files are damaged: only their start is read. */
#define SETTINGS_READ_LIMIT 256

/* One look of both modules: the spectrum's bar pitch (bar width plus a
   one-pixel gap) and its colours from the bottom of a bar through its middle
   to its top, the peak marks, and the scope's two traces. */
typedef struct Look {
    const char *name;
    int barPitch;
    uint32_t bottom;
    uint32_t middle;
    uint32_t top;
    uint32_t peak;
    uint32_t left;
    uint32_t right;
} Look;

static const Look looks[] = {
    { "classic", 6, 0xFF00FF00u, 0xFFFFFF00u, 0xFFFF0000u, 0xFFFFFFFFu, 0xFF40FF40u, 0xFF40C0FFu },
    { "ice", 12, 0xFF0030A0u, 0xFF00C0FFu, 0xFFE0FFFFu, 0xFF80FFFFu, 0xFF00E0FFu, 0xFFC0E0FFu },
    { "ember", 4, 0xFF800000u, 0xFFFF6000u, 0xFFFFE040u, 0xFFFFFF80u, 0xFFFF8000u, 0xFFFFE040u },
    { "mono", 8, 0xFF606060u, 0xFFB0B0B0u, 0xFFFFFFFFu, 0xFFFFD040u, 0xFFFFFFFFu, 0xFFA0A0A0u },
};
#define LOOK_COUNT ((int)(sizeof looks / sizeof looks[0]))

/* The look both modules draw with; the host calls every function on its GUI
   thread, one module at a time. */
static int currentLook;

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

/* ---- settings --------------------------------------------------------------- */

/* The settings file's path in buffer; 0 when there is no folder or the path
   does not fit. */
static int SettingsFile(const TinyVisModule *module, const char *suffix, char *buffer, size_t size)
{
    if (!module->settingsPath || !module->settingsPath[0])
        return 0;
    const int length = snprintf(buffer, size, "%s/" SETTINGS_FILE "%s", module->settingsPath, suffix);
    return length > 0 && (size_t)length < size;
}

/* The look the settings file names; the first look when the file is missing,
   unreadable or names none. */
static int ReadLook(const TinyVisModule *module)
{
    char path[4096];
    if (!SettingsFile(module, "", path, sizeof path))
        return 0;
    FILE *file = fopen(path, "rb");
    if (!file)
        return 0;
    char text[SETTINGS_READ_LIMIT + 1];
    const size_t length = fread(text, 1, SETTINGS_READ_LIMIT, file);
    fclose(file);
    text[length] = '\0';
    /* Bytes after a zero byte are never looked at: a damaged file reads as far
       as it is text. */
    for (const char *line = text; *line;) {
        const char *end = line + strcspn(line, "\r\n");
        const size_t keyLength = strlen(SETTINGS_KEY);
        if ((size_t)(end - line) > keyLength && strncmp(line, SETTINGS_KEY, keyLength) == 0) {
            const char *value = line + keyLength;
            const size_t valueLength = (size_t)(end - value);
            for (int i = 0; i < LOOK_COUNT; ++i) {
                if (strlen(looks[i].name) == valueLength && strncmp(value, looks[i].name, valueLength) == 0)
                    return i;
            }
        }
        line = *end ? end + 1 : end;
    }
    return 0;
}

/* Writes the current look's name to the settings file: a temporary file
   beside it, flushed to the disc, then renamed over it, so that a crash leaves
   the old choice or the new one. Returns 0 on success. */
static int WriteLook(const TinyVisModule *module)
{
    char path[4096];
    char temporary[4096];
    if (!SettingsFile(module, "", path, sizeof path) || !SettingsFile(module, ".tmp", temporary, sizeof temporary))
        return -1;
    if (mkdir(module->settingsPath, 0755) != 0 && errno != EEXIST)
        return -1;
    FILE *file = fopen(temporary, "wb");
    if (!file)
        return -1;
    int failed = fprintf(file, SETTINGS_KEY "%s\n", looks[currentLook].name) < 0;
    failed |= fflush(file) != 0;
    failed |= fsync(fileno(file)) != 0;
    failed |= fclose(file) != 0;
    if (failed || rename(temporary, path) != 0) {
        unlink(temporary);
        return -1;
    }
    return 0;
}

/* Both modules' configure entry: the next look, shown from the next render
   on and kept for later starts (a folder that cannot be written keeps it for
   this run only). */
static void ConfigureLook(TinyVisModule *module)
{
    currentLook = (currentLook + 1) % LOOK_COUNT;
    WriteLook(module);
}

/* ---- spectrum analyser ---------------------------------------------------- */

static float peaks[MAX_BARS];

static uint32_t Blend(uint32_t from, uint32_t to, float share)
{
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const float a = (float)((from >> shift) & 0xFFu);
        const float b = (float)((to >> shift) & 0xFFu);
        result |= (uint32_t)(a + (b - a) * share + 0.5f) << shift;
    }
    return result;
}

/* The look's bottom colour at height 0 through its middle colour to its top
   colour at height 1. */
static uint32_t BarColour(float height)
{
    const Look *look = &looks[currentLook];
    const float h = height < 0.0f ? 0.0f : (height > 1.0f ? 1.0f : height);
    return h < 0.5f ? Blend(look->bottom, look->middle, h * 2.0f) : Blend(look->middle, look->top, (h - 0.5f) * 2.0f);
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
    currentLook = ReadLook(module);
    memset(peaks, 0, sizeof peaks);
    return 0;
}

static int32_t SpectrumRender(TinyVisModule *module)
{
    if (!SurfaceUsable(module))
        return 0;
    Clear(module, BACKGROUND);
    const Look *look = &looks[currentLook];
    int bars = module->width / look->barPitch;
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
        FillRect(module, x0, peakY, x1 > x0 ? x1 : x0 + 1, peakY + 1, look->peak);
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
    currentLook = ReadLook(module);
    return 0;
}

static int32_t ScopeRender(TinyVisModule *module)
{
    if (!SurfaceUsable(module))
        return 0;
    Clear(module, BACKGROUND);
    const int upper = module->height / 2;
    DrawTrace(module, module->waveLeft, 0, upper, looks[currentLook].left);
    DrawTrace(module, module->waveRight, upper, module->height - upper, looks[currentLook].right);
    return 0;
}

static void ScopeQuit(TinyVisModule *module)
{
    (void)module;
}

/* ---- the library ---------------------------------------------------------- */

static TinyVisModule modules[] = {
    { .description = "Spectrum analyser",
        .configure = ConfigureLook,
        .init = SpectrumInit,
        .render = SpectrumRender,
        .quit = SpectrumQuit },
    { .description = "Stereo waveform scope",
        .configure = ConfigureLook,
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
