#include "CommandLookups.h"

#include "store/Database.h"

#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commands {

bool strayOptions(const Options& options, QTextStream& err)
{
    if (options.rest().isEmpty())
        return false;
    err << u"Лишние параметры: %1"_s.arg(options.rest().join(u' ')) << Qt::endl;
    return true;
}

std::optional<qlonglong> keyByName(const QSqlDatabase& db, const QString& table, const QString& keyField,
                                   const QString& nameField, const QString& wanted, QString* error,
                                   const QString& condition, const QVariantList& conditionValues)
{
    QSqlQuery query(db);
    bool number = false;
    const qlonglong asKey = wanted.toLongLong(&number);
    QString sql = number ? u"SELECT %1 FROM %2 WHERE %1 = ?"_s.arg(keyField, table)
                         : u"SELECT %1 FROM %2 WHERE upper(%3) = upper(?)"_s.arg(keyField, table, nameField);
    if (!condition.isEmpty())
        sql += u" AND "_s + condition;
    if (!runQuery(query, sql, QVariantList{number ? QVariant(asKey) : QVariant(wanted)} + conditionValues,
                  error))
        return std::nullopt;
    if (!query.next()) {
        *error = u"Не найдено: \"%1\"."_s.arg(wanted);
        return std::nullopt;
    }
    const qlonglong key = query.value(0).toLongLong();
    if (query.next()) {
        *error = u"Имя \"%1\" носят несколько записей; укажите номер (ключ)."_s.arg(wanted);
        return std::nullopt;
    }
    return key;
}

std::optional<qlonglong> namedKey(const QSqlDatabase& db, const QString& table, const QString& keyField,
                                  const QString& wanted, const QString& label, QTextStream& err,
                                  const QString& condition, const QVariantList& conditionValues)
{
    QString error;
    const std::optional<qlonglong> key =
        keyByName(db, table, keyField, u"Name"_s, wanted, &error, condition, conditionValues);
    if (!key)
        err << label << u": "_s << error << Qt::endl;
    return key;
}

std::optional<QDate> dateOption(Options& options, const QString& name, bool* bad, QTextStream& err)
{
    bool missing = false;
    const std::optional<QString> text = options.value(name, &missing);
    if (missing) {
        err << u"Укажите дату после %1 (ГГГГ-ММ-ДД)."_s.arg(name) << Qt::endl;
        *bad = true;
        return std::nullopt;
    }
    if (!text)
        return std::nullopt;
    const QDate date = QDate::fromString(*text, Qt::ISODate);
    if (!date.isValid()) {
        err << u"Дата %1 \"%2\" не распознана; пишите ГГГГ-ММ-ДД."_s.arg(name, *text) << Qt::endl;
        *bad = true;
        return std::nullopt;
    }
    return date;
}

std::optional<std::pair<QDate, QDate>> periodOptions(Options& options, bool dayAllowed, QTextStream& err)
{
    bool bad = false;
    const std::optional<QDate> day = dayAllowed ? dateOption(options, u"--date"_s, &bad, err) : std::nullopt;
    const std::optional<QDate> from = dateOption(options, u"--from"_s, &bad, err);
    const std::optional<QDate> to = dateOption(options, u"--to"_s, &bad, err);
    if (bad)
        return std::nullopt;
    if (day && !from && !to)
        return std::pair{*day, *day};
    if (!day && from && to)
        return std::pair{*from, *to};
    err << (dayAllowed ? u"Укажите день (--date ГГГГ-ММ-ДД) или период (--from ГГГГ-ММ-ДД --to ГГГГ-ММ-ДД)."_s
                       : u"Укажите период: --from ГГГГ-ММ-ДД --to ГГГГ-ММ-ДД."_s)
        << Qt::endl;
    return std::nullopt;
}

} // namespace commands
