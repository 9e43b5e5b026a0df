#include "workbook/cellvalues/datestyles.h"

#include "workbook/cellvalues/dateformat.h"

namespace analysis::cellvalues {

void DateStyles::addFormat(std::uint32_t id, QStringView code) {
    m_customIsDate[id] = isDateFormat(code);
    m_known.clear();
}

void DateStyles::addStyle(std::uint32_t formatId) {
    m_styles.push_back(formatId);
}

bool DateStyles::isDate(std::uint32_t style) const {
    if (style >= m_styles.size()) return false;
    if (m_known.size() != m_styles.size()) m_known.assign(m_styles.size(), Unknown);
    Known &known = m_known[style];
    if (known == Unknown) {
        const std::uint32_t format = m_styles[style];
        const auto custom = m_customIsDate.find(format);
        const bool date =
            custom != m_customIsDate.end() ? custom->second : isBuiltInDateFormat(format);
        known = date ? Date : NotDate;
    }
    return known == Date;
}

} // namespace analysis::cellvalues
