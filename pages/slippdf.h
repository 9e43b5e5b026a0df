#pragma once

#include "analysis/slips/slippdfrequest.h"
#include "pages/sliplayout.h"

namespace pages {

// The slips of the request laid out in its form.
SlipLayout layoutRequestedSlips(const analysis::SlipPdfRequest &request, SlipForm form);

// Writes the slips as one PDF through writeFileSafely, never over any of
// protectedPaths. Returns an empty text or the message of the failure.
QString writeSlipsPdf(const SlipLayout &layout, const QString &path,
                      const QStringList &protectedPaths);

// Writes each student's page as its own PDF, 学号 姓名.pdf, into the folder
// (made when missing), each safely. A file already there is replaced only
// when it is a slip this program wrote under that name (its title says so);
// any other keeps its name and the student's PDF takes another.
analysis::SlipPdfResult writeStudentPdfs(const analysis::SlipPdfRequest &request);

// Both as the request asks.
analysis::SlipPdfResult writeRequestedSlips(const analysis::SlipPdfRequest &request);

} // namespace pages
