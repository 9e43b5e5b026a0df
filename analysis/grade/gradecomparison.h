#pragma once

#include "analysis/classanalysis/classanalysis.h"
#include "analysis/grade/gradesource.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace analysis {

// One class of the comparison: its analysis over every row of its sheet
// that has any text, and its standing in the grade.
struct ComparedClass {
    QString name;
    QString source;
    ClassAnalysis analysis;              // its ranking left empty: see GradeComparison::students
    std::optional<double> aboveMeanRate; // (class mean − grade mean) ÷ grade mean × 100
    int rank = 0;                        // by mean, equal means sharing a rank; 0 without a mean
};

// One student of the grade's rank list.
struct GradeStudent {
    int classIndex = 0; // into GradeComparison::classes
    StudentRow student;
    Decimal score;
    int gradeRank = 0; // in the chosen ranking style
    int classRank = 0;
};

// A source that could not be compared, left out of every grade figure.
struct SourceFailure {
    QString source;
    std::optional<int> number; // the failure number of the workbook layer, if any
    QString message;
    std::size_t sourceIndex = 0; // into the sources compared, so that a window can tell it there
};

struct GradeComparison {
    AnalysisSettings settings;
    std::vector<ComparedClass> classes; // in the order of the sources, sheets in workbook order
    ClassAnalysis grade;                // every class's rows; its ranking is left empty
    std::vector<GradeStudent> students; // grade rank order, equal scores in class then row order
    std::vector<SourceFailure> failures;
    bool cancelled = false;
};

enum class SourceState { Waiting, Reading, Read, Failed, Cancelled };

// A source's state as its list shows it: 等待读取, 正在读取, ….
QString sourceStateText(SourceState state);

// How a comparison is run and watched. The callback is called from the
// reading threads, one call at a time; a window passes it on to its own
// thread. Cancelling leaves the sources not yet read as Cancelled.
struct CompareControl {
    std::function<void(std::size_t source, SourceState state)> progress;
    const std::atomic<bool> *cancel = nullptr;
    int threads = 0; // 0: one per core
};

// Reads every source (folders already expanded), a thread per core, each
// with workbooks of its own; only the rows of the three columns are kept.
// `shared` holds the list's fields; a field typed nowhere takes the import's
// default (row 2, columns 1, 2 and 3).
GradeComparison compareGrade(const std::vector<ClassSource> &sources, const ClassFields &shared,
                             const AnalysisSettings &settings, const CompareControl &control = {});

} // namespace analysis
