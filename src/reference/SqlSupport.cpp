#include "SqlSupport.h"

#include "store/UserPrompts.h"

#include <QSqlError>

using namespace Qt::StringLiterals;

std::optional<bool> hasRow(QSqlDatabase db, const QString& sql, const QVariantList& values, QString* error)
{
    QSqlQuery query(db);
    if (!runQuery(query, sql, values, error))
        return std::nullopt;
    return query.next();
}

bool showDatabaseError(UserPrompts& prompts, const QString& error)
{
    prompts.warn(u"Ошибка"_s, error);
    return false;
}
