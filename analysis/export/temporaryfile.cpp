#include "analysis/export/temporaryfile.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace analysis {

namespace {

std::mutex g_serial;
const int Signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction g_previous[std::size(Signals)];
char g_pending[PATH_MAX];
volatile std::sig_atomic_t g_armed = 0;

// Removes the named temporary file, then lets the signal do what it did.
extern "C" void removeAndResignal(int signal) {
    if (g_armed) ::unlink(g_pending);
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        if (Signals[i] == signal) ::sigaction(signal, &g_previous[i], nullptr);
    ::raise(signal);
}

void arm(const QByteArray &name) {
    std::snprintf(g_pending, sizeof g_pending, "%s", name.constData());
    struct sigaction action {};
    action.sa_handler = removeAndResignal;
    ::sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &action, &g_previous[i]);
    g_armed = 1;
}

void disarm() {
    if (!g_armed) return;
    g_armed = 0;
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &g_previous[i], nullptr);
}

QByteArray shortName(const QByteArray &folder, int attempt) {
    return folder + "/.score-" + QByteArray::number(::getpid(), 36) + '-' +
           QByteArray::number(attempt, 36);
}

} // namespace

TemporaryFile::TemporaryFile(const QByteArray &folder, unsigned mode)
    : m_guard(g_serial), m_folder(folder) {
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_descriptor = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (m_descriptor >= 0) return;
        // Only a file system without unnamed files is written to by name.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            m_error = errno;
            return;
        }
    }
    // The name is armed before the file exists and completed in place, so
    // that a signal at any moment finds the file that was made.
    arm(folder + "/.score-XXXXXX");
    m_descriptor = ::mkostemp(g_pending, O_CLOEXEC);
    if (m_descriptor < 0) {
        m_error = errno;
        disarm();
        return;
    }
    m_name = g_pending;
}

TemporaryFile::~TemporaryFile() {
    if (m_descriptor >= 0) ::close(m_descriptor);
    if (!m_name.isEmpty()) ::unlink(m_name.constData());
    disarm();
}

int TemporaryFile::linkIn() {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_descriptor);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = shortName(m_folder, attempt);
        arm(name);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
            0) {
            m_name = name;
            return 0;
        }
        disarm();
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int TemporaryFile::replace(const QByteArray &target) {
    if (m_name.isEmpty())
        if (const int error = linkIn()) return error;
    if (std::rename(m_name.constData(), target.constData()) != 0) return errno;
    m_name.clear(); // renamed: nothing of it is left to remove
    disarm();
    return 0;
}

} // namespace analysis
