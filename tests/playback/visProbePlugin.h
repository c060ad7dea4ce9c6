#pragma once

#include "tinyvis.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What the probe plug-in saw of its host: calls per function and the record
   as it was handed to the last render. */
typedef struct VisProbeCounters {
    int initCalls;
    int renderCalls;
    int quitCalls;
    int configureCalls;
    const TinyVisModule *lastRecord;
    TinyVisModule lastRender;
} VisProbeCounters;

typedef VisProbeCounters *(*VisProbeCountersFunc)(void);

#define VIS_PROBE_COUNTERS_SYMBOL "visProbeCounters"

#ifdef __cplusplus
}
#endif
