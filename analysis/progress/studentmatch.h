#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace analysis {

// A student of one exam as the matching sees them: what identifies them and
// where they were read, so that a conflict can name the row.
struct MatchStudent {
    QString number;
    QString name;
    QString className;
    QString source; // the source as given
    int row = 0;    // sheet row, counted from 1
};

enum class MatchedBy { None, Number, Name };

enum class ConflictKind {
    DuplicateNumber,   // one number on two rows of one exam
    NumberNameDiffers, // 学号相同姓名不同
    DuplicateName,     // a name that is the key but occurs more than once
    ClassDiffers,      // a name that is the key, once in each exam, in two classes
};

// A row of a conflict: which exam and which student of it.
struct ConflictRow {
    bool thisExam = false;
    int student = 0; // into that exam's list
};

struct MatchConflict {
    ConflictKind kind = ConflictKind::DuplicateNumber;
    QString number; // as typed in the first row listed; empty for the name kinds
    QStringList names;
    std::vector<ConflictRow> rows;
};

// Two exams matched: for each student of this exam the one of the last, and
// every student who could not be matched, by why.
struct StudentMatch {
    std::vector<int> lastOf;          // per student of this exam: index into the last, −1 if none
    std::vector<MatchedBy> matchedBy; // per student of this exam
    std::vector<int> thisOf;          // per student of the last exam: index into this, −1 if none
    std::vector<int> onlyThis;        // 新增: unmatched and in no conflict
    std::vector<int> onlyLast;        // 缺少: unmatched and in no conflict
    std::vector<MatchConflict> conflicts;
    int byNumber = 0;
    int byName = 0;
};

// A number as the matching compares it: spaces (ordinary and ideographic)
// trimmed, full-width digits and letters read as half-width, letters in
// lower case.
QString matchingNumber(const QString &number);

// Matches by number; by name only where a student has no number in one
// exam, the name occurs exactly once in each exam and the class is the
// same. Never on a guess: a number twice in one exam, one number under two
// names, a key name that occurs more than once, and a key name in two
// classes are conflicts, and their rows stay unmatched.
StudentMatch matchStudents(const std::vector<MatchStudent> &last,
                           const std::vector<MatchStudent> &current);

} // namespace analysis
