#pragma once

#include "analysis/classanalysis/decimal.h"

#include <QString>

namespace analysis {

// What a score cell holds for the class analysis.
struct ScoreCell {
    enum class State {
        Counted, // a plain number from 0 to full marks, with its exact value
        Absent,  // empty, 缺考, 缺 or 缺席
        Exempt,  // 免考 or 免
        Invalid, // anything else, a number outside 0..full marks included
    };
    State state = State::Invalid;
    Decimal value; // when counted
};

// Reads a score cell after ordinary and ideographic spaces are trimmed.
ScoreCell readScoreCell(const QString &text, const Decimal &fullMarks);

} // namespace analysis
