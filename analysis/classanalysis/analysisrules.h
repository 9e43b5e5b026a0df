#pragma once

#include "analysis/classanalysis/analysissettings.h"

#include <QStringList>

namespace analysis {

// The settings and the rules of the class analysis (口径说明), in a few lines
// of Chinese text that every output prints.
QStringList analysisRules(const AnalysisSettings &settings);

} // namespace analysis
