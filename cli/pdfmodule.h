#pragma once

#include <QString>

namespace report {

// Whether the name ends in .pdf, in any case.
bool isPdfName(const QString &path);

// A function of the PDF module beside the running program (in the build
// tree and when installed), loaded only when a PDF is asked for, so that
// every other run starts without Qt Gui. Null when it can't be loaded.
void *pdfModuleSymbol(const char *symbol);
template <typename Function> Function pdfModuleFunction(const char *symbol) {
    return reinterpret_cast<Function>(pdfModuleSymbol(symbol));
}

// The message for a module that can't be loaded.
QString pdfModuleMissing();

// Writes the request through the module's function of that name, which
// reports a failure as a text; the text, or the module's own failure.
template <typename Request> QString writePdf(const char *symbol, const Request &request) {
    using Write = void (*)(const Request *, QString *);
    const auto write = pdfModuleFunction<Write>(symbol);
    if (!write) return pdfModuleMissing();
    QString failure;
    write(&request, &failure);
    return failure;
}

} // namespace report
