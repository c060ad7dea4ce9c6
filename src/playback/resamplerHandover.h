#pragma once

#include "playback/ffmpegHandles.h"

#include <condition_variable>
#include <mutex>

// How a stream's resampler passes to the stream that follows it without a
// gap. A resampler holds the last input samples it has not turned into output
// yet, and a fresh one starts from silence: two streams each with their own
// would put a click at the join of two tracks that resample (a 48 kHz album
// played at 44.1 kHz). So the stream that ends gives its resampler, unflushed,
// to its successor, which goes on with it where the first left off.
//
// The first stream (the giver) owns the handover and decides once: it gives
// when a successor waits for it, or declines (and flushes its own) when none
// does. Successors register when they are made and leave when destroyed.
// Shared by the giver's and the successors' decoder threads and the GUI
// thread that makes them: every field is under mutex.
struct TresamplerHandover {
    enum State { Waiting, Given, Declined };

    std::mutex mutex;
    std::condition_variable decided;
    State state = Waiting;
    int successors = 0;
    // Given: the resampler and the input it was made for.
    SwrPtr resampler;
    int rate = 0;
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    AVChannelLayout layout {};

    ~TresamplerHandover() { av_channel_layout_uninit(&layout); }
};
