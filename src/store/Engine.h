#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The database engines a kitchen can live on: a SQLite file in a data directory, or a schema of a
// PostgreSQL database. Everything that differs between them is told here, so that the rest of the
// program writes one SQL for both.
class Engine
{
public:
    enum Kind
    {
        Sqlite,
        Postgres
    };

    static Kind of(const QSqlDatabase& db);

    // A statement of the schema file or of an upgrade step, written for SQLite, as the server takes
    // it; empty for what has no meaning there (the PRAGMAs of SQLite's own tools). Keys become identity
    // columns (never reused), REAL an 8-byte float, BOOLEAN the 0/1 number the program stores, DATE a
    // date (its text pattern check goes, the type checks it).
    static QString postgresSpelling(const QString& sqliteStatement);

    // What a server kitchen's schema needs before its tables: the Russian case-insensitive collation
    // that SQLite gets from the program at each connection.
    static QStringList postgresPrelude();

    // The connection options the driver takes for a server named by a libpq connection string
    // ("host=... dbname=...") or URI ("postgresql://user@host:port/database"); empty with the reason in
    // *error when it cannot be used. A password there is refused: it belongs in ~/.pgpass or PGPASSWORD.
    static QString postgresConnectOptions(const QString& server, QString* error);

    // The schema a server kitchen lives in: its name in lower case, since the server folds unquoted
    // names; empty with the reason in *error for a name that is not a plain identifier.
    static QString kitchenSchema(const QString& kitchen, QString* error);

    // A connection failure in Russian: which server and why (refused, no such database or user, wrong
    // password, no rights), then the driver's own words.
    static QString connectionErrorText(const QString& server, const QString& driverText);
};
