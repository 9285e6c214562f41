#include "DesktopSpreadsheetLauncher.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopSpreadsheetLauncher::open(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
