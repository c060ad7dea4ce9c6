#pragma once

#include <QtGlobal>

// Stream states; the player reports its current stream's state, and the core
// the jukebox's play state, with the same codes.
enum TstreamState : quint8 { ssStopped = 0, ssPlaying = 1, ssPaused = 2, ssLoading = 3 };
