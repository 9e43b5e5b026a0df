#pragma once

#include <QString>

namespace report {

// The usage line printed with a command line that can't be understood.
QString usage();

// The description of every option, the JSON fields and the exit statuses.
QString helpText();

// "score-report VERSION".
QString versionText();

} // namespace report
