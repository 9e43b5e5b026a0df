#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/exam/examanalysis.h"

#include <optional>
#include <variant>

namespace analysis {

// A whole exam's settings as typed, by score-report's options or by the
// exam window's fields; both are read by the same rules.
struct ExamOptionTexts {
    std::vector<ClassSource> sources;
    ExamColumns columns;
    std::optional<QString> columnsMode; // "auto": each sheet's layout as detected
    std::optional<QString> sheet;
    std::optional<QString> fullMarks; // of every subject not named in fullMarksOf
    QStringList fullMarksOf;          // items "语文=150", as typed
    QStringList totals;               // items "语数英=语文+数学+英语", as typed
    AnalysisSettingsTexts settings;
    std::optional<QString> margin;
};

// The request the texts describe: settings, full marks, totals and margin
// read and checked, folders expanded, each sheet's layout detected for
// columns "auto". Returns the request or the message that refuses it.
std::variant<ExamRequest, QString> readExamRequest(const ExamOptionTexts &texts);

} // namespace analysis
