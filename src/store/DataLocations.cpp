#include "DataLocations.h"

#include "Database.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

DataLocations DataLocations::resolve(const QStringList& arguments, const QString& programDir,
                                     const QString& userDataDir)
{
    QString dataDir = QDir(programDir).filePath(u"DATA"_s);
    if (!QFileInfo(dataDir).isDir() && !userDataDir.isEmpty())
        dataDir = QDir(userDataDir).filePath(u"DATA"_s);
    const qsizetype option = arguments.indexOf(u"--data"_s);
    const bool given = option >= 0 && option + 1 < arguments.size();
    if (given)
        dataDir = QFileInfo(arguments.at(option + 1)).absoluteFilePath();
    dataDir = QDir::cleanPath(dataDir);
    DataLocations locations;
    locations.culinar = dataDir;
    locations.culSklad = dataDir;
    locations.culObmen = QDir::cleanPath(QFileInfo(dataDir).absolutePath() + u"/OBMEN"_s);
    const qsizetype server = arguments.indexOf(u"--server"_s);
    if (server >= 0 && server + 1 < arguments.size()) {
        locations.server = arguments.at(server + 1);
        const qsizetype kitchen = arguments.indexOf(u"--kitchen"_s);
        locations.kitchen = kitchen >= 0 && kitchen + 1 < arguments.size()
                                ? arguments.at(kitchen + 1)
                                : QString::fromLatin1(Database::defaultKitchen);
    }
    locations.givenByUser = given || !locations.server.isEmpty();
    return locations;
}

bool DataLocations::ensureExchangeDirectory(QString* error) const
{
    if (QDir().mkpath(culObmen))
        return true;
    if (error)
        *error = u"Не удалось создать каталог обмена \"%1\"."_s.arg(QDir::toNativeSeparators(culObmen));
    return false;
}
