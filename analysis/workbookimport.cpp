#include "analysis/workbookimport.h"

#include "analysis/fieldnumber.h"
#include "analysis/importerrors.h"
#include "analysis/limits.h"
#include "analysis/messages.h"
#include "analysis/spaces.h"
#include "analysis/workbook.h"

#include <array>
#include <optional>

namespace analysis {

namespace {

ImportOutcome rejected(const QString &message) {
    return {ImportOutcome::Status::FieldRejected, 0, message};
}

ImportOutcome failed(int number) {
    return {ImportOutcome::Status::Failed, number, importFailureMessage(number)};
}

} // namespace

QString importFailureMessage(int errorNumber) {
    switch (errorNumber) {
    case CannotOpen:
        return messages::cannotOpenWorkbook();
    case SheetMissing:
        return messages::sheetNotFound();
    case NotAWorkbook:
        return messages::notAWorkbook();
    case CellOutOfRange:
        return messages::columnOutOfRange();
    default:
        return messages::unknownImportError(errorNumber);
    }
}

ImportOutcome importWorkbook(const ImportFields &fields, ScoreGrid &grid) {
    // The settings are checked before the grid changes: a value outside the
    // 16-bit range, or a first row before the sheet's first, has no use.
    const std::optional<std::int16_t> firstRow = readFieldInteger(fields.firstRow);
    if (!firstRow || *firstRow < 1) return rejected(messages::firstRowInvalid());
    std::array<int, ScoreGrid::Columns> columns{};
    const QString *columnFields[] = {&fields.numberColumn, &fields.nameColumn, &fields.scoreColumn};
    for (int c = 0; c < ScoreGrid::Columns; ++c) {
        const std::optional<std::int16_t> column = readFieldInteger(*columnFields[c]);
        if (!column) return rejected(messages::columnOutOfRange());
        columns[std::size_t(c)] = *column;
    }

    grid.clear();

    int error = 0;
    const std::unique_ptr<Workbook> workbook = openWorkbook(fields.path, &error);
    if (!workbook) return failed(error);
    const int sheet = workbook->sheetIndex(fields.sheet);
    if (sheet < 0) return failed(SheetMissing);

    for (int i = 0; i < ScoreGrid::Rows; ++i) {
        const int sheetRow = *firstRow + i;
        if (sheetRow > FieldMaximum) return failed(RowOverflow);
        std::array<QString, ScoreGrid::Columns> texts;
        for (int c = 0; c < ScoreGrid::Columns; ++c) {
            if (const int failure = workbook->cellText(sheet, sheetRow, columns[std::size_t(c)],
                                                       &texts[std::size_t(c)]))
                return failed(failure);
            texts[std::size_t(c)] = trimSpaces(texts[std::size_t(c)]);
        }
        if (texts[0].isEmpty() && texts[1].isEmpty() && texts[2].isEmpty()) continue;
        for (int c = 0; c < ScoreGrid::Columns; ++c)
            grid.setText(i, c, texts[std::size_t(c)]);
    }
    return {};
}

} // namespace analysis
