#include "analysis/texts/filenames.h"
#include "analysis/texts/terminaltext.h"
#include "cli/reportcommand.h"

#include <cstdio>

int main(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(analysis::nameFromBytes(argv[i]));
    // A long output is written as it is made, shown as terminalText shows it.
    const report::Output output = report::run(arguments, [](const QByteArray &piece) {
        const QByteArray shown = analysis::terminalUtf8(piece);
        std::fwrite(shown.constData(), 1, std::size_t(shown.size()), stdout);
    });
    // A cell's control characters are shown, never obeyed by the terminal.
    const QByteArray out = analysis::terminalText(output.out).toUtf8();
    const QByteArray err = analysis::terminalText(output.err).toUtf8();
    std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
    std::fwrite(err.constData(), 1, std::size_t(err.size()), stderr);
    return output.status;
}
