#include "DesktopSpreadsheetLauncher.h"

#include "reports/DesktopApplications.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QUrl>

using namespace Qt::StringLiterals;

DesktopSpreadsheetLauncher::DesktopSpreadsheetLauncher()
    : m_opener([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
}

bool DesktopSpreadsheetLauncher::open(const QString& path)
{
    // The desktop's opener reports success even when nothing will show the file (a spreadsheet
    // program without windows, say): only a desktop application for the type is worth handing it to.
    const QString type = path.endsWith(u".xlsx"_s, Qt::CaseInsensitive)
                             ? u"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"_s
                             : QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    if (desktopapps::defaultApplication(type).isEmpty())
        return false;
    return m_opener(QUrl::fromLocalFile(path));
}

bool DesktopSpreadsheetLauncher::openFolder(const QString& folder)
{
    return m_opener(QUrl::fromLocalFile(folder));
}
