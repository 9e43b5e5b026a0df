#include "analysis/grid/workbookimport.h"

#include "analysis/grid/fieldnumber.h"
#include "analysis/texts/filenames.h"
#include "analysis/texts/messages.h"
#include "analysis/texts/spaces.h"
#include "workbook/importerrors.h"
#include "workbook/open/openworkbook.h"

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

std::variant<ImportLayout, QString> readImportLayout(const ImportFields &fields) {
    // A value outside the 16-bit range, or a first row before the sheet's
    // first, has no use.
    const std::optional<std::int16_t> firstRow = readFieldInteger(fields.firstRow);
    if (!firstRow || *firstRow < 1) return messages::firstRowInvalid();
    ImportLayout layout{*firstRow, {}};
    for (const QString *field : {&fields.numberColumn, &fields.nameColumn, &fields.scoreColumn}) {
        const std::optional<std::int16_t> column = readFieldInteger(*field);
        if (!column) return messages::columnOutOfRange();
        layout.columns.push_back(*column);
    }
    return layout;
}

ImportOutcome importWorkbook(const ImportFields &fields, ScoreGrid &grid) {
    // The settings are checked before the grid changes.
    const std::variant<ImportLayout, QString> read = readImportLayout(fields);
    if (const QString *message = std::get_if<QString>(&read)) return rejected(*message);
    const ImportLayout &layout = std::get<ImportLayout>(read);

    grid.clear();

    int error = 0;
    const OpenableName name(fields.path);
    const std::unique_ptr<Workbook> workbook = openWorkbook(name.path(), &error);
    if (!workbook) return failed(error);
    const int sheet = workbook->sheetIndex(fields.sheet);
    if (sheet < 0) return failed(SheetMissing);

    for (int i = 0; i < ScoreGrid::Rows; ++i) {
        const int sheetRow = layout.firstRow + i;
        if (sheetRow > FieldMaximum) return failed(RowOverflow);
        std::array<QString, ScoreGrid::Columns> texts;
        for (int c = 0; c < ScoreGrid::Columns; ++c) {
            if (const int failure = workbook->cellText(
                    sheet, sheetRow, layout.columns[std::size_t(c)], &texts[std::size_t(c)]))
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
