#include "analysis/export/xlsxbook.h"

#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// Sends stderr to /dev/null while it lives.
class QuietErrors {
public:
    QuietErrors() : m_saved(::dup(STDERR_FILENO)) {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0) return;
        ::dup2(null, STDERR_FILENO);
        ::close(null);
    }
    ~QuietErrors() {
        if (m_saved < 0) return;
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    QuietErrors(const QuietErrors &) = delete;
    QuietErrors &operator=(const QuietErrors &) = delete;

private:
    int m_saved;
};

bool readAll(int descriptor, QByteArray *bytes) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || ::lseek(descriptor, 0, SEEK_SET) != 0) return false;
    bytes->resize(qsizetype(status.st_size));
    qsizetype done = 0;
    while (done < bytes->size()) {
        const ssize_t got =
            ::read(descriptor, bytes->data() + done, std::size_t(bytes->size() - done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += got;
    }
    return true;
}

} // namespace

XlsxWritten writeWorkbook(QByteArray *bytes,
                          const std::function<void(const XlsxApi &, lxw_workbook *)> &fill,
                          bool constantMemory) {
    const XlsxApi *x = loadXlsxApi();
    if (!x) return XlsxWritten::LibraryMissing;
    const int memory = ::memfd_create("score-report.xlsx", MFD_CLOEXEC);
    if (memory < 0) return XlsxWritten::Failed;
    const QByteArray path = "/proc/self/fd/" + QByteArray::number(memory);
    bool written = false;
    {
        const QuietErrors quiet;
        lxw_workbook_options options{};
        options.constant_memory = constantMemory;
        if (lxw_workbook *book = x->workbook_new_opt(path.constData(), &options)) {
            fill(*x, book);
            written = x->workbook_close(book) == LXW_NO_ERROR;
        }
    }
    written = written && readAll(memory, bytes);
    ::close(memory);
    return written ? XlsxWritten::Written : XlsxWritten::Failed;
}

} // namespace analysis
