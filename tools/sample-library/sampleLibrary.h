#pragma once

#include "metadata/customTagger.h"

#include <memory>
#include <vector>

// An invented music library for screenshots and trials of large libraries:
// artists with a few albums each, titles, years, genres, durations and bit
// rates as a real collection has them. The files are not there. The same seed
// gives the same library.
//
// Names are made from word lists; a few artists begin with a digit and a few
// albums are by "Compilation", so that every part of the artist tree shows.
std::vector<std::unique_ptr<TcustomTagger>> InventLibrary(int trackCount, unsigned seed = 1);
