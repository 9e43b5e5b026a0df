#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/exam/examanalysis.h"
#include "cli/reportcommand.h"

#include <optional>
#include <variant>

namespace report {

// The whole-exam options as typed; the commands built on the exam share them.
struct ExamCommandOptions {
    std::vector<analysis::ClassSource> sources;
    analysis::ExamColumns columns;
    std::optional<QString> columnsMode; // "auto": each sheet's layout as detected
    std::optional<QString> sheet;
    std::optional<QString> fullMarks; // of every subject not named in fullMarksOf
    QStringList fullMarksOf;          // items "语文=150", as typed
    QStringList totals;               // items "语数英=语文+数学+英语", as typed
    analysis::AnalysisSettingsTexts settings;
    std::optional<QString> margin;
    std::optional<QString> exportPath;
    bool json = false;
};

// Reads the whole-exam option at arguments[i], moving i past its value, or a
// source when the argument is no option. Returns false when the argument is
// an option of no whole-exam kind (left to the caller); *error is set when
// its value is missing or a source can't be understood.
bool readExamOption(const QStringList &arguments, qsizetype &i, ExamCommandOptions &options,
                    QString *error);

// The request the options describe: settings, full marks, totals and margin
// read and checked, folders expanded, each sheet's layout detected for
// --columns auto. Returns the request or the message that refuses it.
std::variant<analysis::ExamRequest, QString> examRequest(const ExamCommandOptions &options);

bool isExam(const QStringList &arguments); // whether --subjects is given

// score-report --subjects SOURCE…: every subject of an exam at once; its
// JSON goes to the stream, when there is one, as it is written.
Output runExam(const QStringList &arguments, const OutputStream &stream = {});

QString examHelpText(); // what --subjects --help prints

} // namespace report
