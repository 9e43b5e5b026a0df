#include "analysis/grade/gradecomparison.h"

#include "analysis/fieldnumber.h"
#include "analysis/importerrors.h"
#include "analysis/messages.h"
#include "analysis/spaces.h"
#include "analysis/workbook.h"
#include "analysis/workbookimport.h"

#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <map>
#include <mutex>
#include <numeric>
#include <thread>
#include <variant>

namespace analysis {

namespace {

// Where one class's rows lie, as numbers.
struct Layout {
    int firstRow = 0;
    std::vector<int> columns; // number, name, score
};

// What reading one source gave: its classes (in sheet order) and failures.
struct SourceResult {
    std::vector<ComparedClass> classes;
    std::vector<SourceFailure> failures;
    std::vector<bool> namedBySheet; // by class: named after its sheet
};

// The source's fields over the list's over the import's defaults, checked
// as the import checks them.
std::variant<Layout, QString> layoutOf(const ClassFields &own, const ClassFields &shared) {
    const auto pick = [&](std::optional<QString> ClassFields::*field, const char *fallback) {
        return (own.*field).value_or((shared.*field).value_or(QLatin1String(fallback)));
    };
    const std::optional<std::int16_t> firstRow =
        readFieldInteger(pick(&ClassFields::firstRow, "2"));
    if (!firstRow || *firstRow < 1) return messages::firstRowInvalid();
    Layout layout{*firstRow, {}};
    for (const auto &[field, fallback] :
         {std::pair{&ClassFields::numberColumn, "1"}, std::pair{&ClassFields::nameColumn, "2"},
          std::pair{&ClassFields::scoreColumn, "3"}}) {
        const std::optional<std::int16_t> column = readFieldInteger(pick(field, fallback));
        if (!column) return messages::columnOutOfRange();
        layout.columns.push_back(*column);
    }
    return layout;
}

// Every row of the sheet from the first data row on whose three cells are
// not all empty once their spaces are trimmed, as the import trims them.
int readClassRows(Workbook &workbook, int sheet, const Layout &layout, AnalysisInput *input) {
    std::vector<SheetRow> rows;
    if (const int failure = workbook.readRows(sheet, layout.firstRow, layout.columns, &rows))
        return failure;
    for (const SheetRow &row : rows) {
        StudentRow student{row.row, trimSpaces(row.texts[0]), trimSpaces(row.texts[1]),
                           trimSpaces(row.texts[2])};
        if (student.number.isEmpty() && student.name.isEmpty() && student.score.isEmpty()) continue;
        input->rows.push_back(std::move(student));
    }
    return NoError;
}

SourceFailure failureOf(const QString &source, int number) {
    return {source, number, importFailureMessage(number)};
}

// The sheets a source names: one, or every one.
std::vector<int> sheetsOf(const ClassSource &source, const Workbook &workbook) {
    const QStringList names = workbook.sheetNames();
    if (source.kind == ClassSource::Kind::EverySheet) {
        std::vector<int> all(std::size_t(names.size()));
        std::iota(all.begin(), all.end(), 0);
        return all;
    }
    if (source.sheet.isEmpty()) return names.isEmpty() ? std::vector<int>{} : std::vector<int>{0};
    const int index = workbook.sheetIndex(source.sheet);
    return index < 0 ? std::vector<int>{} : std::vector<int>{index};
}

// One piece of the reading: a source, or one sheet of a source that takes
// every sheet, so that the sheets of one workbook are spread over the cores.
struct Job {
    std::size_t source = 0;
    std::optional<int> sheet;
};

// Reads jobs on one thread, keeping the workbook of the last one open for
// the next: the sheets of one workbook are read from one opening per thread.
class JobReader {
public:
    JobReader(const ClassFields &shared, const AnalysisSettings &settings)
        : m_shared(shared), m_settings(settings) {}

    SourceResult read(const ClassSource &source, std::optional<int> sheet);

private:
    void readSheet(const ClassSource &source, int sheet, const Layout &layout,
                   SourceResult &result);

