#pragma once

#include <QString>

namespace analysis {

// The columns a text takes in a terminal or a spreadsheet column: East Asian
// wide and full-width characters take two, others one.
int displayWidth(const QString &text);

} // namespace analysis
