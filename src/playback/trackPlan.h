#pragma once

#include <QtGlobal>

// How one track is to sound, decided by the player's owner when it supplies
// the track. The default plan plays the file as it is, with the player's
// fades.
struct TtrackPlan {
    // A factor on the track's sound (its loudness matched to the others'),
    // applied before the fades and the master volume.
    float gain = 1.0f;
    // The track continues the one before without a gap: it starts on the
    // sample after that one's last, and neither fades.
    bool gapless = false;
    // Where its music starts and ends: the silence before and after is
    // skipped. An end of 0 is the stream's end.
    qint64 startMs = 0;
    qint64 endMs = 0;
    // How long its ending falls away, as measured; -1 when not known. The
    // fade-out follows it: shorter for a hard ending, the player's whole
    // fade-out for a slow one.
    qint64 endingMs = -1;

    bool operator==(const TtrackPlan &) const = default;
};