    const ClassFields &m_shared;
    const AnalysisSettings &m_settings;
    QString m_path;
    std::unique_ptr<Workbook> m_workbook;
    int m_error = NoError;
};

SourceResult JobReader::read(const ClassSource &source, std::optional<int> sheet) {
    SourceResult result;
    if (source.kind == ClassSource::Kind::Folder) {
        result.failures.push_back({source.label, std::nullopt, messages::folderWithoutWorkbooks()});
        return result;
    }
    const std::variant<Layout, QString> layout = layoutOf(source.fields, m_shared);
    if (const QString *message = std::get_if<QString>(&layout)) {
        result.failures.push_back({source.label, std::nullopt, *message});
        return result;
    }
    if (!m_workbook || m_path != source.path) {
        m_path = source.path;
        m_workbook = openWorkbook(source.path, &m_error);
    }
    if (!m_workbook) {
        result.failures.push_back(failureOf(source.label, m_error));
        return result;
    }
    const std::vector<int> sheets =
        sheet ? std::vector<int>{*sheet} : sheetsOf(source, *m_workbook);
    if (sheets.empty()) result.failures.push_back(failureOf(source.label, SheetMissing));
    for (const int one : sheets)
        readSheet(source, one, std::get<Layout>(layout), result);
    return result;
}

void JobReader::readSheet(const ClassSource &source, int sheet, const Layout &layout,
                          SourceResult &result) {
    const QString name = m_workbook->sheetNames()[sheet];
    const bool every = source.kind == ClassSource::Kind::EverySheet;
    const QString label = every ? source.path + u':' + name : source.label;
    AnalysisInput input;
    if (const int failure = readClassRows(*m_workbook, sheet, layout, &input)) {
        result.failures.push_back(failureOf(label, failure));
        return;
    }
    ComparedClass compared{name, label, analyseClass(std::move(input), m_settings), {}, 0};
    compared.analysis.rules.clear(); // the same for every class: the grade keeps them
    result.classes.push_back(std::move(compared));
    result.namedBySheet.push_back(every);
}

// The jobs of the sources, in their order: a source that takes every sheet
// of a workbook that opens gives one job a sheet.
std::vector<Job> jobsOf(const std::vector<ClassSource> &sources) {
    std::vector<Job> jobs;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        int error = NoError;
        const std::unique_ptr<Workbook> workbook = sources[i].kind == ClassSource::Kind::EverySheet
                                                       ? openWorkbook(sources[i].path, &error)
                                                       : nullptr;
        const int sheets = workbook ? int(workbook->sheetNames().size()) : 0;
        if (sheets == 0) jobs.push_back({i, std::nullopt});
        for (int sheet = 0; sheet < sheets; ++sheet)
            jobs.push_back({i, sheet});
    }
    return jobs;
}

// Tells the watcher how each source goes: Reading when its first job starts,
// then Read, Failed or Cancelled when its last job ends.
class ProgressReport {
public:
    ProgressReport(const CompareControl &control, const std::vector<Job> &jobs, std::size_t sources)
        : m_control(control), m_sources(sources) {
        for (const Job &job : jobs)
            ++m_sources[job.source].jobs;
    }

    void started(std::size_t source) {
        const std::lock_guard lock(m_mutex);
        if (m_sources[source].started++ == 0) tell(source, SourceState::Reading);
    }

    void ended(std::size_t source, bool failed, bool cancelled) {
        const std::lock_guard lock(m_mutex);
        Source &s = m_sources[source];
        s.failed = s.failed || failed;
        s.cancelled = s.cancelled || cancelled;
        if (++s.ended < s.jobs) return;
        tell(source, s.cancelled ? SourceState::Cancelled
                     : s.failed  ? SourceState::Failed
                                 : SourceState::Read);
    }

private:
    struct Source {
        int jobs = 0, started = 0, ended = 0;
        bool failed = false, cancelled = false;
    };

    void tell(std::size_t source, SourceState state) {
        if (m_control.progress) m_control.progress(source, state);
    }

    const CompareControl &m_control;
    std::vector<Source> m_sources;
    std::mutex m_mutex;
};

// Reads the jobs on a thread per core, each thread taking the next job not
// yet taken; the results stay in the order of the jobs.
std::vector<SourceResult> readSources(const std::vector<ClassSource> &sources,
                                      const std::vector<Job> &jobs, const ClassFields &shared,
                                      const AnalysisSettings &settings,
                                      const CompareControl &control) {
    std::vector<SourceResult> results(jobs.size());
    ProgressReport progress(control, jobs, sources.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        JobReader reader(shared, settings);
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            const std::size_t source = jobs[i].source;
            if (control.cancel && control.cancel->load()) {
                progress.ended(source, false, true);
                continue;
            }
            progress.started(source);
            results[i] = reader.read(sources[source], jobs[i].sheet);
            progress.ended(source, !results[i].failures.empty(), false);
        }
    };
    const int wanted = control.threads > 0 ? control.threads : QThread::idealThreadCount();
    const std::size_t count = std::clamp<std::size_t>(std::size_t(std::max(wanted, 1)), 1,
                                                      std::max<std::size_t>(jobs.size(), 1));
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < count; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
    return results;
}

// A class is named after its sheet when its workbook gives the list more
// than one class, else after its file; a name already taken gets "（2）",
// "（3）"… in list order.
void nameClasses(const std::vector<ClassSource> &sources, const std::vector<Job> &jobs,
                 std::vector<SourceResult> &results) {
    std::map<QString, int> classesOfFile;
    for (std::size_t j = 0; j < jobs.size(); ++j)
        classesOfFile[QFileInfo(sources[jobs[j].source].path).absoluteFilePath()] +=
            int(results[j].classes.size());
    std::map<QString, int> taken;
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        const QFileInfo file(sources[jobs[j].source].path);
        for (std::size_t c = 0; c < results[j].classes.size(); ++c) {
            QString &name = results[j].classes[c].name;
            if (!results[j].namedBySheet[c] && classesOfFile[file.absoluteFilePath()] < 2)
                name = file.completeBaseName();
            const int seen = ++taken[name];
            if (seen > 1) name += QStringLiteral("（%1）").arg(seen);
        }
    }
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
    const std::vector<Job> jobs = jobsOf(sources);
    std::vector<SourceResult> results = readSources(sources, jobs, shared, settings, control);
    nameClasses(sources, jobs, results);
    comparison.cancelled = control.cancel && control.cancel->load();
    for (SourceResult &result : results) {
        std::move(result.classes.begin(), result.classes.end(),
                  std::back_inserter(comparison.classes));
        std::move(result.failures.begin(), result.failures.end(),
                  std::back_inserter(comparison.failures));
    }
    gradeFigures(comparison);
    rankClasses(comparison.classes, comparison.grade.mean);
    return comparison;
}

} // namespace analysis
