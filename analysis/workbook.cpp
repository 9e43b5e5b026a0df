#include "workbook.h"

#include "bytesource.h"
#include "importerrors.h"
#include "xls/xlsworkbook.h"

namespace analysis {

int Workbook::sheetIndex(const QString &name) const {
    const QStringList names = sheetNames();
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

std::unique_ptr<Workbook> openWorkbook(const QString &path, int *error) {
    FileOpenResult result;
    std::unique_ptr<ByteSource> source = openFileSource(path, &result);
    if (!source) {
        *error = CannotOpen;
        return nullptr;
    }
    return openWorkbook(std::move(source), error);
}

std::unique_ptr<Workbook> openWorkbook(std::unique_ptr<ByteSource> source, int *error) {
    return xls::openXlsWorkbook(std::move(source), error);
}

} // namespace analysis
