#include "cli/slipcommand.h"

#include "analysis/progress/progresstables.h"
#include "analysis/slips/examslips.h"
#include "analysis/slips/slipchanges.h"
#include "analysis/slips/slippdfrequest.h"
#include "analysis/slips/slipxlsx.h"
#include "analysis/texts/messages.h"
#include "cli/analysistext.h"
#include "cli/examcommand.h"
#include "cli/pdfmodule.h"

namespace report {

namespace {

using namespace analysis;

struct SlipCommandOptions {
    ExamCommandOptions exam;           // this exam's sources and the whole-exam options
    std::vector<ClassSource> previous; // the last exam's, read with the same options
    bool hasPrevious = false;
    SlipExam header;
    std::optional<QString> preset, items, perStudentFolder;
    bool pagePerStudent = false, fiveGrades = false;
};

// The slips' own options that take a value.
QString *slipField(const QString &name, SlipCommandOptions &o) {
    const std::pair<const char *, QString *> plain[] = {{"--school", &o.header.school},
                                                        {"--class-name", &o.header.className},
                                                        {"--exam", &o.header.exam},
                                                        {"--date", &o.header.date}};
    for (const auto &[option, field] : plain)
        if (name == QLatin1String(option)) return field;
    const std::pair<const char *, std::optional<QString> *> optional[] = {
        {"--preset", &o.preset},
        {"--items", &o.items},
        {"--per-student-folder", &o.perStudentFolder}};
    for (const auto &[option, field] : optional)
        if (name == QLatin1String(option)) return &field->emplace();
    return nullptr;
}

bool slipFlag(const QString &argument, SlipCommandOptions &o) {
    if (argument == u"--slips") return true;
    if (argument == u"--page-per-student") return o.pagePerStudent = true;
    if (argument == u"--five-grades") return o.fiveGrades = true;
    return false;
}

// One argument; false when it is no option of the slips nor of the whole exam.
bool readArgument(const QStringList &arguments, qsizetype &i, SlipCommandOptions &o,
                  bool &inPrevious, QString *error) {
    const QString &argument = arguments[i];
    if (inPrevious && !argument.startsWith(QLatin1String("--"))) {
        const std::optional<ClassSource> source = parseClassSource(argument);
        if (!source)
            *error = messages::sourceInvalid(argument);
        else
            o.previous.push_back(*source);
        return true;
    }
    inPrevious = argument == u"--previous";
    if (inPrevious) return o.hasPrevious = true;
    if (slipFlag(argument, o)) return true;
    const qsizetype equals = argument.indexOf(u'=');
    const QString name = equals >= 0 ? argument.left(equals) : argument;
    QString *field = argument.startsWith(QLatin1String("--")) ? slipField(name, o) : nullptr;
    if (!field) return readExamOption(arguments, i, o.exam, error);
    if (equals < 0 && i + 1 >= arguments.size())
        *error = QStringLiteral("选项%1需要一个值").arg(name);
    else
        *field = equals >= 0 ? argument.mid(equals + 1) : arguments[++i];
    return true;
}

std::optional<QString> parse(const QStringList &arguments, SlipCommandOptions *o) {
    bool inPrevious = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString error;
        if (!readArgument(arguments, i, *o, inPrevious, &error))
            return QStringLiteral("无法识别的选项：%1").arg(arguments[i].section(u'=', 0, 0));
        if (!error.isEmpty()) return error;
    }
    if (o->exam.sources.empty()) return QStringLiteral("没有给出要生成成绩条的成绩表");
    if (o->hasPrevious && o->previous.empty())
        return QStringLiteral("选项--previous需要上次考试的来源");
    if (o->exam.columnsMode && *o->exam.columnsMode != u"auto")
        return QStringLiteral("选项--columns只能是auto");
    if (!o->exam.exportPath)
        return QStringLiteral("成绩条需要用--export给出导出文件（.pdf或.xlsx）");
    if (o->exam.json) return QStringLiteral("成绩条没有JSON输出，请去掉--json");
    return std::nullopt;
}

Output failure(const QString &message) {
    return {ExitFailure, {}, message + u'\n'};
}

bool endsWith(const QString &path, const char *ending) {
    return path.endsWith(QLatin1String(ending), Qt::CaseInsensitive);
}

// The preset and the items asked for; with no last exam the preset's change
// is left out (said in *note), an explicit one refused.
std::variant<SlipOptions, QString> slipOptions(const SlipCommandOptions &o, QString *note) {
    SlipOptions options;
    options.fiveGrades = o.fiveGrades;
    if (o.preset) {
        const std::optional<SlipPreset> preset = presetFromKey(o.preset->trimmed());
        if (!preset) return messages::slipPresetInvalid();
        options.preset = *preset;
    }
    options.items = presetItems(options.preset);
    if (o.items) {
        const std::optional<SlipItems> items = slipItemsFromKeys(*o.items);
        if (!items) return messages::slipItemsInvalid();
        options.items = *items;
        if (items->has(SlipItem::Change) && !o.hasPrevious)
            return QStringLiteral("成绩条项目change（比上次）需要上次考试的成绩：请用--previous "
                                  "给出上次考试的来源，或从--items中去掉change");
    } else if (options.items.has(SlipItem::Change) && !o.hasPrevious) {
        options.items.set(SlipItem::Change, false);
        *note = QStringLiteral("没有用--previous给出上次考试，成绩条不含“比上次”。\n");
    }
    return options;
}

struct ReadExam {
    ExamRequest request;
    ExamAnalysis exam;
};

std::variant<ReadExam, QString> readExam(const ExamCommandOptions &options) {
    std::variant<ExamRequest, QString> asked = analysis::readExamRequest(options);
    if (const QString *message = std::get_if<QString>(&asked)) return *message;
    ReadExam read{std::get<ExamRequest>(std::move(asked)), {}};
    ExamOutcome outcome = analyseExam(read.request);
    if (!outcome.message.isEmpty()) return outcome.message;
    read.exam = std::move(*outcome.exam);
    return read;
}

// The match with the last exam, shown before its changes are printed on any slip.
QString matchText(const ProgressReport &report, const ExamAnalysis &current) {
    const ProgressTables tables = progressTables(report, current);
    QStringList parts{QStringLiteral("与上次考试的对应（成绩条的“比上次”按此对应，"
                                     "未对应的学生为“无上次成绩”）\n") +
                      teachersOnly() + u'\n'};
    for (const Table *table :
         {&tables.match, &tables.conflicts, &tables.onlyThis, &tables.onlyLast})
        if (table == &tables.match || !table->rows.empty()) parts << tableText(*table);
    return parts.join(u'\n') + u'\n';
}

} // namespace

