#pragma once

#include "analysis/slips/slipinput.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace analysis {

// The file of one student's own PDF in a folder: 学号 姓名.pdf.
struct SlipFile {
    QString fileName;
    bool changed = false; // the name was made safe or kept apart from another
};

// A file name for each student, in order: a "/" or a character a file name
// can't hold becomes "_", an empty number 无学号, an empty name 无姓名; a name
// already given in this run, or of a file already in the folder, gets
// "（2）", "（3）", … so that nothing is written over.
std::vector<SlipFile> slipFileNames(const std::vector<SlipStudent> &students,
                                    const QStringList &existingFiles);

// The title a student's own PDF carries, 成绩条 and its file name without
// .pdf, by which a later run knows the file as that student's slip.
QString slipPdfTitle(const QString &fileName);

// Whether the opening bytes of a file are a PDF whose document information
// holds this title and creator as Qt's PDF writer puts them (UTF-16 with a
// byte order mark, in brackets): a slip this program wrote.
bool isSlipPdf(const QByteArray &opening, const QString &title, const QString &creator);

// A text string of a PDF's document information as Qt's PDF writer puts it.
QByteArray pdfInfoString(const QString &text);

} // namespace analysis
