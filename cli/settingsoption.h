#pragma once

#include "analysis/classanalysis/analysissettings.h"

#include <QString>

namespace report {

// The field an analysis settings option (--full-marks … --ranking) sets, or
// null when the name is no such option.
QString *settingsOption(const QString &name, analysis::AnalysisSettingsTexts &settings);

} // namespace report
