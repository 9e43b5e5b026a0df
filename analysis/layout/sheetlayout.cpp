#include "analysis/layout/sheetlayout.h"

#include "analysis/layout/contentguess.h"
#include "analysis/layout/headerrow.h"
#include "analysis/layout/headerwords.h"
#include "analysis/layout/sheetsample.h"
#include "analysis/texts/messages.h"
#include "workbook/importerrors.h"

namespace analysis {

namespace {

// The cells of each column read below the header, whatever the sheet holds.
constexpr int SampledCells = 200;

const QString numberWord = QStringLiteral("学号");
const QString nameWord = QStringLiteral("姓名");
const QString classWord = QStringLiteral("班级");
const QString scoreWord = QStringLiteral("成绩");

// The rows searched for the header, wider only when they reach past the
// columns every window keeps.
int readHeaderRows(SheetSample &sample) {
    if (const int failure = sample.readTo(HeaderSearchRows, SheetSample::RowWiseColumns))
        return failure;
    if (sample.lastColumn(1, HeaderSearchRows) < SheetSample::RowWiseColumns) return NoError;
    return sample.readTo(HeaderSearchRows, SheetSample::MostColumns);
}

void takeColumn(LayoutColumn &into, int column, const QString &header) {
    if (!into.found()) into = {column, header};
}

void fillFromHeader(const HeaderRows &header, SheetLayout &layout) {
    for (std::size_t i = 0; i < header.columns.size(); ++i) {
        const int column = int(i) + 1;
        const ColumnHeader &named = header.columns[i];
        switch (named.kind) {
        case HeaderKind::Number:
            takeColumn(layout.number, column, named.text);
            break;
        case HeaderKind::Name:
            takeColumn(layout.name, column, named.text);
            break;
        case HeaderKind::Class:
            takeColumn(layout.className, column, named.text);
            break;
        case HeaderKind::Subject:
        case HeaderKind::Score:
            layout.scores.push_back({column, named.text});
            break;
        case HeaderKind::Total:
            takeColumn(layout.total, column, named.text);
            break;
        case HeaderKind::Rank:
            takeColumn(layout.rank, column, named.text);
            break;
        case HeaderKind::Course:
            takeColumn(layout.course, column, named.text);
            break;
        case HeaderKind::Remark:
            takeColumn(layout.remark, column, named.text);
            break;
        case HeaderKind::None:
            break;
        }
    }
}

// A row whose first text is a footer word (平均分, 合计, 制表人) and whose
// number and name hold nothing else.
bool isFooterRow(const SheetSample &sample, const SheetLayout &layout, int row) {
    const QString first = sample.firstText(row);
    if (!isFooterText(first)) return false;
    // The footer word often stands in the number column itself.
    const auto unnamed = [&](const LayoutColumn &column) {
        const QString text = sample.text(row, column.column);
        return text.isEmpty() || text == first;
    };
    return unnamed(layout.number) && unnamed(layout.name);
}

// The last data row: the one before the first row that is empty or a footer.
// 0 when the sample ends first.
int lastDataRow(const SheetSample &sample, const SheetLayout &layout) {
    for (int row = layout.firstRow; row <= sample.rows(); ++row)
        if (sample.rowEmpty(row) || isFooterRow(sample, layout, row)) return row - 1;
    return 0;
}

// The first footer row below the data; an empty row does not end the class,
// as the import reads past it. 0 when the sample ends first.
int firstFooterRow(const SheetSample &sample, const SheetLayout &layout) {
    for (int row = layout.firstRow; row <= sample.rows(); ++row)
        if (!sample.rowEmpty(row) && isFooterRow(sample, layout, row)) return row;
    return 0;
}

void noteMissing(SheetLayout &layout) {
    const std::pair<const LayoutColumn *, const QString *> columns[] = {
        {&layout.number, &numberWord}, {&layout.name, &nameWord}, {&layout.className, &classWord}};
    for (const auto &[column, word] : columns)
        if (!column->found()) layout.notes.append(messages::layoutColumnMissing(*word));
    if (layout.scores.empty() && !layout.total.found())
        layout.notes.append(messages::layoutColumnMissing(scoreWord));
}

// The subjects a long table's rows name, as far as the sample reaches.
void sampleCourses(const SheetSample &sample, SheetLayout &layout) {
    if (!layout.course.found()) return;
    const int last = layout.lastRow ? layout.lastRow : sample.rows();
    for (int row = layout.firstRow; row <= last; ++row) {
        const QString subject = sample.text(row, layout.course.column);
        if (!subject.isEmpty() && !layout.courses.contains(subject)) layout.courses << subject;
    }
    layout.notes.append(messages::layoutLongTable(layout.course.column));
}

int layoutFromHeader(SheetSample &sample, const HeaderRows &header, SheetLayout &layout) {
    layout.fromHeader = true;
    layout.headerRow = header.first;
    layout.headerRows = header.count;
    layout.firstRow = header.first + header.count;
    fillFromHeader(header, layout);
    const int width = sample.lastColumn(header.first, layout.firstRow - 1);
    if (const int failure = sample.readTo(layout.firstRow + SampledCells - 1, width))
        return failure;
    layout.lastRow = lastDataRow(sample, layout);
    layout.footerRow = firstFooterRow(sample, layout);
    noteMissing(layout);
    sampleCourses(sample, layout);
    return NoError;
}

int layoutFromContent(SheetSample &sample, SheetLayout &layout) {
    layout.notes.append(messages::layoutNoHeader());
    if (const int failure = sample.readTo(SampledCells, sample.lastColumn(1, HeaderSearchRows)))
        return failure;
    const ContentGuess guess = guessFromContent(sample);
    layout.firstRow = guess.firstRow;
    layout.lastRow = guess.lastRow;
    layout.number.column = guess.number;
    layout.name.column = guess.name;
    for (const int column : guess.scores)
        layout.scores.push_back({column, QString()});
    if (guess.number) layout.notes.append(messages::layoutColumnGuessed(numberWord, guess.number));
    if (guess.name) layout.notes.append(messages::layoutColumnGuessed(nameWord, guess.name));
    for (const int column : guess.scores)
        layout.notes.append(messages::layoutColumnGuessed(scoreWord, column));
    noteMissing(layout);
    return NoError;
}

SheetLayout sheetLayout(Workbook &workbook, int sheet, const QString &name) {
    SheetLayout layout;
    layout.sheet = sheet;
    layout.sheetName = name;
    SheetSample sample(workbook, sheet);
    // The header rows and the cells below the lowest header: read in one pass.
    workbook.expectFirstRows(sheet, HeaderSearchRows + 1 + SampledCells);
    int failure = readHeaderRows(sample);
    if (failure == NoError) {
        const HeaderRows header = findHeader(sample);
        failure = header.first ? layoutFromHeader(sample, header, layout)
                               : layoutFromContent(sample, layout);
    }
    layout.errorNumber = failure;
    if (failure == NoError && layout.firstRow && !layout.lastRow)
        layout.notes.append(messages::layoutDataRunsOn(sample.rows()));
    return layout;
}

bool guessedAny(const SheetLayout &layout) {
    return layout.number.found() || layout.name.found() || !layout.scores.empty();
}

} // namespace

LayoutColumn SheetLayout::firstScore() const {
    for (const LayoutColumn &score : scores)
        if (headerKind(score.header) == HeaderKind::Subject) return score;
    return scores.empty() ? total : scores.front();
}

LayoutColumn SheetLayout::longTableScore() const {
    for (const LayoutColumn &score : scores)
        if (headerKind(score.header) == HeaderKind::Score) return score;
    return scores.empty() ? LayoutColumn() : scores.front();
}

bool SheetLayout::completeHeader() const {
    return fromHeader && number.found() && name.found() && firstScore().found();
}

SheetLayout detectLayout(Workbook &workbook, std::optional<int> sheet) {
    const QStringList names = workbook.sheetNames();
    if (sheet) {
        if (*sheet < 0 || *sheet >= names.size()) {
            SheetLayout missing;
            missing.errorNumber = SheetMissing;
            return missing;
        }
        return sheetLayout(workbook, *sheet, names[*sheet]);
    }
    std::optional<SheetLayout> guessed;
    for (int i = 0; i < names.size(); ++i) {
        SheetLayout layout = sheetLayout(workbook, i, names[i]);
        if (layout.errorNumber) return layout;
        if (layout.fromHeader) {
            layout.notes.prepend(messages::layoutHeaderFound(names[i], layout.headerRow));
            return layout;
        }
        if (!guessed || (!guessedAny(*guessed) && guessedAny(layout))) guessed = std::move(layout);
    }
    if (guessed) {
        guessed->notes.prepend(messages::layoutSheetGuessed(guessed->sheetName));
        return *guessed;
    }
    SheetLayout none;
    none.notes.append(messages::layoutNoSheet());
    return none;
}

} // namespace analysis
