#pragma once

#include "analysis/classanalysis/classanalysis.h"
#include "analysis/export/reportheader.h"

#include <QString>

#include <optional>

namespace pages {

// Everything the printed report shows.
struct ReportContent {
    analysis::ReportHeader header;
    QString paperAnalysis, problems, measures; // 试卷分析, 存在问题, 改进措施
    std::optional<analysis::ClassAnalysis> analysis;
    QString explanation; // printed instead of the figures when there is no analysis
};

} // namespace pages
