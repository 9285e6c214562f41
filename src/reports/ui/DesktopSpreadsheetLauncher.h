#pragma once

#include "reports/SpreadsheetLauncher.h"

// Opens the file with the desktop's application for spreadsheets.
class DesktopSpreadsheetLauncher : public SpreadsheetLauncher
{
public:
    bool open(const QString& path) override;
    bool openFolder(const QString& folder) override;
};
