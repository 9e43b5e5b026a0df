#include "workbook/html/htmllibrary.h"

#include <dlfcn.h>

namespace analysis::html {

const HtmlApi *loadHtmlApi() {
    static const HtmlApi *const api = []() -> const HtmlApi * {
        void *library = ::dlopen(SCORE_LIBXML2_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static HtmlApi loaded;
        bool complete = true;
#define SCORE_RESOLVE(name)                                                                        \
    loaded.name = reinterpret_cast<decltype(&::name)>(::dlsym(library, #name));                    \
    complete = complete && loaded.name;
        SCORE_HTML_FUNCTIONS(SCORE_RESOLVE)
#undef SCORE_RESOLVE
        if (!complete) return nullptr;
        // Once, before any thread parses: the grade comparison reads pages on
        // threads of its own.
        loaded.xmlInitParser();
        return &loaded;
    }();
    return api;
}

} // namespace analysis::html
