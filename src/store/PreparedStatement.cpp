#include "PreparedStatement.h"

#include "Database.h"

#include <QSqlError>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

PreparedStatement::PreparedStatement(const QSqlDatabase& db, const QString& sql, QString* error)
    : m_sqlite(Database::sqliteHandle(db))
{
    if (!m_sqlite) {
        auto query = std::make_unique<QSqlQuery>(db);
        query->setForwardOnly(true);
        if (!query->prepare(sql)) {
            Transaction::statementFailed(*query);
            *error = sqlErrorText(query->lastError());
            return;
        }
        m_query = std::move(query);
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

PreparedStatement::~PreparedStatement()
{
    sqlite3_finalize(m_statement);
}

bool PreparedStatement::bind(const QVariantList& values, QString* error)
{
    if (m_query) {
        m_query->finish();
        // The server stores the program's 0/1 flags as numbers, and takes a bound bool as a boolean.
        for (int i = 0; i < values.size(); ++i) {
            const QVariant& value = values.at(i);
            m_query->bindValue(i, value.typeId() == QMetaType::Bool ? QVariant(int(value.toBool())) : value);
        }
        m_pending = true;
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

bool PreparedStatement::next(QString* error)
{
    if (m_query) {
        if (m_pending) {
            m_pending = false;
            if (!m_query->exec()) {
                Transaction::statementFailed(*m_query);
                *error = sqlErrorText(m_query->lastError());
                return false;
            }
        }
        if (m_query->next())
            return true;
        if (m_query->lastError().isValid()) {
            Transaction::statementFailed(*m_query);
            *error = sqlErrorText(m_query->lastError());
        }
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

bool PreparedStatement::exec(const QVariantList& values, QString* error)
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

QVariant PreparedStatement::value(int column) const
{
    if (m_query) {
        // The server's driver hands a positive BIGINT over unsigned; a key is a key on both engines.
        const QVariant value = m_query->value(column);
        return value.typeId() == QMetaType::ULongLong ? QVariant(value.toLongLong()) : value;
    }
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

double PreparedStatement::number(int column) const
{
    if (m_query)
        return m_query->value(column).toDouble();
    return sqlite3_column_double(m_statement, column);
}

bool PreparedStatement::fail(QString* error) const
{
    *error = sqlErrorText(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(m_sqlite)),
                                    QSqlError::StatementError,
                                    QString::number(sqlite3_extended_errcode(m_sqlite))));
    return false;
}
