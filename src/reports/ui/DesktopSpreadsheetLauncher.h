#pragma once

#include "reports/SpreadsheetLauncher.h"

#include <QUrl>

#include <functional>

// Opens the file with the desktop's application for spreadsheets.
class DesktopSpreadsheetLauncher : public SpreadsheetLauncher
{
public:
    using Opener = std::function<bool(const QUrl&)>;

    DesktopSpreadsheetLauncher();
    // The desktop's opener (QDesktopServices::openUrl); tests give their own.
    explicit DesktopSpreadsheetLauncher(Opener opener) : m_opener(std::move(opener)) {}

    bool open(const QString& path) override;
    bool openFolder(const QString& folder) override;

private:
    Opener m_opener;
};
