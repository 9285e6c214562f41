#include "SqlSupport.h"

#include "store/UserPrompts.h"

#include <QSqlError>

bool runQuery(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error)
{
    query.setForwardOnly(true);
    bool ok = query.prepare(sql);
    if (ok) {
        for (const QVariant& value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok && error)
        *error = query.lastError().text();
    return ok;
}

std::optional<bool> hasRow(QSqlDatabase db, const QString& sql, const QVariantList& values, QString* error)
{
    QSqlQuery query(db);
    if (!runQuery(query, sql, values, error))
        return std::nullopt;
    return query.next();
}

bool showDatabaseError(UserPrompts& prompts, const QString& error)
{
    prompts.warn(QStringLiteral("Ошибка"), error);
    return false;
}
