#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace analysis::text {

// Whether bytes that are neither a zip nor a compound file are text in one of
// the encodings decodeText reads: judged from their first 4 KiB, where a
// binary file's control characters show at once. A text file damaged by a
// stray NUL still counts as text, and decoding then refuses it.
bool looksLikeText(const std::uint8_t *data, std::size_t size);

// Decodes a text file: a byte-order mark (UTF-8, UTF-16 LE or BE) decides;
// else UTF-8 if the whole file is UTF-8, else GB18030 (which GBK and GB2312
// are part of). Text that none of them decodes soundly, UTF-8 damaged here
// and there, or text holding a NUL is refused: CannotOpen, else NoError.
int decodeText(const std::uint8_t *data, std::size_t size, QString *text);

// The same with an encoding the file declares (a web page's charset), tried
// first when there is no byte-order mark; null for none.
int decodeText(const std::uint8_t *data, std::size_t size, const char *declared, QString *text);

} // namespace analysis::text
