#include "analysis/grade/gradecomparison.h"

#include "analysis/grade/sourcereading.h"
#include "analysis/grid/workbookimport.h"
#include "analysis/layout/filelayout.h"
#include "analysis/texts/messages.h"
#include "analysis/texts/spaces.h"
#include "workbook/importerrors.h"

#include <QFileInfo>

#include <algorithm>
#include <map>
#include <variant>

namespace analysis {

namespace {

// What reading one source gave: its classes (in sheet order) and failures.
struct ClassesOfSource {
    std::vector<ComparedClass> classes;
    std::vector<SourceFailure> failures;
    std::vector<bool> namedBySheet; // by class: named after its sheet
};

// The source's fields over the list's over the import's defaults, checked
// as the import checks them.
std::variant<ImportLayout, QString> layoutOf(const ClassFields &own, const ClassFields &shared) {
    ImportFields fields;
    for (const auto &[field, text] : {std::pair{&ClassFields::firstRow, &fields.firstRow},
                                      std::pair{&ClassFields::numberColumn, &fields.numberColumn},
                                      std::pair{&ClassFields::nameColumn, &fields.nameColumn},
                                      std::pair{&ClassFields::scoreColumn, &fields.scoreColumn}})
        *text = (own.*field).value_or((shared.*field).value_or(*text));
    return readImportLayout(fields);
}

// Every row of the sheet from the first data row on (to lastRow when it is
// given) whose three cells are not all empty once their spaces are trimmed,
// as the import trims them.
int readClassRows(Workbook &workbook, int sheet, const ImportLayout &layout, int lastRow,
                  AnalysisInput *input) {
    std::vector<SheetRow> rows;
    if (const int failure = workbook.readRows(sheet, layout.firstRow, layout.columns, &rows))
        return failure;
    for (const SheetRow &row : rows) {
        if (lastRow > 0 && row.row > lastRow) break;
        StudentRow student{row.row, trimSpaces(row.texts[0]), trimSpaces(row.texts[1]),
                           trimSpaces(row.texts[2])};
        if (student.number.isEmpty() && student.name.isEmpty() && student.score.isEmpty()) continue;
        input->rows.push_back(std::move(student));
    }
    return NoError;
}

// Reads sources on one thread, keeping the workbook of the last one open
// for the next: sheets of one workbook named one after another are read
// from one opening. The sheets of one source stay on one thread: its
// workbook's shared parts (the shared strings of an .xlsx, the one content
// part of an .ods) would otherwise be walked once a thread.
class SourceReader {
public:
    SourceReader(const ClassFields &shared, const AnalysisSettings &settings)
        : m_shared(shared), m_settings(settings) {}

    ClassesOfSource read(const ClassSource &source);

private:
    void readSheet(const ClassSource &source, int sheet, const ImportLayout &layout,
                   ClassesOfSource &result);
    int classEnd(const ClassSource &source, int sheet, const ImportLayout &layout) const;

