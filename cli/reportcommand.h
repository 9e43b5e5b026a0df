#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace report {

// Exit statuses of score-report.
constexpr int ExitOk = 0;
// A failure of the import, the statistics, the analysis or the export, or an
// option value that can't be used, with its message.
constexpr int ExitFailure = 2;
constexpr int ExitUsage = 64; // the command line can't be understood

struct Output {
    int status = ExitOk;
    QString out; // for standard output
    QString err; // for standard error
};

// Takes a long standard output (UTF-8) in pieces as it is made, so that it
// is never held whole; without one it comes back in Output::out.
using OutputStream = std::function<void(const QByteArray &)>;

// Runs score-report over its arguments (without the program name) and
// returns what it prints; kept apart from main() so that it can be tested.
Output run(const QStringList &arguments, const OutputStream &stream = {});

// A command line that cannot be understood: why, then how it is written.
Output usageFailure(const QString &why, const QString &usage);

} // namespace report
