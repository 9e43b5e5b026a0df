#include "analysis/layout/headerrow.h"

#include <algorithm>

namespace analysis {

namespace {

std::vector<ColumnHeader> rowHeaders(const SheetSample &sample, int row) {
    std::vector<ColumnHeader> headers;
    for (int column = 1; column <= sample.columns(); ++column) {
        const QString text = sample.text(row, column);
        headers.push_back({headerKind(text), text});
    }
    return headers;
}

bool hasKind(const std::vector<ColumnHeader> &headers, bool (*wanted)(HeaderKind)) {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const ColumnHeader &header) { return wanted(header.kind); });
}

// A header names who the row is (number or name) and a score: one merged
// title cell never does, however many words it holds.
bool isHeader(const std::vector<ColumnHeader> &headers) {
    return hasKind(headers,
                   [](HeaderKind kind) {
                       return kind == HeaderKind::Number || kind == HeaderKind::Name;
                   }) &&
           hasKind(headers, isScoreKind);
}

int countKind(const std::vector<ColumnHeader> &headers, HeaderKind wanted) {
    return int(std::count_if(headers.begin(), headers.end(),
                             [&](const ColumnHeader &header) { return header.kind == wanted; }));
}

// A row below the header that holds its parts: header words, and nothing
// where the header names a student's number or name (a student's row has
// them).
bool continuesBelow(const std::vector<ColumnHeader> &header,
                    const std::vector<ColumnHeader> &below) {
    bool words = false;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const HeaderKind kind = header[i].kind;
        if ((kind == HeaderKind::Number || kind == HeaderKind::Name) && !below[i].text.isEmpty())
            return false;
        words = words || below[i].kind != HeaderKind::None;
    }
    return words;
}

// A row above the header that names the subjects its parts belong to
// ("语文" over "分数" and "名次").
bool groupsAbove(const std::vector<ColumnHeader> &above) {
    return countKind(above, HeaderKind::Subject) >= 2;
}

// The header text of a column under a group: the part's text, unless the
// group names the subject and the part does not ("语文" over "分数").
ColumnHeader joined(const ColumnHeader &group, const ColumnHeader &part) {
    if (group.text.isEmpty()) return part;
    if (part.text.isEmpty()) return group;
    const HeaderKind kind = headerKind(group.text + part.text);
    const bool groupNames = group.kind == HeaderKind::Subject && part.kind != HeaderKind::Subject;
    return {kind, kind == HeaderKind::Subject && groupNames ? group.text : part.text};
}

// A group cell merged across its parts holds its text in its first column
// only: it is carried right over the parts below it.
std::vector<ColumnHeader> joinedRows(const std::vector<ColumnHeader> &upper,
                                     const std::vector<ColumnHeader> &lower) {
    std::vector<ColumnHeader> columns;
    ColumnHeader group;
    for (std::size_t i = 0; i < upper.size(); ++i) {
        if (!upper[i].text.isEmpty())
            group = upper[i];
        else if (lower[i].text.isEmpty())
            group = {};
        columns.push_back(joined(group, lower[i]));
    }
    return columns;
}

} // namespace

HeaderRows findHeader(const SheetSample &sample) {
    const int last = std::min(HeaderSearchRows, sample.rows());
    for (int row = 1; row <= last; ++row) {
        const std::vector<ColumnHeader> headers = rowHeaders(sample, row);
        if (!isHeader(headers)) continue;
        const std::vector<ColumnHeader> below = rowHeaders(sample, row + 1);
        if (row < sample.rows() && continuesBelow(headers, below))
            return {row, 2, joinedRows(headers, below)};
        const std::vector<ColumnHeader> above = rowHeaders(sample, row - 1);
        if (row > 1 && groupsAbove(above)) return {row - 1, 2, joinedRows(above, headers)};
        return {row, 1, headers};
    }
    return {};
}

} // namespace analysis
