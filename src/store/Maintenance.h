#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// "Индексация баз": copies the database aside, then rebuilds the indexes of every listed table and
// checks it, and finally purges deleted rows from the file. Runs on a connection of its own while
// no view of the program is open.
class Maintenance
{
public:
    using Log = std::function<void(const QString& line)>;

    // The maintained tables in their order, as their file names are shown in the log.
    static const QStringList& tableFiles();
    static QString endLine()
    {
        using namespace Qt::StringLiterals;
        return u"<<<   Индексация закончена   >>>"_s;
    }

    // Before each table and before the purge: n steps of total done; false stops the run there (what
    // was done stays: it changes no row).
    using Progress = std::function<bool(int n, int total)>;

    // Logs each file name before its work, a failure under the name of the table that failed, and
    // the closing lines; true when every table was done.
    static bool run(const QString& dataDir, const Log& log, const Progress& progress = {});
    static QString stoppedLine()
    {
        using namespace Qt::StringLiterals;
        return u"Индексация прервана пользователем."_s;
    }
    // The same for a kitchen on a server (a libpq connection string or URI and the kitchen's name):
    // each table's indexes rebuilt (REINDEX) and its dead rows purged and statistics renewed (VACUUM
    // ANALYZE). Only a table's owner may do either: for a table of another owner the log names the
    // right missing. The server keeps its own pages whole; its copies are pg_dump's (backupServer).
    static bool runOnServer(const QString& server, const QString& kitchen, const Log& log);

    // Called after each step of a copy with the file being written; false stops the copy there, as a
    // crash would.
    using StepHook = std::function<bool(const QString& partialFile)>;

    // Copies the database file with SQLite's backup API into DATA/backup; returns the copy's path or
    // an empty string. The copy is written under a temporary name, made durable and only then given
    // its name, so a backup is whole or absent; copies that a crash left half-written are removed.
    // A target file, when given, takes the place of DATA/backup; an existing file is never replaced.
    static QString backup(const QString& dataDir, QString* error, const StepHook& onStep = {},
                          const QString& targetFile = {});
    // A copy of a server kitchen: pg_dump's archive of the kitchen's schema (pg_restore reads it) into
    // DATA/backup of the workstation's data directory or into targetFile, written under a temporary
    // name and named only when whole, as backup() does.
    static QString backupServer(const QString& server, const QString& kitchen, const QString& dataDir,
                                QString* error, const QString& targetFile = {});
};
