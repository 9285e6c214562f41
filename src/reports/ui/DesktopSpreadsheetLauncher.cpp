#include "DesktopSpreadsheetLauncher.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopSpreadsheetLauncher::open(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopSpreadsheetLauncher::openFolder(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
