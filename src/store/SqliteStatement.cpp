#include "SqliteStatement.h"

#include "Database.h"
#include "Engine.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <utility>

using namespace Qt::StringLiterals;

SqliteStatement::SqliteStatement(const QSqlDatabase& db, const QString& sql, QString* error)
    : m_sqlite(Database::sqliteHandle(db))
{
    if (!m_sqlite && Engine::of(db) == Engine::Postgres) {
        m_query = std::make_unique<QSqlQuery>(db);
        m_query->setForwardOnly(true);
        if (!m_query->prepare(sql)) {
            *error = sqlErrorText(m_query->lastError());
            m_query.reset();
        }
        return;
    }
    if (!m_sqlite) {
        *error = u"Драйвер SQLite не дал доступа к базе данных."_s;
        return;
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_sqlite, text.constData(), int(text.size()), &m_statement, nullptr) !=
        SQLITE_OK) {
        fail(error);
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

bool SqliteStatement::bind(const QVariantList& values, QString* error)
{
    if (m_query) {
        m_query->finish();
        for (int i = 0; i < values.size(); ++i)
            m_query->bindValue(i, values[i]);
        m_queryPending = true;
        return true;
    }
    sqlite3_reset(m_statement);
    int index = 0;
    for (const QVariant& value : values) {
        ++index;
        int rc = SQLITE_OK;
        switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(m_statement, index);
            break;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
            rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc =
                sqlite3_bind_blob(m_statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QString text = value.toString();
            rc = sqlite3_bind_text16(m_statement, index, text.utf16(), int(text.size() * sizeof(char16_t)),
                                     SQLITE_TRANSIENT);
            break;
        }
        }
        if (rc != SQLITE_OK)
            return fail(error);
    }
    return true;
}

bool SqliteStatement::next(QString* error)
{
    if (m_query) {
        if (std::exchange(m_queryPending, false) && !m_query->exec()) {
            *error = sqlErrorText(m_query->lastError());
            return false;
        }
        if (m_query->next())
            return true;
        if (m_query->lastError().isValid())
            *error = sqlErrorText(m_query->lastError());
        return false;
    }
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW:
        return true;
    case SQLITE_DONE:
        sqlite3_reset(m_statement);
        return false;
    default:
        fail(error);
        sqlite3_reset(m_statement);
        return false;
    }
}

bool SqliteStatement::exec(const QVariantList& values, QString* error)
{
    if (!bind(values, error))
        return false;
    QString failure;
    while (next(&failure)) {
    }
    if (failure.isEmpty())
        return true;
    *error = failure;
    return false;
}

QVariant SqliteStatement::value(int column) const
{
    if (m_query)
        return m_query->value(column);
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(m_statement, column)),
                                   sqlite3_column_bytes(m_statement, column)));
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)),
                              sqlite3_column_bytes(m_statement, column)));
    }
}

double SqliteStatement::number(int column) const
{
    if (m_query)
        return m_query->value(column).toDouble();
    return sqlite3_column_double(m_statement, column);
}

bool SqliteStatement::fail(QString* error) const
{
    *error = sqlErrorText(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(m_sqlite)),
                                    QSqlError::StatementError,
                                    QString::number(sqlite3_extended_errcode(m_sqlite))));
    return false;
}