namespace {

struct SlipRun {
    SlipOptions options;
    ReadExam current;
    std::vector<SlipStudent> students;
    QStringList sources; // never written over
    QString out;         // what stdout says before the files
};

std::optional<QString> addPrevious(const SlipCommandOptions &o, SlipRun &run) {
    ExamCommandOptions options = o.exam;
    options.sources = o.previous;
    std::variant<ReadExam, QString> last = readExam(options);
    if (const QString *message = std::get_if<QString>(&last))
        return QStringLiteral("上次考试：") + *message;
    const ReadExam &previous = std::get<ReadExam>(last);
    for (const ClassSource &source : previous.request.sources)
        run.sources << source.path;
    const ProgressReport report =
        compareExams({&previous.exam, &run.current.exam}, {&previous.request, &run.current.request},
                     {QStringLiteral("上次"), QStringLiteral("本次")});
    addSlipChanges(run.students, report);
    run.out += matchText(report, run.current.exam);
    return std::nullopt;
}

// The one file (.xlsx here, .pdf in the module) and the folder of PDFs.
QString writeSlips(const SlipCommandOptions &o, const SlipRun &run, SlipPdfResult *result) {
    const QString &path = *o.exam.exportPath;
    const bool xlsx = endsWith(path, ".xlsx");
    if (xlsx)
        if (const QString failed = writeSlipsXlsx(o.header, run.students, run.options,
                                                  run.current.request.settings, path, run.sources);
            !failed.isEmpty())
            return failed;
    if (xlsx && !o.perStudentFolder) return {};
    const auto write = pdfModuleFunction<WriteSlipsFunction>(WriteSlipsSymbol);
    if (!write) return pdfModuleMissing();
    SlipPdfRequest request{o.header,
                           &run.students,
                           run.options,
                           run.current.request.settings,
                           o.pagePerStudent,
                           xlsx ? QString() : path,
                           o.perStudentFolder.value_or(QString()),
                           run.sources};
    write(&request, result);
    // The module tells of its own PDF; the workbook was written here.
    result->oneFile = result->oneFile || xlsx;
    return result->failure;
}

QString oneFileLine(const SlipCommandOptions &o, const SlipRun &run) {
    return QStringLiteral("成绩条已导出到：%1（%2 名学生）\n")
        .arg(*o.exam.exportPath)
        .arg(run.students.size());
}

QString doneText(const SlipCommandOptions &o, const SlipRun &run, const SlipPdfResult &result) {
    QString text = run.out + oneFileLine(o, run);
    if (o.perStudentFolder)
        text += QStringLiteral("每人一份的成绩条已写入文件夹：%1（%2 个文件）\n")
                    .arg(*o.perStudentFolder)
                    .arg(result.written);
    if (!result.renamed.isEmpty())
        text += QStringLiteral("以下文件名与学号姓名不同（不能作文件名的字符已改为“_”，"
                               "或与已有文件同名）：\n") +
                result.renamed.join(u'\n') + u'\n';
    return text;
}

// What was written before a failure in the folder: the one file, and
// complete files for some students, never a file cut short.
QString partlyWritten(const SlipCommandOptions &o, const SlipRun &run,
                      const SlipPdfResult &result) {
    QString text;
    if (result.oneFile) text += oneFileLine(o, run);
    if (o.perStudentFolder && (result.oneFile || result.written > 0))
        text += QStringLiteral("每人一份的成绩条只写入了%1个文件（共%2名学生），其余未写入；"
                               "已写入的文件都是完整的。\n")
                    .arg(result.written)
                    .arg(run.students.size());
    return text;
}

} // namespace

