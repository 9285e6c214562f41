#include "OldKitchen.h"

#include "TestDataDir.h"

#include <QFile>

using namespace Qt::StringLiterals;

void makeVersion1Kitchen(TestDataDir& data)
{
    data.close();
    const QString file = Database::filePath(data.dataDir());
    for (const QString& suffix : {QString(), u"-wal"_s, u"-shm"_s})
        QFile::remove(file + suffix);
    QFile schema(QStringLiteral(KUHNEMER_KITCHEN_V1));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", KUHNEMER_KITCHEN_V1);
    QString error;
    std::optional<Database> db = Database::create(file, &error, u"version-1"_s);
    if (!db)
        qFatal("cannot create a version 1 kitchen: %s", qPrintable(error));
    QString statement;
    for (const QString& rawLine : QString::fromUtf8(schema.readAll()).split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u"--"_s))
            continue;
        statement += line + u' ';
        if (!line.endsWith(u';'))
            continue;
        if (!execSql(db->connection(), statement, {}, &error))
            qFatal("version 1 schema: %s: %s", qPrintable(statement), qPrintable(error));
        statement.clear();
    }
    db->close();
}
