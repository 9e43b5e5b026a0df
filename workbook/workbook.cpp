#include "workbook/workbook.h"

namespace analysis {

namespace {

constexpr const char *WorkbookEndings[] = {".xls", ".xlsx", ".xlsm", ".ods",
                                           ".et",  ".ett",  ".csv",  ".txt"};

} // namespace

bool hasWorkbookEnding(const QString &name) {
    for (const char *ending : WorkbookEndings)
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) return true;
    return false;
}

QString workbookPatterns() {
    QStringList patterns;
    for (const char *ending : WorkbookEndings)
        patterns << u'*' + QLatin1String(ending);
    return patterns.join(u' ');
}

} // namespace analysis
