#pragma once

#include "analysis/layout/sheetsample.h"

#include <vector>

namespace analysis {

// The columns told by their content alone, for a sheet without a header row.
struct ContentGuess {
    int firstRow = 0;        // 0: no rows of a list found
    int lastRow = 0;         // 0 when the rows ran past the sample
    int number = 0;          // distinct digit strings of 4 to 20 characters
    int name = 0;            // 2 to 4 Chinese characters, mostly distinct
    std::vector<int> scores; // numbers within 0..1000, not a count 1, 2, 3, …
};

// Looks for the block of rows of two or more texts that opens the sample
// (an unnamed header row above it allowed) and tells its columns apart.
ContentGuess guessFromContent(const SheetSample &sample);

} // namespace analysis
