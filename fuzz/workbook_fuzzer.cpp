// Feeds arbitrary bytes to the workbook readers the way the import uses them
// (tests/support/workbookcheck.h): every answer must be text or one of the
// failure numbers of importerrors.h; anything else, a crash or a sanitizer
// report stops the run. Built three times, for legacy sheets (import_fuzzer,
// any kind of file) and for .xlsx and .ods packages, which differ in the
// corner cell and in the seeds and dictionary run_fuzzers.sh gives them.

#include "tests/support/workbookcheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString problem =
        workbookcheck::problem(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)),
                               SCORE_CORNER_ROW, SCORE_CORNER_COLUMN);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "workbook fuzzer: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
