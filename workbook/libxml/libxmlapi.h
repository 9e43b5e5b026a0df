#pragma once

// libxml2, resolved at run time: it is loaded only when a file that needs it
// is read (a workbook zipped as XML, a web page saved as .xls), so that no
// other start pays for it. Its headers give only the types.

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

namespace analysis::libxml {

#define SCORE_LIBXML_FUNCTIONS(X)                                                                  \
    X(xmlInitParser)                                                                               \
    X(htmlNewParserCtxt)                                                                           \
    X(htmlCtxtReadMemory)                                                                          \
    X(htmlFreeParserCtxt)                                                                          \
    X(xmlFreeDoc)                                                                                  \
    X(xmlCreatePushParserCtxt)                                                                     \
    X(xmlCtxtUseOptions)                                                                           \
    X(xmlParseChunk)                                                                               \
    X(xmlStopParser)                                                                               \
    X(xmlFreeParserCtxt)

struct LibXmlApi {
#define SCORE_DECLARE(name) decltype(&::name) name = nullptr;
    SCORE_LIBXML_FUNCTIONS(SCORE_DECLARE)
#undef SCORE_DECLARE
};

// The functions, or null where the library is missing or incomplete.
const LibXmlApi *loadLibXml();

} // namespace analysis::libxml
