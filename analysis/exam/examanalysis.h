#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/classanalysis.h"
#include "analysis/classanalysis/decimal.h"
#include "analysis/grade/gradecomparison.h"
#include "analysis/grade/gradesource.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace analysis {

// Where an exam table lies in each source's sheet, as typed: the first data
// row and the columns (numbers from 1 or letters). The row above the first
// row, when there is one, names the subjects; a subject without a name there
// is named after its column's letters. Without a class column a source's
// students form one class, named as the grade comparison names it.
struct ExamColumns {
    QString firstRow = QStringLiteral("2");
    QString numberColumn = QStringLiteral("1");
    QString nameColumn = QStringLiteral("2");
    std::optional<QString> classColumn;
    // A long table's subject column (科目): one row per student and subject,
    // the score in the one score column.
    std::optional<QString> subjectColumn;
    std::optional<QString> remarkColumn; // the teacher's words for each student's slip
    QStringList scoreColumns;
    QStringList subjectNames; // the score columns' names; empty: read from the header row
    int lastRow = 0;          // the last data row; 0: to the end of the sheet
};

// A subject's full marks as the teacher set them, by the subject's name.
struct SubjectFullMarks {
    QString subject;
    Decimal fullMarks;
};

// A total over some subjects, by their names; no subjects: every subject found.
struct TotalRequest {
    QString name;
    QStringList subjects;
};

// Everything an exam run reads. The settings' lines are taken as shares of
// each subject's and each total's full marks; a line given as a plain score
// is used only when the exam has a single subject and no total beyond it.
struct ExamRequest {
    std::vector<ClassSource> sources; // folders already expanded
    ExamColumns columns;
    // Per source, where it lies when it differs from `columns` (as the
    // detection found it); empty or shorter than the sources: `columns`.
    std::vector<std::optional<ExamColumns>> sourceColumns;
    // Each sheet's layout found by the header detection, in place of `columns`.
    bool detectColumns = false;
    std::vector<SubjectFullMarks> fullMarks;
    std::optional<Decimal> everyFullMarks; // of each subject not in fullMarks
    std::vector<TotalRequest> totals;      // empty: one total, 总分, over every subject
    AnalysisSettings settings;
    // How far below a line a 临界生 may lie: a score, or a share of the
    // total's full marks (default 5 %).
    ScoreLine margin{Decimal(), Decimal::whole(5)};
};

// What one cell of a student's subject holds. NotTaken: the student's source
// has no such subject (neither absent nor zero).
enum class MarkState : std::uint8_t { Counted, Absent, Exempt, Invalid, NotTaken };

// One student's result in one subject. Ranks are 0 and z/t empty where the
// mark is not counted (or, for z/t, where the subject has no spread).
struct SubjectMark {
    Decimal score; // when counted
    MarkState state = MarkState::NotTaken;
    int gradeRank = 0, classRank = 0;
    std::optional<double> z, t;
};

// One student's result in one total: none when a subject of it is not
// counted (those subjects are listed), or when the student did not take one.
struct TotalMark {
    std::optional<Decimal> value;
    std::vector<int> missing; // indices into ExamAnalysis::subjects
    int gradeRank = 0, classRank = 0;
    std::optional<double> t; // the sum of its subjects' T scores
    int tRank = 0;           // grade rank by t
};

struct ExamStudent {
    int classIndex = 0; // into ExamAnalysis::classes
    int source = 0;     // into ExamRequest::sources
    int row = 0;        // sheet row, from 1
    QString number, name;
    QString remark;                    // the teacher's words from a 评语 column
    std::vector<SubjectMark> subjects; // by ExamAnalysis::subjects
    std::vector<TotalMark> totals;     // by ExamAnalysis::totals
};

struct ExamSubject {
    QString name;
    QString column; // the column it was read from, as letters (first source's)
    Decimal fullMarks;
    bool fullMarksGuessed = false;   // 150, told by the scores
    ClassAnalysis grade;             // over every student who took it; ranking left empty
    std::optional<double> scoreRate; // mean ÷ full marks × 100
    bool hasSpread = false;          // a standard deviation above 0: Z scores exist
};

struct ExamTotal {
    QString name;
    std::vector<int> subjects; // indices into ExamAnalysis::subjects
    Decimal fullMarks;         // the sum of its subjects'
    ClassAnalysis grade;       // ranking left empty
    std::optional<double> scoreRate;
};

// A class's figures in one subject or total.
struct ExamClassFigures {
    bool taken = false;                             // any of its students has the subject
    ClassAnalysis analysis;                         // ranking left empty
    std::optional<double> scoreRate, aboveMeanRate; // 超均率 against the grade
    int rank = 0; // by mean among the classes, equal means sharing; 0 without a mean
};

struct ExamClass {
    QString name;
    QString source; // the first source it came from
    std::vector<ExamClassFigures> subjects, totals;
};

// 偏科: a student's weakest subject by T, at least 10 below the student's
// mean T over the first total's subjects.
struct WeakSubject {
    int student = 0; // into ExamAnalysis::students
    int subject = 0;
    double t = 0, meanT = 0;
};

// 临界生: below a line of the first total by at most the margin.
struct Borderline {
    enum class Line { Excellent, Pass };
    Line line = Line::Excellent;
    int student = 0;
    Decimal total, gap;         // gap = line − total
    std::optional<int> weakest; // the subject of lowest T, if any has one
};

struct ExamAnalysis {
    AnalysisSettings settings; // as given; each subject's own are in its analysis
    Decimal marginScore;       // of the first total
    std::vector<ExamSubject> subjects;
    std::vector<ExamTotal> totals;
    std::vector<ExamClass> classes;    // in the order they were met
    std::vector<ExamStudent> students; // in source order
    // Students in the first total's grade-rank order (ties in source order),
    // then those without it in source order: indices into students.
    std::vector<int> order;
    std::vector<WeakSubject> weak;      // in `order`
    std::vector<Borderline> borderline; // excellent line first, each in `order`
    QStringList notes;
    std::vector<SourceFailure> failures;
    bool cancelled = false;
};

// A message when the exam can't be analysed (a bad setting, or no source
// read); the exam may still be there, to list the sources that failed.
struct ExamOutcome {
    std::optional<ExamAnalysis> exam;
    QString message;
};

// Reads every source on a thread per core, as the grade comparison does, and
// analyses the whole exam. Sources that fail are listed in failures.
ExamOutcome analyseExam(const ExamRequest &request, const CompareControl &control = {});

// The 口径说明: every rule of the exam analysis in a few lines of Chinese.
QStringList examRules(const ExamAnalysis &exam);

QString markStateKey(MarkState state); // "counted", "absent", …, "notTaken"

} // namespace analysis
