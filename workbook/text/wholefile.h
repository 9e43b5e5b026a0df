#pragma once

#include "workbook/bytesource.h"

#include <QByteArray>

#include <cstdint>

namespace analysis::text {

// The bytes of a file that is read whole (a text file, a web page): in place
// when the source holds them in memory, else copied into *copy. Null for a
// file too large to be a table of text or one that can't be read.
const std::uint8_t *wholeFile(ByteSource &source, QByteArray *copy);

} // namespace analysis::text
