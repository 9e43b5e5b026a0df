#pragma once

#include "analysis/grid/scoregrid.h"

#include <QString>

#include <variant>
#include <vector>

namespace analysis {

// The texts of the import fields, exactly as typed.
struct ImportFields {
    QString path;
    QString sheet = QStringLiteral("Sheet1");
    QString firstRow = QStringLiteral("2");
    QString numberColumn = QStringLiteral("1");
    QString nameColumn = QStringLiteral("2");
    QString scoreColumn = QStringLiteral("3");
};

struct ImportOutcome {
    enum class Status {
        Imported,
        FieldRejected, // a row or column field can't be used; nothing was read or changed
        Failed,        // the workbook layer failed with errorNumber
    };
    Status status = Status::Imported;
    int errorNumber = 0;
    QString message;

    bool ok() const { return status == Status::Imported; }
};

// Where the rows lie, as numbers: the first data row and the number, name
// and score columns.
struct ImportLayout {
    int firstRow = 0;
    std::vector<int> columns;
};

// The row and column fields read as the import reads them: the layout, or
// the message that refuses them.
std::variant<ImportLayout, QString> readImportLayout(const ImportFields &fields);

// Reads 100 consecutive sheet rows from the first data row into the grid:
// student number, name and score from the named columns, spaces trimmed. A
// row whose three cells are empty stays blank. The grid is blanked first; a
// failure stops where it stands, keeping the rows written so far.
ImportOutcome importWorkbook(const ImportFields &fields, ScoreGrid &grid);

// The message a failure number selects.
QString importFailureMessage(int errorNumber);

} // namespace analysis
