#pragma once

#include "corpus.h"
#include "readers.h"

#include <vector>

// Prints, field by field, on how many files both readers give the same
// answer, exactly as each gives it, and for the others one example per
// template.
void PrintComparison(const std::vector<TrackAnswers> &ours, const std::vector<TrackAnswers> &theirs,
    const std::vector<int> &templateOf, const std::vector<CorpusTemplate> &templates);
