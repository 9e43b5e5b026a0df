#pragma once

// libxml2's HTML parser, resolved at run time: it is loaded only when a web
// page saved as a workbook is read, so that no other start pays for it. Its
// headers give only the types.

#include <libxml/HTMLparser.h>

namespace analysis::html {

#define SCORE_HTML_FUNCTIONS(X)                                                                    \
    X(xmlInitParser)                                                                               \
    X(htmlNewParserCtxt)                                                                           \
    X(htmlCtxtReadMemory)                                                                          \
    X(htmlFreeParserCtxt)                                                                          \
    X(xmlFreeDoc)

struct HtmlApi {
#define SCORE_DECLARE(name) decltype(&::name) name = nullptr;
    SCORE_HTML_FUNCTIONS(SCORE_DECLARE)
#undef SCORE_DECLARE
};

// The functions, or null where the library is missing or incomplete.
const HtmlApi *loadHtmlApi();

} // namespace analysis::html
