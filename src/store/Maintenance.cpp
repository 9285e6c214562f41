#include "Maintenance.h"

#include "store/WholeFile.h"

#include "Database.h"
#include "Engine.h"
#include "KitchenPresence.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The table behind a file name of the list: the extension dropped, the letter case of the schema.
QString tableOf(const QSqlDatabase& db, const QString& file)
{
    const QString base = QFileInfo(file).completeBaseName();
    QSqlQuery query(db);
    query.prepare(u"SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)"_s);
    query.addBindValue(base);
    return query.exec() && query.next() ? query.value(0).toString() : QString();
}

bool maintainTable(QSqlDatabase db, const QString& file, QString* error)
{
    const QString table = tableOf(db, file);
    if (table.isEmpty()) {
        *error = u"таблица \"%1\" не найдена"_s.arg(file);
        return false;
    }
    QSqlQuery query(db);
    if (!query.exec(u"REINDEX \"%1\""_s.arg(table))) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    if (!query.exec(u"PRAGMA integrity_check(\"%1\")"_s.arg(table)) || !query.next()) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    const QString verdict = query.value(0).toString();
    if (verdict != QLatin1String("ok")) {
        *error = verdict;
        return false;
    }
    return true;
}

void maintainAll(QSqlDatabase sql, const Maintenance::Log& log, const Maintenance::Progress& progress,
                 bool* allDone)
{
    QString error;
    const QStringList& files = Maintenance::tableFiles();
    const int steps = int(files.size()) + 1; // the purge is the last
    const auto stopped = [&](int done) {
        if (!progress || progress(done, steps))
            return false;
        log(Maintenance::stoppedLine());
        *allDone = false;
        return true;
    };
    for (int k = 0; k < int(files.size()); ++k) {
        if (stopped(k))
            return;
        const QString& file = files[k];
        log(file);
        if (!maintainTable(sql, file, &error)) {
            log(u"    Ошибка: %1"_s.arg(error));
            *allDone = false;
        }
    }
    if (stopped(steps - 1))
        return;
    // Deleted rows of every table are purged at once: SQLite compacts the file as a whole.
    QSqlQuery query(sql);
    if (!query.exec(u"VACUUM"_s)) {
        log(u"    Ошибка упаковки: %1"_s.arg(sqlErrorText(query.lastError())));
        *allDone = false;
    }
    if (progress)
        progress(steps, steps);
}

// A server table is maintained only by its owner: VACUUM skips another's table with a mere warning,
// so ownership is asked first and its absence told as the right it is.
bool maintainServerTable(QSqlDatabase db, const QString& file, QString* error)
{
    const QString table = QFileInfo(file).completeBaseName().toLower();
    QSqlQuery owner(db);
    if (!runQuery(owner,
                  u"SELECT pg_has_role(c.relowner, 'USAGE'), pg_get_userbyid(c.relowner) FROM pg_class c "
                  "JOIN pg_namespace n ON n.oid = c.relnamespace "
                  "WHERE n.nspname = current_schema() AND c.relname = ? AND c.relkind = 'r'"_s,
                  {table}, error))
        return false;
    if (!owner.next()) {
        *error = u"таблица \"%1\" не найдена"_s.arg(file);
        return false;
    }
    if (!owner.value(0).toBool()) {
        *error = u"нет права владельца таблицы (её владелец на сервере — \"%1\"): индексацию и упаковку "
                 "делает он или администратор сервера"_s.arg(owner.value(1).toString());
        return false;
    }
    owner.finish();
    // The table name comes from the program's own list: it stands in the statement as it is.
    return execSql(db, u"REINDEX TABLE "_s + table, {}, error) &&
           execSql(db, u"VACUUM ANALYZE "_s + table, {}, error);
}

} // namespace

const QStringList& Maintenance::tableFiles()
{
    static const QStringList files = {
        u"Bludo.DB"_s,    u"Doc.db"_s,     u"Edinica.db"_s, u"Grbludo.DB"_s, u"Gring.DB"_s,
        u"Ing.DB"_s,      u"Inv.db"_s,     u"Invdok.db"_s,  u"Karta.DB"_s,   u"Menu.DB"_s,
        u"MenuSp.DB"_s,   u"Move.db"_s,    u"PARTNER.DB"_s, u"Pf.db"_s,      u"Realdoc.DB"_s,
        u"Realitog.DB"_s, u"Realsum.DB"_s, u"Sklad.db"_s,   u"SvodI.db"_s,   u"SvodB.db"_s,
    };
    return files;
}

