#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// One statement prepared once and run over many rows' values, for the loops where a statement per row
// would dominate (a posting that reads or writes thousands of rows). On SQLite it runs on the engine's
// own interface, past the Qt driver's cost per row; on a server it is the server's prepared statement.
// Values are always bound; errors come out in the words of sqlErrorText.
class PreparedStatement
{
public:
    PreparedStatement(const QSqlDatabase& db, const QString& sql, QString* error);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

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

    // SQLite's own statement, or the driver's prepared query on a server.
    sqlite3* m_sqlite = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    std::unique_ptr<QSqlQuery> m_query;
    bool m_pending = false; // bound on the server, not yet run
};
