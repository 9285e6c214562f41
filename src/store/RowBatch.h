#pragma once

#include "PreparedStatement.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

// Writes many rows of one table through statements of up to rowsPerStatement rows each,
// "INSERT INTO table (columns) VALUES (?, ...), ...", with every value bound: a statement per row
// costs more than the row itself, and on a server a round trip each. The first columns take the
// values shared by every row, the rest each row's own.
// The caller runs it inside its transaction: after a failure the rows of earlier statements stay
// written until that transaction rolls back.
class RowBatch
{
public:
    static constexpr int rowsPerStatement = 100;

    RowBatch(QSqlDatabase db, const QString& table, const QStringList& columns, QVariantList shared = {});

    // Adds one row of the values of the columns after the shared ones; writes a full statement's worth
    // at once. False, with the reason in *error, when a statement failed.
    bool add(const QVariantList& row, QString* error);
    // Writes what is pending.
    bool flush(QString* error);

private:
    QString statement(int rows) const;
    bool write(PreparedStatement& statement, QString* error);

    QSqlDatabase m_db;
    QString m_head;
    QVariantList m_shared;
    qsizetype m_columns;
    std::unique_ptr<PreparedStatement> m_full;
    QVariantList m_pending;
    int m_rows = 0;
};
