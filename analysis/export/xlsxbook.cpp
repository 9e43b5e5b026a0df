#include "analysis/export/xlsxbook.h"

#include <QFile>

#include <dlfcn.h>

namespace analysis {

const XlsxApi *loadXlsxApi() {
    static const XlsxApi *const api = []() -> const XlsxApi * {
        void *library = ::dlopen(SCORE_XLSXWRITER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static XlsxApi loaded;
        bool complete = true;
#define SCORE_RESOLVE(name)                                                                        \
    loaded.name = reinterpret_cast<decltype(&::name)>(::dlsym(library, #name));                    \
    complete = complete && loaded.name;
        SCORE_XLSX_FUNCTIONS(SCORE_RESOLVE)
#undef SCORE_RESOLVE
        return complete ? &loaded : nullptr;
    }();
    return api;
}

void SheetWriter::text(lxw_col_t column, const QString &value, bool bold) {
    m_x.worksheet_write_string(m_sheet, m_row, column, value.toUtf8().constData(),
                               bold ? m_bold : nullptr);
}

XlsxWritten writeWorkbook(const QString &path,
                          const std::function<void(const XlsxApi &, lxw_workbook *)> &fill,
                          bool constantMemory) {
    const XlsxApi *x = loadXlsxApi();
    if (!x) return XlsxWritten::LibraryMissing;
    lxw_workbook_options options{};
    options.constant_memory = constantMemory;
    lxw_workbook *book = x->workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book) return XlsxWritten::Failed;
    fill(*x, book);
    return x->workbook_close(book) == LXW_NO_ERROR ? XlsxWritten::Written : XlsxWritten::Failed;
}

} // namespace analysis
