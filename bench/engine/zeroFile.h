#pragma once

#include <QString>

// Giving up on a file of zeros named .mp3, four gigabytes long and sparse, as
// an unfinished download leaves it: the wall time and the growth of the
// process's peak resident memory, for opening it without a device (on the
// calling thread) and with SDL's dummy device (on the stream's own thread,
// until the stream reports it failed). Prints the figures; false when the
// file could not be made.
bool ReportZeroFile(const QString &folder);
