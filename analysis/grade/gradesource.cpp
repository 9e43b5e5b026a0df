#include "analysis/grade/gradesource.h"

#include "workbook/workbook.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace analysis {

namespace {

struct FieldName {
    const char *name;
    std::optional<QString> ClassFields::*field;
};

const FieldName FieldNames[] = {
    {"first-row", &ClassFields::firstRow},
    {"number-column", &ClassFields::numberColumn},
    {"name-column", &ClassFields::nameColumn},
    {"score-column", &ClassFields::scoreColumn},
};

// "first-row=3,score-column=5": the fields, or nothing.
std::optional<ClassFields> parseFields(const QString &text) {
    ClassFields fields;
    for (const QString &item : text.split(u',')) {
        const qsizetype equals = item.indexOf(u'=');
        const auto found =
            std::find_if(std::begin(FieldNames), std::end(FieldNames), [&](const FieldName &f) {
                return equals > 0 && item.left(equals) == QLatin1String(f.name);
            });
        if (found == std::end(FieldNames)) return std::nullopt;
        fields.*found->field = item.mid(equals + 1);
    }
    return fields;
}

} // namespace

std::optional<ClassSource> parseClassSource(const QString &text) {
    ClassSource source;
    QString place = text;
    const qsizetype at = text.lastIndexOf(u'@');
    if (at > 0 && text.indexOf(u'=', at) > at && !QFileInfo::exists(text)) {
        const std::optional<ClassFields> fields = parseFields(text.mid(at + 1));
        if (!fields) return std::nullopt;
        source.fields = *fields;
        place = text.left(at);
    }
    source.label = place;
    source.path = place;
    const QFileInfo whole(place);
    if (whole.exists()) {
        source.kind = whole.isDir() ? ClassSource::Kind::Folder : ClassSource::Kind::File;
        return source;
    }
    const qsizetype colon = place.lastIndexOf(u':');
    if (colon > 0) {
        source.path = place.left(colon);
        source.sheet = place.mid(colon + 1);
        if (source.sheet == u"*") {
            source.kind = ClassSource::Kind::EverySheet;
            source.sheet.clear();
        }
    }
    return source;
}

std::vector<ClassSource> expandFolders(const std::vector<ClassSource> &sources) {
    std::vector<ClassSource> expanded;
    for (const ClassSource &source : sources) {
        if (source.kind != ClassSource::Kind::Folder) {
            expanded.push_back(source);
            continue;
        }
        QStringList names = QDir(source.path).entryList(QDir::Files | QDir::Readable);
        names.removeIf([](const QString &name) { return !hasWorkbookEnding(name); });
        std::sort(names.begin(), names.end());
        if (names.isEmpty()) expanded.push_back(source);
        for (const QString &name : names) {
            ClassSource file = source;
            file.kind = ClassSource::Kind::File;
            file.path = QDir(source.path).filePath(name);
            file.label = file.path;
            expanded.push_back(file);
        }
    }
    return expanded;
}

} // namespace analysis
