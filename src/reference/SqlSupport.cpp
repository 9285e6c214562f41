#include "SqlSupport.h"

#include "store/Rounding.h"
#include "store/UserPrompts.h"

#include <QSqlError>

#include <cmath>

std::optional<qlonglong> rowKey(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    // Beyond 2^53 a REAL no longer holds every whole number, so no stored key can be there.
    if (!ok || !std::isfinite(number) || number > 9007199254740992.0)
        return std::nullopt;
    const double whole = rounding::wholeNumber(number);
    if (whole < 1.0)
        return std::nullopt;
    return static_cast<qlonglong>(whole);
}

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
