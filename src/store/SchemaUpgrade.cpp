#include "SchemaUpgrade.h"

#include "Database.h"
#include "Engine.h"
#include "Maintenance.h"
#include "UserPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace schema {

namespace {

// Read from a file without the program's connection set-up, which would write to it.
int storedVersionOfFile(const QString& file, QString* error)
{
    if (const QString reason = Database::notOurs(file); !reason.isEmpty()) {
        *error = reason;
        return -1;
    }
    const QString name = u"kuhnemer-version"_s;
    int version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (db.open())
            version = storedVersion(db, error);
        else
            *error = sqlErrorText(db.lastError());
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return version;
}

} // namespace

const QList<UpgradeStep>& upgradeSteps()
{
    // Never edit a step that has shipped: kitchens upgraded by it exist. Add the next one instead, and
    // make schema.sql give the same shape.
    static const QList<UpgradeStep> steps = {
        // The version in a table, for engines without PRAGMA user_version.
        {2,
         {u"CREATE TABLE Version (Number INTEGER NOT NULL)"_s, u"INSERT INTO Version (Number) VALUES (2)"_s}},
        // The organisation's details for the printed forms: one row, Kod 1.
        {3,
         {u"CREATE TABLE Org (Kod INTEGER PRIMARY KEY CHECK (Kod = 1), "
          "Name VARCHAR(100) CHECK (length(Name) <= 100), Form VARCHAR(50) CHECK (length(Form) <= 50), "
          "Inn VARCHAR(12) CHECK (length(Inn) <= 12), Kpp VARCHAR(9) CHECK (length(Kpp) <= 9), "
          "Okpo VARCHAR(10) CHECK (length(Okpo) <= 10), Address VARCHAR(150) CHECK (length(Address) <= 150), "
          "Unit VARCHAR(100) CHECK (length(Unit) <= 100), Head VARCHAR(60) CHECK (length(Head) <= 60), "
          "HeadPosition VARCHAR(100) CHECK (length(HeadPosition) <= 100), "
          "Chef VARCHAR(60) CHECK (length(Chef) <= 60), Calculator VARCHAR(60) CHECK (length(Calculator) <= "
          "60), "
          "Commission1 VARCHAR(100) CHECK (length(Commission1) <= 100), "
          "Commission2 VARCHAR(100) CHECK (length(Commission2) <= 100), "
          "Commission3 VARCHAR(100) CHECK (length(Commission3) <= 100))"_s}},
        // The technological cards: a dish's serving and storage requirements, an ingredient's nutrition
        // per 100 g (empty where not given, never taken as 0).
        {4,
         {u"ALTER TABLE Bludo ADD COLUMN Serving TEXT"_s, u"ALTER TABLE Bludo ADD COLUMN Storage TEXT"_s,
          u"ALTER TABLE Ing ADD COLUMN Protein REAL"_s, u"ALTER TABLE Ing ADD COLUMN Fat REAL"_s,
          u"ALTER TABLE Ing ADD COLUMN Carbs REAL"_s, u"ALTER TABLE Ing ADD COLUMN Energy REAL"_s}},
        // The history of ingredient prices.
        {5,
         {u"CREATE TABLE Pricehist (Kod INTEGER PRIMARY KEY AUTOINCREMENT, Ing REAL, Data DATE, Oldcena "
          u"REAL, "
          "Cena REAL, Doc REAL, Source VARCHAR(40) CHECK (length(Source) <= 40))"_s,
          u"CREATE INDEX Pricehist_Ing ON Pricehist (Ing, Data)"_s}},
    };
    return steps;
}

int storedVersion(const QSqlDatabase& db, QString* error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool server = Engine::of(db) == Engine::Postgres;
    // A server kitchen keeps its version in the table only.
    if (!query.exec(server ? u"SELECT 0"_s : u"PRAGMA user_version"_s) || !query.next()) {
        *error = sqlErrorText(query.lastError());
        return -1;
    }
    int version = query.value(0).toInt();
    if (!query.exec(
            server ? u"SELECT 1 WHERE to_regclass('version') IS NOT NULL"_s
                   : u"SELECT 1 FROM sqlite_master WHERE type = 'table' AND lower(name) = 'version'"_s)) {
        *error = sqlErrorText(query.lastError());
        return -1;
    }
    const bool hasTable = query.next();
    if (hasTable) {
        if (!query.exec(u"SELECT max(Number) FROM Version"_s) || !query.next()) {
            *error = sqlErrorText(query.lastError());
            return -1;
        }
        if (!query.isNull(0))
            version = std::max(version, query.value(0).toInt());
    }
    query.finish();
    return version;
}

QString versionDisagreement(const QSqlDatabase& db)
{
    const bool server = Engine::of(db) == Engine::Postgres;
    QSqlQuery query(db);
    // A server kitchen has the table only, which then stands for both places.
    if (!query.exec(server ? u"SELECT max(Number), count(*), string_agg(Number::text, ', '), min(Number), "
                             "max(Number) FROM Version"_s
                           : u"SELECT (SELECT user_version FROM pragma_user_version), count(*), "
                             "group_concat(Number, ', '), min(Number), max(Number) FROM Version"_s) ||
        !query.next())
        return sqlErrorText(query.lastError());
    const int pragma = query.value(0).toInt();
    const bool agree = query.value(1).toInt() == 1 && pragma == Database::schemaVersion &&
                       query.value(3).toInt() == pragma && query.value(4).toInt() == pragma;
    if (agree)
        return {};
    const QString table = query.isNull(2) ? u"нет"_s : query.value(2).toString();
    return server ? u"версия в таблице Version %1"_s.arg(table)
                  : u"версия в PRAGMA user_version %1, в таблице Version %2"_s.arg(query.value(0).toString(),
                                                                                   table);
}

