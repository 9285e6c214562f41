#include "DataLocations.h"

#include <QDir>
#include <QFileInfo>

DataLocations DataLocations::resolve(const QStringList& arguments, const QString& programDir)
{
    QString dataDir = QDir(programDir).filePath(QStringLiteral("DATA"));
    const qsizetype option = arguments.indexOf(QStringLiteral("--data"));
    if (option >= 0 && option + 1 < arguments.size())
        dataDir = QFileInfo(arguments.at(option + 1)).absoluteFilePath();
    dataDir = QDir::cleanPath(dataDir);
    DataLocations locations;
    locations.culinar = dataDir;
    locations.culSklad = dataDir;
    locations.culObmen = QDir::cleanPath(QFileInfo(dataDir).absolutePath() + QStringLiteral("/OBMEN"));
    return locations;
}

bool DataLocations::ensureExchangeDirectory(QString* error) const
{
    if (QDir().mkpath(culObmen))
        return true;
    if (error)
        *error = QStringLiteral("Не удалось создать каталог обмена \"%1\".").arg(QDir::toNativeSeparators(culObmen));
    return false;
}
