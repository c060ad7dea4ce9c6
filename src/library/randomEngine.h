#pragma once

#include <random>

// The generator behind every random order of the library: one per thread,
// seeded once, when it is first needed.
std::mt19937 &RandomEngine();