bool upgrade(QSqlDatabase& db, QString* error, const QList<UpgradeStep>& steps)
{
    const int from = storedVersion(db, error);
    if (from < 0)
        return false;
    Transaction whole(db);
    if (!whole.isActive()) {
        *error = sqlErrorText(db.lastError());
        return false;
    }
    const bool server = Engine::of(db) == Engine::Postgres;
    int version = from;
    for (const UpgradeStep& step : steps) {
        if (step.version <= version)
            continue;
        if (step.version != version + 1) {
            *error = u"нет шага обновления с версии %1 до версии %2"_s.arg(version).arg(version + 1);
            return false;
        }
        Transaction one(db);
        QString stepError;
        for (const QString& statement : step.statements) {
            if (!execSql(db, server ? Engine::postgresSpelling(statement) : statement, {}, &stepError)) {
                *error = u"шаг до версии %1: %2"_s.arg(step.version).arg(stepError);
                return false;
            }
        }
        if (!one.commit()) {
            *error = u"шаг до версии %1: %2"_s.arg(step.version).arg(sqlErrorText(db.lastError()));
            return false;
        }
        version = step.version;
    }
    if (version == from)
        return true;
    // Both places in the same transaction as the steps: PRAGMA user_version is part of it in SQLite.
    if (!execSql(db, u"UPDATE Version SET Number = ?"_s, {version}, error) ||
        (!server && !execSql(db, u"PRAGMA user_version = %1"_s.arg(version), {}, error)))
        return false;
    if (!whole.commit()) {
        *error = sqlErrorText(db.lastError());
        return false;
    }
    return true;
}

UpgradeResult upgradeDataDirectory(const QString& dataDir, const QList<UpgradeStep>& steps)
{
    UpgradeResult result;
    const int target = steps.isEmpty() ? Database::schemaVersion : steps.last().version;
    QString error;
    std::optional<Database> db =
        Database::open(dataDir, &error, u"kuhnemer-upgrade"_s, Database::Shape::AnyVersion);
    if (!db) {
        result.message = error;
        return result;
    }
    result.from = storedVersion(db->connection(), &error);
    if (result.from < 0) {
        result.message = error;
    } else if (result.from == target) {
        result.ok = true;
        result.to = target;
        result.message = u"Кухня уже текущей версии %1: обновлять нечего."_s.arg(target);
    } else if (result.from > target) {
        result.message = u"Кухня создана более новой программой (версия %1, эта программа знает версию %2). "
                         "Обновите программу."_s.arg(result.from)
                             .arg(target);
    } else if (result.from < 1) {
        // Version 1 is the first: an older number is not a kitchen this program ever wrote.
        result.message =
            u"Версия %1 не является версией кухни Кухнемера; обновить её нельзя."_s.arg(result.from);
    } else {
        result.backup = Maintenance::backup(dataDir, &error);
        QSqlDatabase sql = db->connection();
        if (result.backup.isEmpty()) {
            result.message =
                u"Резервная копия не создана: %1. Кухня не обновлена, она осталась версии %2."_s.arg(error)
                    .arg(result.from);
        } else if (!upgrade(sql, &error, steps)) {
            result.message =
                u"Обновление с версии %1 до версии %2 не выполнено: %3. Кухня осталась версии %1; "
                "копия базы перед обновлением: %4"_s.arg(result.from)
                    .arg(target)
                    .arg(error, QDir::toNativeSeparators(result.backup));
        } else {
            result.ok = true;
            result.to = target;
            result.message = u"Кухня обновлена с версии %1 до версии %2. Копия базы перед обновлением: %3"_s
                                 .arg(result.from)
                                 .arg(target)
                                 .arg(QDir::toNativeSeparators(result.backup));
        }
    }
    db->close();
    return result;
}

bool offerUpgrade(const QString& dataDir, UserPrompts& prompts)
{
    const QString file = Database::filePath(dataDir);
    if (!QFileInfo(file).isFile())
        return true;
    QString error;
    const int version = storedVersionOfFile(file, &error);
    // What is not an older kitchen of ours is for Database::open to refuse in its own words.
    if (version < 1 || version >= Database::schemaVersion)
        return true;
    const QString caption = u"Обновление базы"_s;
    if (!prompts.confirm(
            caption,
            u"База данных в каталоге \"%1\" создана прежней версией программы (версия %2), а эта "
            "программа работает с версией %3. Обновить базу?\n\nСначала копия базы будет "
            "сохранена в папке backup. Программа прежней версии обновлённую базу не откроет."_s
                .arg(QDir::toNativeSeparators(dataDir))
                .arg(version)
                .arg(Database::schemaVersion),
            UserPrompts::Default::Cancel))
        return true;
    const UpgradeResult result = upgradeDataDirectory(dataDir);
    if (!result.ok) {
        prompts.warn(caption, result.message);
        return false;
    }
    prompts.inform(caption, result.message);
    return true;
}

} // namespace schema
