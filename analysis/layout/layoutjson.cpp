#include "analysis/layout/layoutjson.h"

#include <QJsonArray>

namespace analysis {

namespace {

QJsonValue number(int value) {
    return value > 0 ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QJsonObject columnJson(const LayoutColumn &column) {
    return {{"column", column.column}, {"header", column.header}};
}

QJsonValue optionalColumn(const LayoutColumn &column) {
    return column.found() ? QJsonValue(columnJson(column)) : QJsonValue(QJsonValue::Null);
}

} // namespace

QJsonObject layoutJson(const SheetLayout &layout) {
    QJsonArray scores;
    for (const LayoutColumn &score : layout.scores)
        scores.append(columnJson(score));
    return {{"headerRow", number(layout.headerRow)},
            {"firstRow", number(layout.firstRow)},
            {"lastRow", number(layout.lastRow)},
            {"numberColumn", number(layout.number.column)},
            {"nameColumn", number(layout.name.column)},
            {"classColumn", number(layout.className.column)},
            {"subjectColumn", number(layout.course.column)},
            {"remarkColumn", number(layout.remark.column)},
            {"scores", scores},
            {"total", optionalColumn(layout.total)},
            {"rank", optionalColumn(layout.rank)},
            {"notes", QJsonArray::fromStringList(layout.notes)}};
}

} // namespace analysis
