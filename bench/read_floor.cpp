// The floor of any import: a Qt Core process that opens the workbook and
// reads its first 4 KiB, nothing more. bench/side_by_side.sh builds it with
// g++ with the flags of `pkg-config --cflags --libs Qt6Core` (not the CMake
// build):
//
//   read_floor WORKBOOK

#include <QFile>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_floor WORKBOOK\n");
        return 64;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) return 2;
    const QByteArray head = file.read(4096);
    std::printf("%lld\n", static_cast<long long>(head.size()));
    return head.isEmpty() ? 2 : 0;
}
