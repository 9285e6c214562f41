#include "Maintenance.h"

#include "store/WholeFile.h"

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
    if (rc == SQLITE_OK && !syncPath(partial)) {
        rc = SQLITE_IOERR;
        if (error)
            *error = u"копия не записана на диск"_s;
    }
    // A hard link never replaces a file; the copy gets its name only once it is whole and on disk.
    if (rc == SQLITE_OK &&
        ::link(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        rc = SQLITE_IOERR;
        if (error)
            *error = systemErrorText(errno);
    }
    QFile::remove(partial);
    if (rc != SQLITE_OK)
        return {};
    syncPath(folder);
    return target;
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
