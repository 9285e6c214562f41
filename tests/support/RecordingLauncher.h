#pragma once

#include "reports/SpreadsheetLauncher.h"

#include <QStringList>

// Stands in for the desktop's spreadsheet application: records what it was given and answers as told.
class RecordingLauncher : public SpreadsheetLauncher
{
public:
    bool open(const QString& path) override
    {
        opened << path;
        return answer;
    }

    bool openFolder(const QString& folder) override
    {
        folders << folder;
        return true;
    }

    QStringList opened;
    QStringList folders;
    bool answer = true;
};
