#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace analysis {

// General decimal form of a double with at most 15 significant digits, as the
// spreadsheet's value conversion writes it: 85, 85.5, 0.3, 1E-07,
// 1.23456789012346E+16. No trailing zeros, no point for whole numbers.
QString doubleText(double value);

// The same form with at most 7 significant digits, for single precision.
QString singleText(float value);

// A number as a workbook's XML writes a cell's value ("87", " 92.5 ",
// "1E-3"): spaces trimmed; nothing when it is no finite number.
std::optional<double> readNumberText(QStringView text);

} // namespace analysis
