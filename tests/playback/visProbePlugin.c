/* A visualisation plug-in that records how the host drives it. Module 0's
   init fails, module 1 counts and keeps what it is handed, module 2 has no
   functions at all. */
#include "visProbePlugin.h"

#include <string.h>

static VisProbeCounters counters;

static int32_t FailingInit(TinyVisModule *module)
{
    counters.lastRecord = module;
    ++counters.initCalls;
    return 1;
}

static int32_t CountingInit(TinyVisModule *module)
{
    counters.lastRecord = module;
    ++counters.initCalls;
    return 0;
}

static int32_t CountingRender(TinyVisModule *module)
{
    counters.lastRecord = module;
    memcpy(&counters.lastRender, module, sizeof *module);
    if (module->displayWindow && module->width > 0 && module->height > 0)
        module->displayWindow[(size_t)module->width * (size_t)module->height - 1] = 0xFFFFFFFFu;
    return ++counters.renderCalls;
}

static void CountingQuit(TinyVisModule *module)
{
    counters.lastRecord = module;
    ++counters.quitCalls;
}

static void CountingConfigure(TinyVisModule *module)
{
    counters.lastRecord = module;
    ++counters.configureCalls;
}

static TinyVisModule modules[] = {
    { .description = "Failing module",
        .configure = CountingConfigure,
        .init = FailingInit,
        .render = CountingRender,
        .quit = CountingQuit },
    { .description = "Counting module",
        .configure = CountingConfigure,
        .init = CountingInit,
        .render = CountingRender,
        .quit = CountingQuit },
    { .description = "Empty module" },
};

static TinyVisModule *GetModule(int32_t index)
{
    if (index < 0 || (size_t)index >= sizeof modules / sizeof modules[0])
        return NULL;
    return &modules[index];
}

static TinyVisHeader header = { 7, "Probe", GetModule };

TINYVIS_EXPORT TinyVisHeader *getTinyVisHeader(void)
{
    return &header;
}

TINYVIS_EXPORT VisProbeCounters *visProbeCounters(void)
{
    return &counters;
}
