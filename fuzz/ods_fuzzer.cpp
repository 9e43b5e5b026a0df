// Feeds OpenDocument spreadsheets (.ods) to the workbook reader, with the
// package-aware mutator of packagefuzz.h; seed it with .ods files.

#include "packagefuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    return packagefuzz::testOneInput(data, size);
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t *data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    return packagefuzz::customMutator(data, size, maxSize, seed);
}
