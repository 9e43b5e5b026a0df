#pragma once

#include <QByteArray>
#include <QString>

namespace analysis {

// Decodes GBK bytes. Byte sequences that are not GBK come out as U+FFFD, one
// for each byte that can't start a character, and decoding goes on after them.
QString decodeGbk(const QByteArray &bytes);

// The help file's text as the help window shows it: its lines in file order,
// each followed by CR LF. A line ends at CR or at CR LF; a lone LF stays in
// its line. An empty file gives an empty text.
QString helpText(const QByteArray &gbkBytes);

struct HelpFile {
    bool ok = false;
    QString text; // the help text, or the failure message
};

// Reads the help file at path; a missing or unreadable file gives the
// failure message "无法打开帮助文件！" and nothing else.
HelpFile readHelpFile(const QString &path);

QString helpFileFailureMessage();

} // namespace analysis
