#pragma once

#include <QString>

// Hands a written workbook to the spreadsheet application. The desktop opens the file with the
// application the user has chosen for it; tests record the path instead.
class SpreadsheetLauncher
{
public:
    virtual ~SpreadsheetLauncher() = default;
    // False when no application took the file.
    virtual bool open(const QString& path) = 0;
    // Shows a folder in the desktop's file manager; false when nothing showed it.
    virtual bool openFolder(const QString& folder) = 0;
};
