#pragma once

#include "analysis/exam/examoptions.h"
#include "cli/reportcommand.h"

#include <optional>
#include <variant>

namespace report {

// The whole-exam options as typed; the commands built on the exam share them.
struct ExamCommandOptions : analysis::ExamOptionTexts {
    std::optional<QString> exportPath;
    bool json = false;
};

// Reads the whole-exam option at arguments[i], moving i past its value, or a
// source when the argument is no option. Returns false when the argument is
// an option of no whole-exam kind (left to the caller); *error is set when
// its value is missing or a source can't be understood.
bool readExamOption(const QStringList &arguments, qsizetype &i, ExamCommandOptions &options,
                    QString *error);

bool isExam(const QStringList &arguments); // whether --subjects is given

// score-report --subjects SOURCE…: every subject of an exam at once; its
// JSON goes to the stream, when there is one, as it is written.
Output runExam(const QStringList &arguments, const OutputStream &stream = {});

QString examHelpText(); // what --subjects --help prints

} // namespace report
