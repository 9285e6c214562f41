#pragma once

#include "PreparedStatement.h"

#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

// Writes fields of many rows of one table, each row named by its key, with every value bound. On a file
// one prepared UPDATE per row through the engine's own interface, which costs next to nothing; on a
// server one "UPDATE table SET ... FROM (VALUES ...)" per rowsPerStatement rows, since every statement
// there is a round trip. A key that names no row changes nothing, on both engines.
// The caller runs it inside its transaction, as RowBatch.
class RowUpdate
{
public:
    static constexpr int rowsPerStatement = 100;

    RowUpdate(QSqlDatabase db, const QString& table, const QString& keyField, const QStringList& fields);

    // The row's key and its fields' values in the order of the fields; may write at once. False, with
    // the reason in *error, when a statement failed.
    bool add(qlonglong key, const QVariantList& values, QString* error);
    // Writes what is pending.
    bool flush(QString* error);

private:
    QString statement(int rows) const;
    bool write(PreparedStatement& statement, QString* error);

    QSqlDatabase m_db;
    QString m_table;
    QString m_keyField;
    QStringList m_fields;
    bool m_server;
    // A server's VALUES list has no column types: each value is cast to its field's type.
    QStringList m_casts;
    // A file's statement of one row, or a server's of rowsPerStatement rows.
    std::unique_ptr<PreparedStatement> m_statement;
    QVariantList m_pending;
    // The keys pending: a key met again is written first, so that the later values win on both engines.
    QSet<qlonglong> m_keys;
};
