#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace analysis {

// Where the classes' rows lie: the first data row and the three columns, as
// typed. A source's own fields replace the list's.
struct ClassFields {
    std::optional<QString> firstRow, numberColumn, nameColumn, scoreColumn;
    // The class ends at the last row the header detection finds in each
    // sheet (below it lie rows such as 平均分 or 制表人), where the first row
    // used is the one it found; false: every row to the end of the sheet.
    bool endAtFound = false;
};

// One entry of the list of classes to compare.
struct ClassSource {
    enum class Kind {
        File,       // the sheet named `sheet`, or the first sheet when none is named
        EverySheet, // one class per worksheet, each named after its sheet
        Folder,     // every workbook in the folder; see expandFolders
    };
    Kind kind = Kind::File;
    QString path;
    QString sheet;
    ClassFields fields;      // this source's own fields
    QString label;           // the source as given, for the lists
    bool unlistable = false; // a folder whose entries could not be read
};

// Reads a source as typed on a command line: FILE, FILE:SHEET, FILE:* or a
// folder, optionally followed by the source's own fields as
// @first-row=R,number-column=C,name-column=C,score-column=C (any of them).
// A path that exists is taken whole, whatever it holds; otherwise the sheet
// follows the last colon (a sheet name can hold no colon), and an @ starts
// the fields only when an = follows it. Returns nothing when the fields
// after @ can't be understood.
std::optional<ClassSource> parseClassSource(const QString &text);

// Replaces each folder by the workbooks in it (not in its subfolders), by
// name in code-point order: every entry but a folder whose name ends in
// a workbook's ending (hasWorkbookEnding), whatever it is (a file that can't
// be read, a named pipe, a dangling link are each reported when read); the
// kind of each is then told by its content. A folder without any, or one
// that can't be listed (marked unlistable), stays in the list, to be
// reported as such. Names are taken as their bytes (see nameFromBytes).
std::vector<ClassSource> expandFolders(const std::vector<ClassSource> &sources);

// The sources a window adds for paths chosen or dropped: a folder's
// workbooks one by one, a file as one class or, with everySheet, one class
// per sheet ("FILE:*").
std::vector<ClassSource> sourcesOfPaths(const QStringList &paths, bool everySheet);

} // namespace analysis
