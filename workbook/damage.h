#pragma once

#include "workbook/importerrors.h"

namespace analysis {

// Where a reader last found a file damaged: the source file and line of the
// check that fired, or a null file when none has since the last clear.
struct DamageSite {
    const char *file = nullptr;
    int line = 0;
};

// Every "this file is damaged" answer of the readers goes through here, so
// that a hostile file tells which check it tripped: the site is kept per
// thread for tests, and with SCORE_TRACE_DAMAGE set in the environment it
// is written to the debug log as well. Returns CannotOpen, the number the
// import shows for any damage.
int damagedAt(const char *file, int line);

DamageSite lastDamage();
void clearLastDamage();

} // namespace analysis

// The failure number of damage found here.
#define WORKBOOK_DAMAGED() ::analysis::damagedAt(__FILE__, __LINE__)
