#include "RowBatch.h"

#include <QStringList>

using namespace Qt::StringLiterals;

RowBatch::RowBatch(QSqlDatabase db, QString head, QVariantList shared, int columns, QString tail)
    : m_db(std::move(db)), m_head(std::move(head)), m_shared(std::move(shared)), m_columns(columns),
      m_tail(std::move(tail)), m_pending(m_shared)
{
    m_pending.reserve(m_shared.size() + rowsPerStatement * m_columns);
}

bool RowBatch::add(const QVariantList& row, QString* error)
{
    Q_ASSERT(row.size() == m_columns);
    m_pending += row;
    if (m_pending.size() < m_shared.size() + rowsPerStatement * m_columns)
        return true;
    if (!m_full) {
        m_full = std::make_unique<SqliteStatement>(m_db, statement(rowsPerStatement), error);
        if (!m_full->isValid())
            return false;
    }
    return write(*m_full, error);
}

bool RowBatch::flush(QString* error)
{
    if (m_pending.size() == m_shared.size())
        return true;
    SqliteStatement partial(m_db, statement(int((m_pending.size() - m_shared.size()) / m_columns)), error);
    return partial.isValid() && write(partial, error);
}

QString RowBatch::statement(int rows) const
{
    const QString row = u'(' + QStringList(m_columns, u"?"_s).join(u", "_s) + u')';
    return m_head + u" VALUES "_s + QStringList(rows, row).join(u", "_s) + m_tail;
}

bool RowBatch::write(SqliteStatement& statement, QString* error)
{
    const bool ok = statement.exec(m_pending, error);
    m_pending.resize(m_shared.size());
    return ok;
}
