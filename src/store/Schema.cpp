#include "Schema.h"

#include "Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

// The schema file is compiled into the static store library, whose resources need an explicit start.
static void initStoreResources()
{
    Q_INIT_RESOURCE(store);
}

namespace schema {

QStringList statements()
{
    initStoreResources();
    QFile file(u":/store/schema.sql"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList result;
    QString current;
    for (const QString& rawLine : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1String("--")) || line.isEmpty())
            continue;
        current += line + u' ';
        if (line.endsWith(u';')) {
            result << current.trimmed();
            current.clear();
        }
    }
    return result;
}

QStringList tableNames(const QSqlDatabase& db)
{
    QStringList names;
    QSqlQuery query(db);
    query.exec(u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
                              "ORDER BY rowid"_s);
    while (query.next())
        names << query.value(0).toString();
    return names;
}

QList<Reference> references()
{
    return {{"Ing", "Kod1", "Kod"},
            {"Ing", "Kod1", "Edinica"},
            {"pf", "NNN", "Kod"},
            {"pf", "NNN", "Name"},
            {"Bludo", "Kod1", "Kod"},
            {"Karta", "NNN", "Kod"},
            {"Karta", "NNN", "Name"},
            {"MenuSp", "Nnn", "Kod"},
            {"MenuSp", "Nnn", "Name"},
            {"MenuSp", "Nnn", "GrName"},
            {"Realdoc", "Kod", "Nnn"},
            {"Realsum", "Nnn", "Kod"},
            {"Realsum", "Nnn", "KodGrBludo"},
            {"Realsum", "Nnn", "KodBludo"},
            {"RealItog", "NNN", "Kod"},
            {"RealItog", "NNN", "KodIng"},
            {"RealItog", "NNN", "Edinica"},
            {"RealItog", "NNN", "KodGrIng"},
            {"Doc", "Nnn", "Partner"},
            {"Move", "Nnn", "Kod1"},
            {"Move", "Nnn", "Kod"},
            {"Move", "Nnn", "Partner"},
            {"inv", "Nnn", "Kod"},
            {"inv", "Nnn", "Ing"}};
}

bool create(QSqlDatabase& db, QString* error)
{
    const QStringList all = statements();
    if (all.isEmpty()) {
        if (error)
            *error = u"Файл схемы базы данных не найден в программе."_s;
        return false;
    }
    // PRAGMA user_version is applied after the transaction: it marks a complete database only.
    Transaction transaction(db);
    QString version;
    for (const QString& statement : all) {
        if (statement.startsWith(QLatin1String("PRAGMA"))) {
            version = statement;
            continue;
        }
        if (!execSql(db, statement, {}, error))
            return false;
    }
    if (!transaction.commit()) {
        if (error)
            *error = sqlErrorText(db.lastError());
        return false;
    }
    return version.isEmpty() || execSql(db, version, {}, error);
}

bool createDataDirectory(const QString& dataDir, QString* error)
{
    const QString file = Database::filePath(dataDir);
    if (QFileInfo::exists(file)) {
        if (error)
            *error = u"В каталоге \"%1\" уже есть база данных."_s.arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    if (!QDir().mkpath(dataDir)) {
        if (error)
            *error = u"Не удалось создать каталог \"%1\"."_s.arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    const QString connection = u"kuhnemer-create"_s;
    bool ok = false;
    {
        auto db = Database::create(file, error, connection);
        if (!db)
            return false;
        {
            QSqlDatabase sql = db->connection();
            ok = create(sql, error);
        }
        db->close();
    }
    if (!ok)
        QFile::remove(file);
    return ok;
}

} // namespace schema
