#include "KitchenMove.h"

#include "Database.h"
#include "Engine.h"
#include "KitchenPresence.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace kitchenmove {

namespace {

// The highest key each table has ever given: SQLite's sequence table, the server's identity sequences.
bool highestKeys(const QSqlDatabase& db, QHash<QString, qlonglong>* keys, QString* error)
{
    const bool server = Engine::of(db) == Engine::Postgres;
    return forEachRow(
        db,
        server ? u"SELECT c.relname, pg_sequence_last_value(pg_get_serial_sequence(c.relname, "
                 u"a.attname)::regclass) "
                 "FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid AND a.attidentity <> '' "
                 "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'r'"_s
               : u"SELECT name, seq FROM sqlite_sequence"_s,
        [&](const QSqlQuery& row) {
            keys->insert(row.value(0).toString().toLower(), row.value(1).toLongLong());
        },
        error);
}

// Makes the target give keys after the highest the source ever gave, and after every key it holds.
bool setHighestKeys(const QSqlDatabase& db, const QHash<QString, qlonglong>& keys, QString* error)
{
    if (Engine::of(db) == Engine::Sqlite) {
        // Rows written with their keys already raised SQLite's sequence to the highest key present; a
        // table emptied since still needs its row there.
        for (auto key = keys.cbegin(); key != keys.cend(); ++key) {
            if (key.value() <= 0)
                continue;
            if (!execSql(db, u"UPDATE sqlite_sequence SET seq = max(seq, ?) WHERE lower(name) = ?"_s,
                         {key.value(), key.key()}, error) ||
                !execSql(db,
                         u"INSERT INTO sqlite_sequence (name, seq) SELECT name, ? FROM sqlite_master "
                         "WHERE type = 'table' AND lower(name) = ? AND NOT EXISTS "
                         "(SELECT 1 FROM sqlite_sequence WHERE lower(name) = ?)"_s,
                         {key.value(), key.key(), key.key()}, error))
                return false;
        }
        return true;
    }
    QList<QPair<QString, QString>> identities;
    if (!forEachRow(
            db,
            u"SELECT c.relname, a.attname FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
            "AND a.attidentity <> '' WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'r'"_s,
            [&](const QSqlQuery& row) {
                identities.append({row.value(0).toString(), row.value(1).toString()});
            },
            error))
        return false;
    for (const auto& [table, key] : identities) {
        // Names from the server's catalogue of a schema made from the schema file: plain identifiers.
        if (!execSql(db,
                     u"SELECT setval(pg_get_serial_sequence(?, ?), greatest(?, max(%2))) FROM %1 "
                     "HAVING greatest(?, max(%2)) > 0"_s.arg(table, key),
                     {table, key, keys.value(table), keys.value(table)}, error))
            return false;
    }
    return true;
}

// Every row of every table of the target's schema, with the fields the target has.
bool copyRows(const QSqlDatabase& from, const QSqlDatabase& to, qlonglong* rows, QString* error)
{
    for (const QString& table : schema::tableNames(to)) {
        QSqlQuery fields(to);
        // The names come from the target's own catalogue, made from the schema file: plain identifiers.
        if (!runQuery(fields, u"SELECT * FROM %1 WHERE 1 = 0"_s.arg(table), {}, error))
            return false;
        QStringList names;
        for (int i = 0; i < fields.record().count(); ++i)
            names << fields.record().fieldName(i);
        fields.finish();
        // The Version row is the target's own, written when it was made.
        if (table.compare(u"Version"_s, Qt::CaseInsensitive) == 0)
            continue;
        QSqlQuery insert(to);
        QStringList marks(names.size(), u"?"_s);
        if (!insert.prepare(
                u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, names.join(u", "_s), marks.join(u", "_s)))) {
            *error = sqlErrorText(insert.lastError());
            return false;
        }
        QString readError;
        const bool read = forEachRow(
            from, u"SELECT %1 FROM %2"_s.arg(names.join(u", "_s), table), {},
            [&](const QSqlQuery& row) {
                if (!error->isEmpty())
                    return;
                for (int i = 0; i < names.size(); ++i)
                    insert.bindValue(i, row.value(i));
                if (!insert.exec()) {
                    Transaction::statementFailed(insert);
                    *error = u"таблица %1: %2"_s.arg(table, sqlErrorText(insert.lastError()));
                }
                ++*rows;
            },
            &readError);
        if (!read)
            *error = u"таблица %1: %2"_s.arg(table, readError);
        if (!error->isEmpty())
            return false;
    }
    return true;
}

