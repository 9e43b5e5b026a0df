#pragma once

#include <QByteArray>

#include <mutex>

namespace analysis {

// The file an export is written into before it replaces its target: an
// unnamed file in the target's folder (O_TMPFILE), linked in under a short
// hidden name only to be renamed over the target; where the file system has
// no unnamed files, a file of that short name from the start. While it has
// a name, a terminal's signals (SIGINT, SIGTERM, SIGHUP, SIGQUIT) remove it
// before they end the program, and so does the destructor; the name is short
// so that a target of the longest name a folder allows still has one.
class TemporaryFile {
public:
    TemporaryFile(const QByteArray &folder, unsigned mode);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    // 0, or the error number of the creation that failed.
    int error() const { return m_error; }
    int descriptor() const { return m_descriptor; }
    // Puts the file in place of target; 0 or the error number.
    int replace(const QByteArray &target);

private:
    int linkIn();

    std::unique_lock<std::mutex> m_guard; // one named temporary file at a time
    QByteArray m_folder, m_name;          // m_name is empty while unnamed
    int m_descriptor = -1;
    int m_error = 0;
};

} // namespace analysis
