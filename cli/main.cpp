#include "cli/reportcommand.h"

#include <QFile>

#include <cstdio>

int main(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    const report::Output output = report::run(arguments);
    const QByteArray out = output.out.toUtf8();
    const QByteArray err = output.err.toUtf8();
    std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
    std::fwrite(err.constData(), 1, std::size_t(err.size()), stderr);
    return output.status;
}
