#pragma once

#include <QString>

// How far the loudness analysis of the library has got, as the window shows
// it: "-" before it has a list, "all" once every file is measured, "312 of
// 540" while it runs, and "312 of 540, paused" when it was stopped.
QString LoudnessProgressText(int done, int total, bool running);
