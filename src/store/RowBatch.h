#pragma once

#include "SqliteStatement.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <memory>

// Writes many rows through statements of up to rowsPerStatement rows each,
// "head VALUES (?, ...), ... tail", with every value bound: the values shared by every row (the
// parameters of head) first, then the rows. A statement per row costs more than the row itself.
// The caller runs it inside its transaction: after a failure the rows of earlier statements stay
// written until that transaction rolls back.
class RowBatch
{
public:
    static constexpr int rowsPerStatement = 100;

    RowBatch(QSqlDatabase db, QString head, QVariantList shared, int columns, QString tail = QString());

    // Adds one row of exactly `columns` values; writes a full statement's worth at once.
    // False, with the reason in *error, when a statement failed.
    bool add(const QVariantList& row, QString* error);
    // Writes what is pending.
    bool flush(QString* error);

private:
    QString statement(int rows) const;
    bool write(SqliteStatement& statement, QString* error);

    QSqlDatabase m_db;
    QString m_head;
    QVariantList m_shared;
    int m_columns;
    QString m_tail;
    std::unique_ptr<SqliteStatement> m_full;
    QVariantList m_pending;
};
