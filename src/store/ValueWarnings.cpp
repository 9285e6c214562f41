#include "ValueWarnings.h"

namespace valuewarnings {

namespace {

bool is(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QString mustBePositive(const QString& what, const QVariant& value)
{
    if (value.toDouble() > 0)
        return {};
    return QStringLiteral("%1 должен быть больше нуля: расчёты цен и расхода на нём остановятся.").arg(what);
}

} // namespace

QString forField(const QString& table, const QString& field, const QVariant& value, bool semiFinished)
{
    if (is(table, "Edinica") && is(field, "Gramm"))
        return mustBePositive(QStringLiteral("Вес единицы в граммах"), value);
    if (is(table, "Bludo") && is(field, "Nporc"))
        return mustBePositive(QStringLiteral("Выход блюда в порциях"), value);
    if (semiFinished)
        return {};
    if ((is(table, "Ing") && is(field, "Vih")) || (is(table, "Karta") && is(field, "Vihod")))
        return mustBePositive(QStringLiteral("Процент выхода"), value);
    if (is(table, "Ing") && is(field, "Cena") && value.toDouble() < 0)
        return QStringLiteral("Цена меньше нуля: стоимость блюд с этим ингредиентом будет отрицательной.");
    return {};
}

} // namespace valuewarnings