namespace {

// The name a copy has while it is written; only a whole copy gets a backup's name.
const QString partialSuffix = u".partial"_s;

// Makes what was written to a file, or to a folder's entries, durable.
bool syncPath(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}
// Gives a whole copy its name: made durable first, then hard-linked, which never replaces a file.
bool publishCopy(const QString& partial, const QString& target, QString* error)
{
    bool ok = syncPath(partial);
    if (!ok)
        *error = u"копия не записана на диск"_s;
    else if (::link(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = systemErrorText(errno);
        ok = false;
    }
    QFile::remove(partial);
    if (ok)
        syncPath(QFileInfo(target).absolutePath());
    return ok;
}

} // namespace

QString Maintenance::backup(const QString& dataDir, QString* error, const StepHook& onStep,
                            const QString& targetFile)
{
    const QString connection = u"kuhnemer-backup"_s;
    if (!targetFile.isEmpty() && QFileInfo::exists(targetFile)) {
        if (error)
            *error = u"файл \"%1\" уже есть; копия не записана"_s.arg(QDir::toNativeSeparators(targetFile));
        return {};
    }
    // Whatever its version: the upgrade copies an older kitchen before it changes it.
    auto source = Database::open(dataDir, error, connection, Database::Shape::AnyVersion);
    if (!source)
        return {};
    const QString folder =
        targetFile.isEmpty() ? QDir(dataDir).filePath(u"backup"_s) : QFileInfo(targetFile).absolutePath();
    QDir().mkpath(folder);
    QString target = QFileInfo(targetFile).absoluteFilePath();
    if (targetFile.isEmpty()) {
        // A copy that a crash cut short is no backup: it goes before a new one is made.
        const QStringList leftovers = {u"*"_s + partialSuffix, u"*"_s + partialSuffix + u"-journal"_s};
        for (const QFileInfo& partial : QDir(folder).entryInfoList(leftovers, QDir::Files | QDir::Hidden))
            QFile::remove(partial.filePath());
        const QString stem = QDir(folder).filePath(
            u"kuhnemer-"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s));
        target = stem + u".sqlite"_s;
        for (int n = 2; QFileInfo::exists(target); ++n)
            target = stem + u"-%1.sqlite"_s.arg(n);
    }
    const QString partial = target + partialSuffix;
    // A copy to the same name that a crash cut short goes first, with its journal.
    QFile::remove(partial);
    QFile::remove(partial + u"-journal"_s);
    sqlite3* to = nullptr;
    int rc = sqlite3_open(QFile::encodeName(partial).constData(), &to);
    bool stopped = false;
    if (rc == SQLITE_OK) {
        sqlite3_backup* job =
            sqlite3_backup_init(to, "main", Database::sqliteHandle(source->connection()), "main");
        if (job) {
            // In steps, so that a large kitchen's copy can be watched (and, in tests, interrupted).
            constexpr int pagesPerStep = 256;
            int step = SQLITE_OK;
            while (step == SQLITE_OK || step == SQLITE_BUSY || step == SQLITE_LOCKED) {
                step = sqlite3_backup_step(job, pagesPerStep);
                if (step == SQLITE_OK && onStep && !onStep(partial)) {
                    stopped = true;
                    break;
                }
            }
            sqlite3_backup_finish(job);
        }
        rc = sqlite3_errcode(to);
    }
    if (stopped) {
        rc = SQLITE_INTERRUPT;
        if (error)
            *error = u"копирование прервано"_s;
    } else if (rc != SQLITE_OK && error) {
        *error = sqliteErrorText(rc, QString::fromUtf8(sqlite3_errmsg(to)));
    }
    sqlite3_close(to);
    source->close();
    if (rc != SQLITE_OK) {
        QFile::remove(partial);
        return {};
    }
    QString failure;
    if (!publishCopy(partial, target, &failure)) {
        if (error)
            *error = failure;
        return {};
    }
    return target;
}

