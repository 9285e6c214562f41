#include "Maintenance.h"

#include "Database.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The table behind a file name of the list: the extension dropped, the letter case of the schema.
QString tableOf(const QSqlDatabase& db, const QString& file)
{
    const QString base = QFileInfo(file).completeBaseName();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)"));
    query.addBindValue(base);
    return query.exec() && query.next() ? query.value(0).toString() : QString();
}

bool maintainTable(QSqlDatabase db, const QString& file, QString* error)
{
    const QString table = tableOf(db, file);
    if (table.isEmpty()) {
        *error = QStringLiteral("таблица \"%1\" не найдена").arg(file);
        return false;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("REINDEX \"%1\"").arg(table))) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    if (!query.exec(QStringLiteral("PRAGMA integrity_check(\"%1\")").arg(table)) || !query.next()) {
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

void maintainAll(QSqlDatabase sql, const Maintenance::Log& log, bool* allDone)
{
    QString error;
    for (const QString& file : Maintenance::tableFiles()) {
        log(file);
        if (!maintainTable(sql, file, &error)) {
            log(QStringLiteral("    Ошибка: %1").arg(error));
            *allDone = false;
        }
    }
    // Deleted rows of every table are purged at once: SQLite compacts the file as a whole.
    QSqlQuery query(sql);
    if (!query.exec(QStringLiteral("VACUUM"))) {
        log(QStringLiteral("    Ошибка упаковки: %1").arg(sqlErrorText(query.lastError())));
        *allDone = false;
    }
}

} // namespace

const QStringList& Maintenance::tableFiles()
{
    static const QStringList files = {
        QStringLiteral("Bludo.DB"),   QStringLiteral("Doc.db"),      QStringLiteral("Edinica.db"),
        QStringLiteral("Grbludo.DB"), QStringLiteral("Gring.DB"),    QStringLiteral("Ing.DB"),
        QStringLiteral("Inv.db"),     QStringLiteral("Invdok.db"),   QStringLiteral("Karta.DB"),
        QStringLiteral("Menu.DB"),    QStringLiteral("MenuSp.DB"),   QStringLiteral("Move.db"),
        QStringLiteral("PARTNER.DB"), QStringLiteral("Pf.db"),       QStringLiteral("Realdoc.DB"),
        QStringLiteral("Realitog.DB"), QStringLiteral("Realsum.DB"), QStringLiteral("Sklad.db"),
        QStringLiteral("SvodI.db"),   QStringLiteral("SvodB.db"),
    };
    return files;
}

namespace {

// The name a copy has while it is written; only a whole copy gets a backup's name.
const QString partialSuffix = QStringLiteral(".partial");

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

} // namespace

QString Maintenance::backup(const QString& dataDir, QString* error, const StepHook& onStep)
{
    const QString connection = QStringLiteral("kuhnemer-backup");
    auto source = Database::open(dataDir, error, connection);
    if (!source)
        return {};
    const QString folder = QDir(dataDir).filePath(QStringLiteral("backup"));
    QDir().mkpath(folder);
    // A copy that a crash cut short is no backup: it goes before a new one is made.
    for (const QFileInfo& partial : QDir(folder).entryInfoList({QStringLiteral("*") + partialSuffix}, QDir::Files | QDir::Hidden))
        QFile::remove(partial.filePath());
    const QString stem = QDir(folder).filePath(
        QStringLiteral("kuhnemer-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString target = stem + QStringLiteral(".sqlite");
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = stem + QStringLiteral("-%1.sqlite").arg(n);
    const QString partial = target + partialSuffix;
    sqlite3* to = nullptr;
    int rc = sqlite3_open(QFile::encodeName(partial).constData(), &to);
    bool stopped = false;
    if (rc == SQLITE_OK) {
        sqlite3_backup* job = sqlite3_backup_init(to, "main", Database::sqliteHandle(source->connection()), "main");
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
            *error = QStringLiteral("копирование прервано");
    } else if (rc != SQLITE_OK && error) {
        *error = QString::fromUtf8(sqlite3_errmsg(to));
    }
    sqlite3_close(to);
    source->close();
    if (rc == SQLITE_OK && !syncPath(partial)) {
        rc = SQLITE_IOERR;
        if (error)
            *error = QStringLiteral("копия не записана на диск");
    }
    // A hard link never replaces a file; the copy gets its name only once it is whole and on disk.
    if (rc == SQLITE_OK && ::link(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        rc = SQLITE_IOERR;
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
    }
    QFile::remove(partial);
    if (rc != SQLITE_OK)
        return {};
    syncPath(folder);
    return target;
}

bool Maintenance::run(const QString& dataDir, const Log& log)
{
    QString error;
    const QString copy = backup(dataDir, &error);
    bool allDone = !copy.isEmpty();
    if (copy.isEmpty())
        log(QStringLiteral("Резервная копия не создана: %1").arg(error));
    auto db = copy.isEmpty() ? std::nullopt : Database::open(dataDir, &error, QStringLiteral("kuhnemer-maintenance"));
    if (!copy.isEmpty() && !db) {
        log(error);
        allDone = false;
    }
    if (db) {
        maintainAll(db->connection(), log, &allDone);
        db->close();
        if (!allDone)
            log(QStringLiteral("Резервная копия базы: %1").arg(QDir::toNativeSeparators(copy)));
    }
    log(QStringLiteral(" "));
    log(endLine());
    return allDone;
}
