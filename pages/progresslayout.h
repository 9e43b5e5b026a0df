#pragma once

#include "analysis/progress/progresstables.h"
#include "pages/reportlayout.h"

namespace pages {

// The comparison as printed: the match first (its counts, every conflict,
// 新增 and 缺少), then a change table for each subject and total (the one
// the trend follows first, with every student), the class counts, the
// history, the notes and the rules. Lists of students are headed as
// teachers' documents.
ReportLayout layoutProgress(const analysis::ProgressTables &tables,
                            const analysis::ReportHeader &header);

} // namespace pages