bool isSlips(const QStringList &arguments) {
    return arguments.contains(QLatin1String("--slips"));
}

Output runSlips(const QStringList &arguments) {
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h")))
        return {ExitOk, slipsHelpText(), {}};
    SlipCommandOptions o;
    if (const std::optional<QString> error = parse(arguments, &o))
        return usageFailure(
            *error, QStringLiteral(
                        "用法：score-report --slips 来源… --export 文件"
                        "（.pdf或.xlsx） [选项…]；score-report --slips --help 列出全部选项。\n"));
    const QString &path = *o.exam.exportPath;
    if (!endsWith(path, ".pdf") && !endsWith(path, ".xlsx"))
        return failure(messages::slipExportNameInvalid(path));
    if (o.pagePerStudent && !endsWith(path, ".pdf"))
        return failure(QStringLiteral("选项--page-per-student只用于.pdf文件"));
    SlipRun run;
    std::variant<SlipOptions, QString> options = slipOptions(o, &run.out);
    if (const QString *message = std::get_if<QString>(&options)) return failure(*message);
    run.options = std::get<SlipOptions>(options);
    std::variant<ReadExam, QString> current = readExam(o.exam);
    if (const QString *message = std::get_if<QString>(&current)) return failure(*message);
    run.current = std::get<ReadExam>(std::move(current));
    run.students = slipStudents(run.current.exam);
    if (run.students.empty()) return failure(messages::noSlipStudents());
    for (const ClassSource &source : run.current.request.sources)
        run.sources << source.path;
    if (o.hasPrevious)
        if (const std::optional<QString> failed = addPrevious(o, run)) return failure(*failed);
    SlipPdfResult result;
    if (const QString failed = writeSlips(o, run, &result); !failed.isEmpty())
        return failure(partlyWritten(o, run, result) + failed);
    return {ExitOk, doneText(o, run, result), {}};
}

} // namespace report