    const ClassFields &m_shared;
    const AnalysisSettings &m_settings;
    QString m_path;
    std::unique_ptr<Workbook> m_workbook;
    int m_error = NoError;
};

ClassesOfSource SourceReader::read(const ClassSource &source) {
    ClassesOfSource result;
    if (source.kind == ClassSource::Kind::Folder) {
        result.failures.push_back({source.label, std::nullopt,
                                   source.unlistable ? messages::folderUnlistable(source.label)
                                                     : messages::folderWithoutWorkbooks()});
        return result;
    }
    const std::variant<ImportLayout, QString> layout = layoutOf(source.fields, m_shared);
    if (const QString *message = std::get_if<QString>(&layout)) {
        result.failures.push_back({source.label, std::nullopt, *message});
        return result;
    }
    if (!m_workbook || m_path != source.path) {
        m_path = source.path;
        m_workbook = openClassWorkbook(source.path, &m_error);
    }
    if (!m_workbook) {
        result.failures.push_back(sourceFailure(source.label, m_error));
        return result;
    }
    const std::vector<int> sheets = sheetsOfSource(source, *m_workbook);
    if (sheets.empty()) result.failures.push_back(sourceFailure(source.label, SheetMissing));
    for (const int one : sheets)
        readSheet(source, one, std::get<ImportLayout>(layout), result);
    return result;
}

void SourceReader::readSheet(const ClassSource &source, int sheet, const ImportLayout &layout,
                             ClassesOfSource &result) {
    const QString name = m_workbook->sheetNames()[sheet];
    const bool every = source.kind == ClassSource::Kind::EverySheet;
    const QString label = every ? source.path + u':' + name : source.label;
    AnalysisInput input;
    const int lastRow = classEnd(source, sheet, layout);
    if (const int failure = readClassRows(*m_workbook, sheet, layout, lastRow, &input)) {
        result.failures.push_back(sourceFailure(label, failure));
        return;
    }
    ComparedClass compared{name, label, analyseClass(std::move(input), m_settings), {}, 0};
    result.classes.push_back(std::move(compared));
    result.namedBySheet.push_back(every);
}

// The last row of the class where the fields came from the header
// detection and its first row is the one used; 0: every row.
int SourceReader::classEnd(const ClassSource &source, int sheet, const ImportLayout &layout) const {
    if (!source.fields.endAtFound && !m_shared.endAtFound) return 0;
    const SheetLayout found = detectLayout(*m_workbook, sheet);
    const bool same = found.fromHeader && found.firstRow == layout.firstRow;
    return same ? lastClassRow(found) : 0;
}

// Competition ranks of the classes by mean: equal means share a rank.
void rankClasses(std::vector<ComparedClass> &classes, const std::optional<double> &gradeMean) {
    std::vector<ComparedClass *> withMean;
    for (ComparedClass &c : classes) {
        if (!c.analysis.mean) continue;
        withMean.push_back(&c);
        if (gradeMean && *gradeMean != 0)
            c.aboveMeanRate = (*c.analysis.mean - *gradeMean) / *gradeMean * 100.0;
    }
    std::stable_sort(withMean.begin(), withMean.end(),
                     [](const ComparedClass *a, const ComparedClass *b) {
                         return *a->analysis.mean > *b->analysis.mean;
                     });
    for (std::size_t i = 0; i < withMean.size(); ++i)
        withMean[i]->rank = i > 0 && *withMean[i]->analysis.mean == *withMean[i - 1]->analysis.mean
                                ? withMean[i - 1]->rank
                                : int(i) + 1;
}

// The grade's figures over every class's rows, and its rank list. The rows
// are numbered through the grade so that each ranked student leads back to
// its class.
void gradeFigures(GradeComparison &comparison) {
    struct Origin {
        int classIndex, classRank, sheetRow;
    };
    std::size_t rows = 0;
    for (const ComparedClass &compared : comparison.classes)
        rows += std::size_t(compared.analysis.expected);
    std::vector<Origin> origins;
    origins.reserve(rows);
    AnalysisInput input;
    input.rows.reserve(rows);
    const auto add = [&](int c, const StudentRow &row, int classRank) {
        origins.push_back({c, classRank, row.gridRow});
        input.rows.push_back({int(origins.size()), row.number, row.name, row.score});
    };
    for (std::size_t c = 0; c < comparison.classes.size(); ++c) {
        const ClassAnalysis &analysis = comparison.classes[c].analysis;
        for (const RankedStudent &student : analysis.ranking)
            add(int(c), student.student, student.rank);
        for (const UncountedRow &row : analysis.uncounted)
            add(int(c), row.student, 0);
    }
    comparison.grade = analyseClass(std::move(input), comparison.settings);
    comparison.students.reserve(comparison.grade.ranking.size());
    for (const RankedStudent &ranked : comparison.grade.ranking) {
        const Origin &origin = origins[std::size_t(ranked.student.gridRow - 1)];
        StudentRow student = ranked.student;
        student.gridRow = origin.sheetRow;
        comparison.students.push_back(
            {origin.classIndex, std::move(student), ranked.score, ranked.rank, origin.classRank});
    }
    // The rank list now holds every counted student once.
    for (ComparedClass &compared : comparison.classes)
        compared.analysis.ranking = {};
    // Their rows count through the grade, not through any sheet.
    comparison.grade.ranking.clear();
    comparison.grade.uncounted.clear();
    comparison.grade.highestStudents.clear();
    comparison.grade.lowestStudents.clear();
}

} // namespace

GradeComparison compareGrade(const std::vector<ClassSource> &sources, const ClassFields &shared,
                             const AnalysisSettings &settings, const CompareControl &control) {
    GradeComparison comparison;
    comparison.settings = settings;
    std::vector<ClassesOfSource> results = readUnrepeated<ClassesOfSource>(sources, control, [&] {
        auto reader = std::make_shared<SourceReader>(shared, settings);
        return [&sources, reader](std::size_t i) { return reader->read(sources[i]); };
    });
    nameAfterSheetOrFile(sources, results, [](ClassesOfSource &result, std::size_t c) {
        return std::pair{&result.classes[c].name, true};
    });
    comparison.cancelled = control.cancel && control.cancel->load();
    for (ClassesOfSource &result : results)
        std::move(result.classes.begin(), result.classes.end(),
                  std::back_inserter(comparison.classes));
    takeFailures(results, &comparison.failures);
    gradeFigures(comparison);
    rankClasses(comparison.classes, comparison.grade.mean);
    return comparison;
}

QString sourceStateText(SourceState state) {
    switch (state) {
    case SourceState::Waiting:
        return QStringLiteral("等待读取");
    case SourceState::Reading:
        return QStringLiteral("正在读取");
    case SourceState::Read:
        return QStringLiteral("已读取");
    case SourceState::Failed:
        return QStringLiteral("读取失败");
    case SourceState::Cancelled:
        return QStringLiteral("已取消");
    }
    return {};
}

} // namespace analysis
