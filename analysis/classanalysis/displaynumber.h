#pragma once

#include <QString>

namespace analysis {

// A figure of the class analysis as shown: rounded half up (away from zero)
// to two decimals, on the value's shortest decimal form rather than on its
// binary one, so that 2.675 shows 2.68; always two decimals: "77.90".
QString displayNumber(double value);

// The value the display shows, as a number: 2.675 gives 2.68.
double displayedValue(double value);

} // namespace analysis
