#pragma once

namespace analysis {

// Failure numbers of the workbook layer. They select the import's message.
enum ImportError : int {
    NoError = 0,
    CannotOpen = 5,        // missing, unreadable, damaged or encrypted file
    RowOverflow = 6,       // a sheet row number beyond 32767
    SheetMissing = 9,      // no worksheet of the given name
    NotAWorkbook = 438,    // a file of another kind
    CellOutOfRange = 1004, // a row or column outside the sheet
};

} // namespace analysis
