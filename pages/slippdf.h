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
// (made when missing), each safely and never over a file already there.
analysis::SlipPdfResult writeStudentPdfs(const analysis::SlipPdfRequest &request);

// Both as the request asks.
analysis::SlipPdfResult writeRequestedSlips(const analysis::SlipPdfRequest &request);

} // namespace pages
