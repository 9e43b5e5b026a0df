#include "analysis/grade/gradesource.h"

#include "analysis/texts/filenames.h"
#include "workbook/workbook.h"

#include <QDir>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

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

// What the name's bytes name: -1 nothing, 0 a folder, 1 anything else.
int nameKind(const QString &name) {
    struct stat status {};
    if (::stat(nameBytes(name).constData(), &status) != 0) return -1;
    return S_ISDIR(status.st_mode) ? 0 : 1;
}

bool isFolder(const QString &folder, const dirent &entry) {
    if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
    return nameKind(QDir(folder).filePath(nameFromBytes(entry.d_name))) == 0;
}

// The names of the folder's entries named like a workbook, or nothing when
// it can't be listed.
std::optional<QStringList> workbookNames(const QString &folder) {
    DIR *listing = ::opendir(nameBytes(folder).constData());
    if (!listing) return std::nullopt;
    QStringList names;
    while (const dirent *entry = ::readdir(listing)) {
        const QString name = nameFromBytes(entry->d_name);
        if (hasWorkbookEnding(name) && !isFolder(folder, *entry)) names << name;
    }
    ::closedir(listing);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::optional<ClassSource> parseClassSource(const QString &text) {
    ClassSource source;
    QString place = text;
    const qsizetype at = text.lastIndexOf(u'@');
    if (at > 0 && text.indexOf(u'=', at) > at && nameKind(text) < 0) {
        const std::optional<ClassFields> fields = parseFields(text.mid(at + 1));
        if (!fields) return std::nullopt;
        source.fields = *fields;
        place = text.left(at);
    }
    source.label = place;
    source.path = place;
    if (const int kind = nameKind(place); kind >= 0) {
        source.kind = kind == 0 ? ClassSource::Kind::Folder : ClassSource::Kind::File;
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
        const std::optional<QStringList> names = workbookNames(source.path);
        if (!names || names->isEmpty()) {
            expanded.push_back(source);
            expanded.back().unlistable = !names;
        }
        for (const QString &name : names.value_or(QStringList())) {
            ClassSource file = source;
            file.kind = ClassSource::Kind::File;
            file.path = QDir(source.path).filePath(name);
            file.label = file.path;
            expanded.push_back(file);
        }
    }
    return expanded;
}

std::vector<ClassSource> sourcesOfPaths(const QStringList &paths, bool everySheet) {
    std::vector<ClassSource> sources;
    for (const QString &path : paths) {
        ClassSource source;
        source.path = QFileInfo(path).absoluteFilePath();
        source.label = source.path;
        if (QFileInfo(path).isDir()) {
            source.kind = ClassSource::Kind::Folder;
            for (ClassSource &file : expandFolders({source}))
                sources.push_back(std::move(file));
            continue;
        }
        if (everySheet) {
            source.kind = ClassSource::Kind::EverySheet;
            source.label += QStringLiteral(":*");
        }
        sources.push_back(std::move(source));
    }
    return sources;
}

} // namespace analysis