QString Maintenance::backupServer(const QString& server, const QString& kitchen, const QString& dataDir,
                                  QString* error, const QString& targetFile)
{
    QString reason;
    const QString schema = Engine::kitchenSchema(kitchen, &reason);
    const bool checked = !schema.isEmpty() && !Engine::postgresConnectOptions(server, &reason).isEmpty();
    if (!checked) {
        *error = reason;
        return {};
    }
    if (!targetFile.isEmpty() && QFileInfo::exists(targetFile)) {
        *error = u"файл \"%1\" уже есть; копия не записана"_s.arg(QDir::toNativeSeparators(targetFile));
        return {};
    }
    QString target = QFileInfo(targetFile).absoluteFilePath();
    if (targetFile.isEmpty()) {
        const QString folder = QDir(dataDir).filePath(u"backup"_s);
        QDir().mkpath(folder);
        for (const QFileInfo& partial :
             QDir(folder).entryInfoList({u"*"_s + partialSuffix}, QDir::Files | QDir::Hidden))
            QFile::remove(partial.filePath());
        const QString stem = QDir(folder).filePath(
            u"%1-%2"_s.arg(schema, QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s)));
        target = stem + u".dump"_s;
        for (int n = 2; QFileInfo::exists(target); ++n)
            target = stem + u"-%1.dump"_s.arg(n);
    } else {
        QDir().mkpath(QFileInfo(target).absolutePath());
    }
    const QString partial = target + partialSuffix;
    QFile::remove(partial);
    // The password, if any, comes to pg_dump as to the program: ~/.pgpass or PGPASSWORD.
    QProcess dump;
    dump.start(u"pg_dump"_s, {u"--dbname="_s + server, u"--schema="_s + schema, u"--format=custom"_s,
                              u"--no-password"_s, u"--file="_s + partial});
    if (!dump.waitForStarted()) {
        *error = u"программа pg_dump не запускается (пакет postgresql-client): %1"_s.arg(dump.errorString());
        return {};
    }
    dump.waitForFinished(-1);
    if (dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        *error = u"pg_dump не сделал копию: %1"_s.arg(
            QString::fromLocal8Bit(dump.readAllStandardError()).trimmed());
        QFile::remove(partial);
        return {};
    }
    return publishCopy(partial, target, error) ? target : QString();
}

bool Maintenance::runOnServer(const QString& server, const QString& kitchen, const Log& log)
{
    QString error;
    auto db =
        Database::openServer(server, kitchen, &error, u"kuhnemer-maintenance"_s, Database::Shape::AsFound);
    // Nobody else works while the tables are rebuilt: held by this connection until it is closed, since
    // VACUUM runs outside any transaction.
    if (db && !KitchenPresence::holdAlone(db->connection(), u"Индексация баз"_s, &error,
                                          KitchenPresence::Until::Closed)) {
        db->close();
        db.reset();
    }
    bool allDone = db.has_value();
    if (!db)
        log(error);
    for (const QString& file : db ? tableFiles() : QStringList()) {
        log(file);
        if (!maintainServerTable(db->connection(), file, &error)) {
            log(u"    Ошибка: %1"_s.arg(error));
            allDone = false;
        }
    }
    if (db)
        db->close();
    log(u" "_s);
    log(endLine());
    return allDone;
}

bool Maintenance::run(const QString& dataDir, const Log& log, const Progress& progress)
{
    QString error;
    const QString copy = backup(dataDir, &error);
    bool allDone = !copy.isEmpty();
    if (copy.isEmpty())
        log(u"Резервная копия не создана: %1"_s.arg(error));
    // As found: a missing table is logged under its own name, and the others are still done.
    auto db = copy.isEmpty()
                  ? std::nullopt
                  : Database::open(dataDir, &error, u"kuhnemer-maintenance"_s, Database::Shape::AsFound);
    if (!copy.isEmpty() && !db) {
        log(error);
        allDone = false;
    }
    if (db) {
        maintainAll(db->connection(), log, progress, &allDone);
        db->close();
        if (!allDone)
            log(u"Резервная копия базы: %1"_s.arg(QDir::toNativeSeparators(copy)));
    }
    log(u" "_s);
    log(endLine());
    return allDone;
}