// Tables just loaded on a server have no statistics until its autovacuum gets to them: the planner
// would take a hundred thousand movement lines for one row and join them in nested loops (the
// turnover statement of the large kitchen took 13 s instead of half a second).
bool analyzeTables(const QSqlDatabase& db, QString* error)
{
    if (Engine::of(db) != Engine::Postgres)
        return true;
    const QStringList tables = schema::tableNames(db);
    return std::all_of(tables.cbegin(), tables.cend(), [&](const QString& table) {
        return execSql(db, u"ANALYZE %1"_s.arg(table), {}, error);
    });
}

bool copyKitchen(const QSqlDatabase& from, const QSqlDatabase& to, qlonglong* rows, QString* error)
{
    QHash<QString, qlonglong> keys;
    Transaction transaction(to);
    return highestKeys(from, &keys, error) && copyRows(from, to, rows, error) &&
           setHighestKeys(to, keys, error) && analyzeTables(to, error) && transaction.commit();
}

std::optional<Database> openSource(const Place& source, QString* error)
{
    return source.server.isEmpty()
               ? Database::open(source.dataDir, error, u"kuhnemer-move-source"_s)
               : Database::openServer(source.server, source.kitchen, error, u"kuhnemer-move-source"_s);
}

bool moveToDirectory(const QSqlDatabase& from, const QString& dataDir, qlonglong* rows, QString* error)
{
    const QString file = Database::filePath(dataDir);
    if (QFileInfo::exists(file)) {
        *error = u"в каталоге \"%1\" уже есть кухня"_s.arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    if (!QDir().mkpath(dataDir)) {
        *error = u"не удалось создать каталог \"%1\""_s.arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    const QString partial = file + u".partial"_s;
    for (const QString& suffix : {u""_s, u"-wal"_s, u"-shm"_s, u"-journal"_s})
        QFile::remove(partial + suffix);
    bool ok = false;
    {
        std::optional<Database> made = Database::create(partial, error, u"kuhnemer-move-target"_s);
        if (made) {
            {
                QSqlDatabase db = made->connection();
                ok = schema::create(db, error) && copyKitchen(from, db, rows, error);
            }
            made->close();
        }
    }
    // Named only when whole; a kitchen that appeared meanwhile is not replaced.
    if (ok && !QFile::rename(partial, file)) {
        *error = u"не удалось назвать базу \"%1\""_s.arg(QDir::toNativeSeparators(file));
        ok = false;
    }
    if (!ok)
        QFile::remove(partial);
    return ok;
}

bool moveToServer(const QSqlDatabase& from, const Place& target, qlonglong* rows, QString* error)
{
    const QString schemaName = Engine::kitchenSchema(target.kitchen, error);
    if (schemaName.isEmpty())
        return false;
    // Filled under a name of its own and renamed at the end: the kitchen is whole or absent.
    const QString partial = schemaName.left(54) + u"_partial"_s;
    bool ok = false;
    {
        std::optional<Database> made =
            Database::openServer(target.server, partial, error, u"kuhnemer-move-target"_s,
                                 Database::Shape::MustBeWhole, Database::Creation::New);
        if (!made)
            return false;
        {
            QSqlDatabase db = made->connection();
            QSqlQuery exists(db);
            const bool checked =
                runQuery(exists, u"SELECT 1 FROM pg_namespace WHERE nspname = ?"_s, {schemaName}, error);
            const bool taken = checked && exists.next();
            exists.finish();
            if (taken)
                *error = u"на сервере \"%1\" уже есть кухня \"%2\""_s.arg(target.server, schemaName);
            ok = checked && !taken && copyKitchen(from, db, rows, error) &&
                 execSql(db, u"ALTER SCHEMA %1 RENAME TO %2"_s.arg(partial, schemaName), {}, error);
            if (!ok)
                execSql(db, u"DROP SCHEMA %1 CASCADE"_s.arg(partial));
        }
        made->close();
    }
    return ok;
}

} // namespace

QString Place::describe() const
{
    return server.isEmpty() ? QDir::toNativeSeparators(dataDir)
                            : u"кухня %1 на сервере \"%2\""_s.arg(kitchen, server);
}

bool move(const Place& source, const Place& target, qlonglong* rows, QString* error)
{
    *rows = 0;
    QString reason;
    std::optional<Database> from = openSource(source, &reason);
    bool ok = false;
    if (from) {
        {
            // Nobody writes to the kitchen while it is read: on a server the move runs alone.
            const QSqlDatabase db = from->connection();
            Transaction reading(db);
            ok = reading.isActive() && KitchenPresence::holdAlone(db, u"Перенос кухни"_s, &reason) &&
                 (target.server.isEmpty() ? moveToDirectory(db, target.dataDir, rows, &reason)
                                          : moveToServer(db, target, rows, &reason));
        }
        from->close(Database::Registration::Remove, Database::Checkpoint::Leave);
    }
    if (!ok)
        *error = u"Кухня не перенесена (%1 → %2): %3"_s.arg(source.describe(), target.describe(), reason);
    return ok;
}

} // namespace kitchenmove
