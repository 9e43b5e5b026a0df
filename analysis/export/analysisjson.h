#pragma once

#include "analysis/classanalysis/classanalysis.h"

#include <QJsonObject>

namespace analysis {

// The analysis as score-report's "analysis" object: numbers unrounded except
// the band percentages, null for a figure not given, rows counted from 1.
QJsonObject analysisJson(const ClassAnalysis &analysis);

// A figure that may be missing: its value, or null.
QJsonValue jsonNumber(const std::optional<double> &value);
QJsonValue jsonNumber(const std::optional<Decimal> &value);

} // namespace analysis
