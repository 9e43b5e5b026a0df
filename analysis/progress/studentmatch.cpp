#include "analysis/progress/studentmatch.h"

#include "analysis/texts/spaces.h"

#include <QHash>
#include <QSet>

namespace analysis {

QString matchingNumber(const QString &number) {
    QString text = trimWideSpaces(number);
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        // Full-width forms U+FF10.. are the ASCII ones shifted by 0xFEE0.
        if ((u >= u'０' && u <= u'９') || (u >= u'Ａ' && u <= u'Ｚ') || (u >= u'ａ' && u <= u'ｚ'))
            c = QChar(char16_t(u - 0xFEE0));
        if (c >= u'A' && c <= u'Z') c = QChar(char16_t(c.unicode() + 32));
    }
    return text;
}

namespace {

// One exam's students indexed by number and by name.
struct MatchSide {
    const std::vector<MatchStudent> &students;
    bool thisExam;
    std::vector<QString> numbers;
    QHash<QString, std::vector<int>> byNumber, byName;
    std::vector<char> settled; // matched, or held in a conflict

    MatchSide(const std::vector<MatchStudent> &list, bool current)
        : students(list), thisExam(current), settled(list.size(), 0) {
        numbers.reserve(list.size());
        byNumber.reserve(qsizetype(list.size()));
        byName.reserve(qsizetype(list.size()));
        for (std::size_t i = 0; i < list.size(); ++i) {
            numbers.push_back(matchingNumber(list[i].number));
            if (!numbers.back().isEmpty()) byNumber[numbers.back()].push_back(int(i));
            const QString name = trimWideSpaces(list[i].name);
            if (!name.isEmpty()) byName[name].push_back(int(i));
        }
    }
    QString name(int i) const { return trimWideSpaces(students[std::size_t(i)].name); }
    QString className(int i) const { return trimWideSpaces(students[std::size_t(i)].className); }
};

// Holds the rows in a conflict of the given kind; the names are the rows'
// distinct names in the order listed.
void addConflict(StudentMatch &match, ConflictKind kind, const QString &number,
                 std::initializer_list<std::pair<MatchSide *, std::vector<int>>> groups) {
    MatchConflict conflict{kind, number, {}, {}};
    for (const auto &[side, rows] : groups)
        for (int row : rows) {
            conflict.rows.push_back({side->thisExam, row});
            side->settled[std::size_t(row)] = 1;
            const QString name = side->name(row);
            if (!name.isEmpty() && !conflict.names.contains(name)) conflict.names << name;
        }
    if (!conflict.rows.empty()) match.conflicts.push_back(std::move(conflict));
}

void findDuplicateNumbers(StudentMatch &match, MatchSide &last, MatchSide &current) {
    QSet<QString> done;
    for (MatchSide *side : {&last, &current})
        for (std::size_t i = 0; i < side->students.size(); ++i) {
            const QString &key = side->numbers[i];
            if (key.isEmpty() || done.contains(key)) continue;
            const std::vector<int> lastRows = last.byNumber.value(key),
                                   thisRows = current.byNumber.value(key);
            if (lastRows.size() < 2 && thisRows.size() < 2) continue;
            done.insert(key);
            addConflict(match, ConflictKind::DuplicateNumber,
                        trimWideSpaces(side->students[i].number),
                        {{&last, lastRows}, {&current, thisRows}});
        }
}

void pair(StudentMatch &match, MatchSide &last, MatchSide &current, int l, int t, MatchedBy by) {
    match.lastOf[std::size_t(t)] = l;
    match.thisOf[std::size_t(l)] = t;
    match.matchedBy[std::size_t(t)] = by;
    last.settled[std::size_t(l)] = current.settled[std::size_t(t)] = 1;
    (by == MatchedBy::Number ? match.byNumber : match.byName) += 1;
}

void matchByNumber(StudentMatch &match, MatchSide &last, MatchSide &current) {
    for (std::size_t t = 0; t < current.students.size(); ++t) {
        if (current.settled[t] || current.numbers[t].isEmpty()) continue;
        const auto found = last.byNumber.constFind(current.numbers[t]);
        if (found == last.byNumber.constEnd()) continue;
        const int l = found->front();
        if (last.settled[std::size_t(l)]) continue;
        if (last.name(l) == current.name(int(t)))
            pair(match, last, current, l, int(t), MatchedBy::Number);
        else
            addConflict(match, ConflictKind::NumberNameDiffers,
                        trimWideSpaces(last.students[std::size_t(l)].number),
                        {{&last, {l}}, {&current, {int(t)}}});
    }
}

// The unsettled rows among `rows`.
std::vector<int> open(const MatchSide &side, const std::vector<int> &rows) {
    std::vector<int> kept;
    for (int row : rows)
        if (!side.settled[std::size_t(row)]) kept.push_back(row);
    return kept;
}

void matchName(StudentMatch &match, MatchSide &last, MatchSide &current, const QString &name) {
    const std::vector<int> lastRows = last.byName.value(name),
                           thisRows = current.byName.value(name);
    if (lastRows.size() == 1 && thisRows.size() == 1) {
        const int l = lastRows.front(), t = thisRows.front();
        if (last.settled[std::size_t(l)] || current.settled[std::size_t(t)]) return;
        if (last.className(l) == current.className(t))
            pair(match, last, current, l, t, MatchedBy::Name);
        else
            addConflict(match, ConflictKind::ClassDiffers, {}, {{&last, {l}}, {&current, {t}}});
    } else if (!lastRows.empty() && !thisRows.empty()) {
        addConflict(match, ConflictKind::DuplicateName, {},
                    {{&last, open(last, lastRows)}, {&current, open(current, thisRows)}});
    }
}

// A name is the key of a student who has no number in one exam.
void matchByName(StudentMatch &match, MatchSide &last, MatchSide &current) {
    QSet<QString> done;
    for (MatchSide *side : {&last, &current})
        for (std::size_t i = 0; i < side->students.size(); ++i) {
            if (side->settled[i] || !side->numbers[i].isEmpty()) continue;
            const QString name = side->name(int(i));
            if (name.isEmpty() || done.contains(name)) continue;
            done.insert(name);
            matchName(match, last, current, name);
        }
}

} // namespace

StudentMatch matchStudents(const std::vector<MatchStudent> &last,
                           const std::vector<MatchStudent> &current) {
    StudentMatch match;
    match.lastOf.assign(current.size(), -1);
    match.matchedBy.assign(current.size(), MatchedBy::None);
    match.thisOf.assign(last.size(), -1);
    MatchSide lastSide(last, false), thisSide(current, true);
    findDuplicateNumbers(match, lastSide, thisSide);
    matchByNumber(match, lastSide, thisSide);
    matchByName(match, lastSide, thisSide);
    for (std::size_t i = 0; i < current.size(); ++i)
        if (!thisSide.settled[i]) match.onlyThis.push_back(int(i));
    for (std::size_t i = 0; i < last.size(); ++i)
        if (!lastSide.settled[i]) match.onlyLast.push_back(int(i));
    return match;
}

} // namespace analysis
