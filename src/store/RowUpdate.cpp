#include "RowUpdate.h"

#include "Engine.h"
#include "Schema.h"

using namespace Qt::StringLiterals;

RowUpdate::RowUpdate(QSqlDatabase db, const QString& table, const QString& keyField,
                     const QStringList& fields)
    : m_db(std::move(db)), m_table(table), m_keyField(keyField), m_fields(fields),
      m_server(Engine::of(m_db) == Engine::Postgres)
{
    if (!m_server)
        return;
    const QList<schema::DeclaredField> declared = schema::declaredFields(table);
    const auto typeOf = [&declared](const QString& field) {
        for (const schema::DeclaredField& d : declared) {
            if (d.name.compare(field, Qt::CaseInsensitive) == 0)
                return d.key ? u"BIGINT"_s : Engine::postgresSpelling(d.type);
        }
        Q_ASSERT_X(false, "RowUpdate", "a field the schema does not declare");
        return QString();
    };
    m_casts << typeOf(keyField);
    for (const QString& field : fields)
        m_casts << typeOf(field);
}

bool RowUpdate::add(qlonglong key, const QVariantList& values, QString* error)
{
    Q_ASSERT(values.size() == m_fields.size());
    if (!m_server) {
        if (!m_statement) {
            QStringList sets;
            for (const QString& field : std::as_const(m_fields))
                sets << field + u" = ?"_s;
            m_statement = std::make_unique<PreparedStatement>(
                m_db, u"UPDATE %1 SET %2 WHERE %3 = ?"_s.arg(m_table, sets.join(u", "_s), m_keyField), error);
            if (!m_statement->isValid())
                return false;
        }
        return m_statement->exec(values + QVariantList{key}, error);
    }
    if (m_keys.contains(key) && !flush(error))
        return false;
    m_keys.insert(key);
    m_pending << key;
    m_pending += values;
    if (m_keys.size() < rowsPerStatement)
        return true;
    if (!m_statement) {
        m_statement = std::make_unique<PreparedStatement>(m_db, statement(rowsPerStatement), error);
        if (!m_statement->isValid())
            return false;
    }
    return write(*m_statement, error);
}

bool RowUpdate::flush(QString* error)
{
    if (m_keys.isEmpty())
        return true;
    PreparedStatement partial(m_db, statement(int(m_keys.size())), error);
    return partial.isValid() && write(partial, error);
}

QString RowUpdate::statement(int rows) const
{
    QStringList casts;
    for (const QString& type : m_casts)
        casts << u"CAST(? AS %1)"_s.arg(type);
    const QString row = u'(' + casts.join(u", "_s) + u')';
    QStringList names{u"k"_s}, sets;
    for (int i = 0; i < m_fields.size(); ++i) {
        names << u"v%1"_s.arg(i);
        sets << u"%1 = v.v%2"_s.arg(m_fields.at(i)).arg(i);
    }
    return u"UPDATE %1 SET %2 FROM (VALUES %3) AS v (%4) WHERE %1.%5 = v.k"_s.arg(
        m_table, sets.join(u", "_s), QStringList(rows, row).join(u", "_s), names.join(u", "_s), m_keyField);
}

bool RowUpdate::write(PreparedStatement& statement, QString* error)
{
    const bool ok = statement.exec(m_pending, error);
    m_pending.clear();
    m_keys.clear();
    return ok;
}
