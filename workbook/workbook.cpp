#include "workbook/workbook.h"

namespace analysis {

bool hasWorkbookEnding(const QString &name) {
    for (const char *ending : {".xls", ".xlsx", ".xlsm", ".ods", ".et", ".ett", ".csv", ".txt"})
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace analysis
