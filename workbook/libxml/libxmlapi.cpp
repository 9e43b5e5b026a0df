#include "workbook/libxml/libxmlapi.h"

#include <dlfcn.h>

namespace analysis::libxml {

const LibXmlApi *loadLibXml() {
    static const LibXmlApi *const api = []() -> const LibXmlApi * {
        void *library = ::dlopen(SCORE_LIBXML2_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static LibXmlApi loaded;
        bool complete = true;
#define SCORE_RESOLVE(name)                                                                        \
    loaded.name = reinterpret_cast<decltype(&::name)>(::dlsym(library, #name));                    \
    complete = complete && loaded.name;
        SCORE_LIBXML_FUNCTIONS(SCORE_RESOLVE)
#undef SCORE_RESOLVE
        if (!complete) return nullptr;
        // Once, before any thread parses: the grade comparison reads files on
        // threads of its own.
        loaded.xmlInitParser();
        return &loaded;
    }();
    return api;
}

} // namespace analysis::libxml
