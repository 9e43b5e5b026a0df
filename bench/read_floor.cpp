// The floor of any import: a Qt Core process that opens the workbook and
// reads its first 4 KiB, nothing more; with --whole, that reads the whole
// file through one reused buffer of 1 MiB, the least a reader of a sheet
// that must be walked to its end can do. bench/side_by_side.sh builds it
// with g++ with the flags of `pkg-config --cflags --libs Qt6Core` (not the
// CMake build):
//
//   read_floor [--whole] WORKBOOK

#include <QFile>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    const bool whole = argc == 3 && std::strcmp(argv[1], "--whole") == 0;
    if (argc != 2 && !whole) {
        std::fprintf(stderr, "usage: read_floor [--whole] WORKBOOK\n");
        return 64;
    }
    QFile file(QString::fromLocal8Bit(argv[argc - 1]));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return 2;
    QByteArray buffer(whole ? 1 << 20 : 4096, Qt::Uninitialized);
    long long total = 0;
    qint64 got = 0;
    while ((got = file.read(buffer.data(), buffer.size())) > 0) {
        total += got;
        if (!whole) break;
    }
    std::printf("%lld\n", total);
    return total == 0 ? 2 : 0;
}
