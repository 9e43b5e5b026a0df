#pragma once

#include "analysis/slips/slipcontent.h"

#include <vector>

namespace pages {

// Strips, several to a page with a dashed cut line between them, or a page
// for each student.
enum class SlipForm { Strips, PagePerStudent };

// Where one slip lies: its top and height in page units (0.1 mm).
struct SlipPlacement {
    int slip = 0;
    double top = 0, height = 0;
};

struct SlipLayout {
    SlipForm form = SlipForm::Strips;
    std::vector<analysis::SlipContent> slips;
    std::vector<double> noteHeights; // per slip, of its wrapped notes
    std::vector<std::vector<SlipPlacement>> pages;
};

constexpr double SlipGap = 80; // between two strips, the cut line in its middle
constexpr double SlipPadding = 30, SlipTitleHeight = 60, SlipLineHeight = 45, SlipPresetHeight = 40;

// The height of a slip's table row and of a line of its notes.
double slipRowHeight();
double slipNoteWidth();

// Lays the slips out on A4 pages: a strip that would straddle a page moves
// whole onto the next one.
SlipLayout layoutSlips(std::vector<analysis::SlipContent> slips, SlipForm form);

} // namespace pages
