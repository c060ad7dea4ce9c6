#pragma once

// What the tests of the real program listen for at the sink and how long they
// wait, shared so that every test of the running jukebox judges alike.

// The test tones (amplitude 1/8) through a sink at 78 % (master volume 200)
// come out at 0.015 or more, faded in or not; a stopped or paused player
// leaves the null sink at digital silence.
inline constexpr double kAudible = 0.005;
inline constexpr double kSilent = 0.001;
inline constexpr int kMasterVolume = 200;
// Generous: the machine running the tests may be busy with other work.
inline constexpr int kStartTimeoutMs = 60000;
inline constexpr int kTimeoutMs = 20000;
