#include "analysis/slips/slipchanges.h"

namespace analysis {

namespace {

void addChange(SlipFigure &figure, const ProgressChange &change) {
    if (change.scoreChange)
        figure.scoreChange =
            (change.scoreChange->negative ? -1.0 : 1.0) * change.scoreChange->magnitude.toDouble();
    figure.rankChange = change.rankChange;
}

} // namespace

void addSlipChanges(std::vector<SlipStudent> &students, const ProgressReport &report) {
    for (const ProgressStudent &matched : report.students) {
        if (matched.last < 0 || std::size_t(matched.student) >= students.size()) continue;
        for (SlipFigure &figure : students[std::size_t(matched.student)].figures)
            for (std::size_t k = 0; k < report.items.size() && k < matched.changes.size(); ++k)
                if (report.items[k].name == figure.subject) addChange(figure, matched.changes[k]);
    }
}

} // namespace analysis
