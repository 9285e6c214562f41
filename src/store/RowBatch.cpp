#include "RowBatch.h"

using namespace Qt::StringLiterals;

RowBatch::RowBatch(QSqlDatabase db, const QString& table, const QStringList& columns, QVariantList shared)
    : m_db(std::move(db)), m_head(u"INSERT INTO %1 (%2)"_s.arg(table, columns.join(u", "_s))),
      m_shared(std::move(shared)), m_columns(columns.size())
{
    Q_ASSERT(m_shared.size() < m_columns);
    m_pending.reserve(rowsPerStatement * m_columns);
}

bool RowBatch::add(const QVariantList& row, QString* error)
{
    Q_ASSERT(m_shared.size() + row.size() == m_columns);
    // The shared values go with every row: each then takes its columns' types, on every engine.
    m_pending += m_shared;
    m_pending += row;
    if (++m_rows < rowsPerStatement)
        return true;
    if (!m_full) {
        m_full = std::make_unique<PreparedStatement>(m_db, statement(rowsPerStatement), error);
        if (!m_full->isValid())
            return false;
    }
    return write(*m_full, error);
}

bool RowBatch::flush(QString* error)
{
    if (m_rows == 0)
        return true;
    PreparedStatement partial(m_db, statement(m_rows), error);
    return partial.isValid() && write(partial, error);
}

QString RowBatch::statement(int rows) const
{
    const QString row = u'(' + QStringList(int(m_columns), u"?"_s).join(u", "_s) + u')';
    return m_head + u" VALUES "_s + QStringList(rows, row).join(u", "_s);
}

bool RowBatch::write(PreparedStatement& statement, QString* error)
{
    const bool ok = statement.exec(m_pending, error);
    m_pending.clear();
    m_rows = 0;
    return ok;
}
