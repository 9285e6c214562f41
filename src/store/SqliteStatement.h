#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <memory>

class QSqlQuery;
struct sqlite3;
struct sqlite3_stmt;

// One statement on the engine's own interface, for the few loops where the Qt driver's cost per row
// would dominate (a posting that reads or writes thousands of rows). Values are always bound; errors
// come out in the words of sqlErrorText.
class SqliteStatement
{
public:
    SqliteStatement(const QSqlDatabase& db, const QString& sql, QString* error);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_statement != nullptr || m_query != nullptr; }

    // Binds the values from the first parameter on (null, whole numbers, numbers, bytes, or anything as
    // its text) after ending the previous run.
    bool bind(const QVariantList& values, QString* error);
    // The next row: true while there is one; false at the end, or on failure with *error set.
    bool next(QString* error);
    // Runs the statement to its end with these values.
    bool exec(const QVariantList& values, QString* error);

    QVariant value(int column) const;
    double number(int column) const;

private:
    bool fail(QString* error) const;

    sqlite3* m_sqlite = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    // On a server connection: the driver's prepared statement, run at the first next() after a bind.
    std::unique_ptr<QSqlQuery> m_query;
    bool m_queryPending = false;
};
