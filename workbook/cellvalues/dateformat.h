#pragma once

#include <QStringView>

#include <cstdint>

namespace analysis::cellvalues {

// Whether a number format shows its value as a date or a time: it holds a
// year, month, day, hour or second code outside quoted text, escapes and
// bracketed colour or locale tags. "0.0 \"分\"" is no date.
bool isDateFormat(QStringView format);

// Whether a built-in format number without a format of its own in the
// workbook is a date or time format (Chinese locale numbering).
bool isBuiltInDateFormat(std::uint32_t formatIndex);

} // namespace analysis::cellvalues
