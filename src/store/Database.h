#pragma once

#include <QCollator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include "Transaction.h"

#include <optional>

// The kitchen's SQLite database: one connection, with the Russian collation and the Unicode-aware
// text functions registered, write-through settings applied, and the schema version checked.
class Database
{
public:
    static constexpr int schemaVersion = 5;
    static constexpr const char* fileName = "kuhnemer.sqlite";
    // The collation every ordering by a name uses: Russian, case-insensitive.
    static constexpr const char* collation = "RU";
    // The collator behind it, for ordering in memory exactly as the database orders.
    static QCollator russianCollator();

    // The connection name the program's own views use.
    static QString programConnection();

    // The file of the database inside a data directory.
    static QString filePath(const QString& dataDir);

    // Whether a kitchen missing a table, field or index of its version is refused at opening (so that
    // no operation meets the engine's own words about it) or opened as found (for the check).
    // AnyVersion also opens a kitchen of another schema version, for the backup and the upgrade.
    enum class Shape
    {
        MustBeWhole,
        AsFound,
        AnyVersion
    };

    // Opens the database of a data directory under the given connection name. Never creates anything:
    // a missing directory or file, an unknown schema version or missing tables or fields are an error
    // with a clear message.
    static std::optional<Database> open(const QString& dataDir, QString* error,
                                        const QString& connectionName = programConnection(),
                                        Shape shape = Shape::MustBeWhole);
    // The kitchen a server holds when none is named.
    static constexpr const char* defaultKitchen = "kuhnemer";
    enum class Creation
    {
        Existing,
        New
    };
    // Opens a kitchen kept on a PostgreSQL server: a schema of the database that `server` (a libpq
    // connection string or URI) names. New makes an empty kitchen there first, refusing one that
    // exists; Existing refuses a missing one, and checks the version and shape as open() does.
    static std::optional<Database> openServer(const QString& server, const QString& kitchen, QString* error,
                                              const QString& connectionName = programConnection(),
                                              Shape shape = Shape::MustBeWhole,
                                              Creation creation = Creation::Existing);
    // What opening a second connection to the kitchen of an open one needs: its data directory, or
    // its server's connection options and the kitchen's schema. Read on the owner's thread.
    struct Address
    {
        QString dataDir;
        QString serverOptions; // empty for a file kitchen
        QString kitchen;
    };
    static Address addressOf(const QSqlDatabase& owner);
    // Opens another connection to the kitchen at `address`, as found (the owner checked its shape).
    static std::optional<Database> openSibling(const Address& address, QString* error,
                                               const QString& connectionName);
    // Opens (creating) a database file for the installation tool; same connection set-up.
    static std::optional<Database> create(const QString& file, QString* error, const QString& connectionName);

    QSqlDatabase connection() const { return QSqlDatabase::database(m_connectionName, false); }
    const QString& connectionName() const { return m_connectionName; }

    enum class Registration
    {
        Remove,
        Keep
    };
    // Leave: the write-ahead log stays as it is (and SQLite does not copy it back as the connection
    // closes), for a connection that only read and must not write to the file.
    enum class Checkpoint
    {
        Run,
        Leave
    };
    // Checkpoints the write-ahead log and closes the connection. Never throws, never blocks for long.
    // Keep leaves the connection's name registered, for an owner whose views still hold handles of it
    // and removes it (QSqlDatabase::removeDatabase) once they are gone.
    void close(Registration registration = Registration::Remove, Checkpoint checkpoint = Checkpoint::Run);

    // Why a file cannot be a kitchen's database (empty, or not an SQLite file at all); empty when it
    // may be one. Reads the file only.
    static QString notOurs(const QString& file);

    // The SQLite handle behind a Qt SQL connection, for what Qt SQL does not offer (collations,
    // functions, the backup API); null when the driver is not SQLite.
    static struct sqlite3* sqliteHandle(const QSqlDatabase& db);

    // Sets up a connection opened elsewhere (tests open a second one to watch write-through).
    static bool configure(QSqlDatabase& db, QString* error);

private:
    explicit Database(QString connectionName) : m_connectionName(std::move(connectionName)) {}
    // Why an opened kitchen cannot be used as the shape asks (its version, a missing table, field or
    // index), in a sentence about `what`; empty when it can. commandArguments name the kitchen to the
    // commands the sentence suggests.
    static QString kitchenProblem(const QSqlDatabase& db, Shape shape, const QString& what,
                                  const QString& commandArguments);
    static std::optional<Database> openFile(const QString& file, bool mustExist, QString* error,
                                            const QString& connectionName, Shape shape = Shape::AsFound);

    QString m_connectionName;
};

// Runs the work in one transaction: committed when the work returns true, rolled back when it returns
// false (a refusal, or a database failure with *error set). Returns false on a database failure only.
// The transaction is over on return, so that no dialog is shown while it holds the database.
template <typename Work> bool inTransaction(QSqlDatabase db, QString* error, Work&& work);

// A database error as the user reads it: what happened in Russian (locked, read-only, damaged, disk
// full, ...), then the engine's own text.
QString sqlErrorText(const QSqlError& error);
// The same for a result code of the engine's own interface and its message.
QString sqliteErrorText(int code, const QString& engineText);

// Prepares and runs one statement with bound values on the given query (forward only); false and the
// driver's text in *error on failure. Rows, if any, are then read with query.next().
bool runQuery(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error);

// Runs one statement with bound values; false and the driver's text in *error on failure.
bool execSql(QSqlDatabase db, const QString& sql, const QVariantList& values = {}, QString* error = nullptr);

// Keeps every other connection from writing the tables until the caller's transaction ends, so that
// what it empties and refills is its own: on a server an exclusive lock of the tables (readers go
// on), on a file nothing, since its first write takes the file's one write lock.
bool lockTablesForWriting(QSqlDatabase db, const QStringList& tables, QString* error);

// Runs a SELECT with bound values and hands each row to onRow; false and the driver's text on failure.
// Forward only: the driver keeps one row at a time instead of caching the whole result.
template <typename OnRow>
bool forEachRow(const QSqlDatabase& db, const QString& sql, const QVariantList& values, OnRow&& onRow,
                QString* error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec()) {
        while (query.next())
            onRow(query);
    }
    if (query.lastError().isValid()) {
        Transaction::statementFailed(query);
        *error = sqlErrorText(query.lastError());
        return false;
    }
    return true;
}

template <typename OnRow>
bool forEachRow(const QSqlDatabase& db, const QString& sql, OnRow&& onRow, QString* error)
{
    return forEachRow(db, sql, QVariantList(), std::forward<OnRow>(onRow), error);
}

template <typename Work> bool inTransaction(QSqlDatabase db, QString* error, Work&& work)
{
    Transaction transaction(db);
    if (!transaction.isActive()) {
        *error = sqlErrorText(db.lastError());
        return false;
    }
    if (!work())
        return error->isEmpty();
    if (!transaction.commit()) {
        *error = sqlErrorText(db.lastError());
        return false;
    }
    return true;
}
