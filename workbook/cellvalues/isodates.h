#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace analysis::cellvalues {

// Both zip-based formats can write dates as ISO 8601 text where the legacy
// format writes a serial number.

// A date and time as the grid shows a date serial: "2024-03-15" is
// "2024/3/15", "2024-03-15T08:30:00" is "2024/3/15 8:30:00" and a time alone,
// "08:30:00", is "8:30:00". Seconds round to whole ones; a zone designator is
// allowed and ignored. The date is shown as written, also before 1900, where
// serials don't reach.
std::optional<QString> isoDateText(QStringView text);

// A duration such as "PT08H30M00S" or "-P1DT2H": the fraction of days, as a
// time is stored in a serial.
std::optional<double> isoDurationSerial(QStringView text);

} // namespace analysis::cellvalues
