/*
 * The C interface between Vorlen and a visualisation plug-in library
 * (plugins/tinyvis.so).
 *
 * The library exports one function, "getTinyVisHeader", which returns its
 * header. The header's enumeration function hands out the library's module
 * records by index (0, 1, ...) and null past the last one. The host copies the
 * record of the module it runs, fills in its own fields and always passes the
 * address of its copy to the module's functions. All functions use the C
 * calling convention and are called on the host's GUI thread only.
 *
 * The record's fields keep the classic order; pointers have the native width,
 * so on a 64-bit system every offset after the first pointer grows (see the
 * layout checks at the end).
 */
#ifndef VORLEN_TINYVIS_H
#define VORLEN_TINYVIS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TINYVIS_SPECTRUM_SIZE 512
#define TINYVIS_WAVE_SIZE 512

typedef struct TinyVisModule TinyVisModule;

typedef void (*TinyVisConfigureFunc)(TinyVisModule *module);
/* 0 for success; any other result keeps the module from running. */
typedef int32_t (*TinyVisInitFunc)(TinyVisModule *module);
typedef int32_t (*TinyVisRenderFunc)(TinyVisModule *module);
typedef void (*TinyVisQuitFunc)(TinyVisModule *module);

struct TinyVisModule {
    /* Set by the plug-in: the module's zero-terminated description. */
    const char *description;
    /* Set by the host at start: an opaque handle of the window that shows the
       visualisation (may be null). */
    void *ownerWindow;
    /* Set by the host at start and before every render: the pixel surface to
       draw into, height rows of width 32-bit ARGB pixels (0xAARRGGBB), packed
       without padding. Owned by the host. */
    uint32_t *displayWindow;
    /* Set by the host at start and before every render; may be 0. */
    int32_t height;
    int32_t width;
    /* Set by the host at start: a folder the module may keep settings in. */
    const char *settingsPath;
    /* Set by the host before every render: 512 spectrum values in 0..1 (two
       identical copies) and the last captured block of the left and right
       channels. */
    float spectrum[TINYVIS_SPECTRUM_SIZE];
    float spectrum2[TINYVIS_SPECTRUM_SIZE];
    int16_t waveLeft[TINYVIS_WAVE_SIZE];
    int16_t waveRight[TINYVIS_WAVE_SIZE];
    /* Set by the plug-in. Any of them may be null. */
    TinyVisConfigureFunc configure;
    TinyVisInitFunc init;
    TinyVisRenderFunc render;
    TinyVisQuitFunc quit;
};

typedef TinyVisModule *(*TinyVisEnumFunc)(int32_t index);

typedef struct TinyVisHeader {
    int32_t version;
    const char *description;
    TinyVisEnumFunc getModule;
} TinyVisHeader;

typedef TinyVisHeader *(*TinyVisGetHeaderFunc)(void);

#define TINYVIS_HEADER_SYMBOL "getTinyVisHeader"
/* Marks the plug-in's one exported function when it builds with hidden
   visibility. */
#define TINYVIS_EXPORT __attribute__((visibility("default")))

#define TINYVIS_PTR sizeof(void *)
#define TINYVIS_FIELDS_AFTER_POINTERS (3 * TINYVIS_PTR + 8)

#ifdef __cplusplus
#define TINYVIS_STATIC_ASSERT static_assert
#else
#define TINYVIS_STATIC_ASSERT _Static_assert
#endif

/* With 4-byte pointers these are the classic offsets 0, 4, 8, 12, 16, 20, 24,
   2072, 4120, 5144, 6168 ... 6180 and a 6184-byte record. */
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, ownerWindow) == TINYVIS_PTR, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, displayWindow) == 2 * TINYVIS_PTR, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, height) == 3 * TINYVIS_PTR, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, width) == 3 * TINYVIS_PTR + 4, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, settingsPath) == TINYVIS_FIELDS_AFTER_POINTERS, "record layout");
TINYVIS_STATIC_ASSERT(
    offsetof(TinyVisModule, spectrum) == TINYVIS_FIELDS_AFTER_POINTERS + TINYVIS_PTR, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, spectrum2) == offsetof(TinyVisModule, spectrum) + 2048, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, waveLeft) == offsetof(TinyVisModule, spectrum) + 4096, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, waveRight) == offsetof(TinyVisModule, spectrum) + 5120, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisModule, configure) == offsetof(TinyVisModule, spectrum) + 6144, "record layout");
TINYVIS_STATIC_ASSERT(
    offsetof(TinyVisModule, init) == offsetof(TinyVisModule, configure) + TINYVIS_PTR, "record layout");
TINYVIS_STATIC_ASSERT(
    offsetof(TinyVisModule, render) == offsetof(TinyVisModule, configure) + 2 * TINYVIS_PTR, "record layout");
TINYVIS_STATIC_ASSERT(
    offsetof(TinyVisModule, quit) == offsetof(TinyVisModule, configure) + 3 * TINYVIS_PTR, "record layout");
TINYVIS_STATIC_ASSERT(sizeof(TinyVisModule) == offsetof(TinyVisModule, configure) + 4 * TINYVIS_PTR, "record layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisHeader, description) == TINYVIS_PTR, "header layout");
TINYVIS_STATIC_ASSERT(offsetof(TinyVisHeader, getModule) == 2 * TINYVIS_PTR, "header layout");

#ifdef __cplusplus
}
#endif

#endif
