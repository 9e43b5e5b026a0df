#include "analysis/slips/slipfiles.h"

#include <QSet>

namespace analysis {

namespace {

// Linux file names end at 255 bytes; the number and name are cut well before.
constexpr int MaximumStemLength = 60;

QString safePart(const QString &text, const QString &empty) {
    QString part;
    for (const QChar c : text.trimmed())
        part += c == u'/' || c == u'\\' || c.category() == QChar::Other_Control ? u'_' : c;
    if (part.isEmpty()) return empty;
    return part.left(MaximumStemLength);
}

} // namespace

QByteArray pdfInfoString(const QString &text) {
    QByteArray bytes("(\xfe\xff");
    for (const QChar c : text)
        for (const char part : {char(c.unicode() >> 8), char(c.unicode() & 0xff)}) {
            if (part == '(' || part == ')' || part == '\\') bytes += '\\';
            bytes += part;
        }
    return bytes + ')';
}

QString slipPdfTitle(const QString &fileName) {
    QString stem = fileName;
    if (stem.endsWith(QLatin1String(".pdf"))) stem.chop(4);
    return QStringLiteral("成绩条 ") + stem;
}

bool isSlipPdf(const QByteArray &opening, const QString &title, const QString &creator) {
    return opening.startsWith("%PDF-") &&
           opening.contains("\n/Title " + pdfInfoString(title) + '\n') &&
           opening.contains("\n/Creator " + pdfInfoString(creator) + '\n');
}

std::vector<SlipFile> slipFileNames(const std::vector<SlipStudent> &students,
                                    const QStringList &existingFiles) {
    QSet<QString> taken(existingFiles.begin(), existingFiles.end());
    std::vector<SlipFile> files;
    files.reserve(students.size());
    for (const SlipStudent &student : students) {
        const QString number = safePart(student.number, QStringLiteral("无学号"));
        const QString name = safePart(student.name, QStringLiteral("无姓名"));
        QString stem = number + u' ' + name;
        bool changed = number != student.number || name != student.name;
        // A name starting with a dot would be hidden from the family's file list.
        if (stem.startsWith(u'.')) {
            stem.replace(0, 1, u'_');
            changed = true;
        }
        QString fileName = stem + QStringLiteral(".pdf");
        for (int copy = 2; taken.contains(fileName); ++copy) {
            fileName = QStringLiteral("%1（%2）.pdf").arg(stem).arg(copy);
            changed = true;
        }
        taken.insert(fileName);
        files.push_back({fileName, changed});
    }
    return files;
}

} // namespace analysis
