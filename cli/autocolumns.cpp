#include "cli/autocolumns.h"

#include "analysis/layout/filelayout.h"
#include "analysis/texts/messages.h"

namespace report {

bool isFieldOption(const QString &name) {
    for (const char *option : {"--first-row", "--number-column", "--name-column", "--score-column"})
        if (name == QLatin1String(option)) return true;
    return false;
}

QString autoWithFields() {
    return QStringLiteral("--columns auto自行找出数据起始行和各列，不能再给出--first-row、"
                          "--number-column、--name-column或--score-column");
}

AutoColumns autoColumns(const QString &path, const std::optional<QString> &sheet) {
    AutoColumns found;
    const analysis::SheetLayout layout = analysis::detectFileLayout(path, sheet);
    if (layout.errorNumber) {
        found.errorNumber = layout.errorNumber;
        found.message = analysis::importFailureMessage(layout.errorNumber);
        return found;
    }
    found.fields = analysis::layoutImportFields(layout, path);
    // What was guessed is said, never used silently.
    if (!layout.fromHeader || !found.fields)
        for (const QString &note : layout.notes)
            found.notes += note + u'\n';
    if (!found.fields) {
        found.message = analysis::messages::layoutIncomplete(path);
        return found;
    }
    found.dataRows = analysis::dataRowCount(layout);
    const analysis::ImportFields &f = *found.fields;
    found.notes += analysis::messages::layoutUsed(f.sheet, layout.firstRow, f.numberColumn.toInt(),
                                                  f.nameColumn.toInt(), f.scoreColumn.toInt()) +
                   u'\n';
    return found;
}

namespace {

void fillUntyped(std::optional<QString> &field, const QString &found) {
    if (!field) field = found;
}

} // namespace

std::optional<QString> autoSourceColumns(std::vector<analysis::ClassSource> &sources,
                                         const std::optional<QString> &sheet, QString *notes) {
    for (analysis::ClassSource &source : sources) {
        if (source.kind == analysis::ClassSource::Kind::Folder) continue;
        const bool file = source.kind == analysis::ClassSource::Kind::File;
        const std::optional<QString> named =
            file && !source.sheet.isEmpty() ? std::optional<QString>(source.sheet) : sheet;
        const AutoColumns found = autoColumns(source.path, file ? named : std::nullopt);
        *notes += found.notes;
        if (!found.fields) return found.message;
        if (file && source.sheet.isEmpty()) source.sheet = found.fields->sheet;
        // The rows below the class are left out only where the rows are the ones found.
        if (!source.fields.firstRow) source.fields.endAtFound = true;
        fillUntyped(source.fields.firstRow, found.fields->firstRow);
        fillUntyped(source.fields.numberColumn, found.fields->numberColumn);
        fillUntyped(source.fields.nameColumn, found.fields->nameColumn);
        fillUntyped(source.fields.scoreColumn, found.fields->scoreColumn);
    }
    return std::nullopt;
}

} // namespace report
