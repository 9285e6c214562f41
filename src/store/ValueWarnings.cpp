#include "ValueWarnings.h"

using namespace Qt::StringLiterals;

namespace valuewarnings {

const QString unitGramsNotPositive = u"единица: вес в граммах не больше нуля"_s;
const QString ingredientYieldNotPositive = u"ингредиент: процент выхода не больше нуля"_s;
const QString dishPortionsNotPositive = u"блюдо: выход в порциях не больше нуля"_s;
const QString cardYieldNotPositive = u"строка карты: процент выхода не больше нуля"_s;
const QString cardQuantityNotPositive = u"строка карты: количество не больше нуля"_s;

namespace {

bool is(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QString mustBePositive(const QString& what, const QVariant& value)
{
    if (value.toDouble() > 0)
        return {};
    return u"%1 должен быть больше нуля: расчёты цен и расхода на нём остановятся."_s.arg(what);
}

} // namespace

QString forField(const QString& table, const QString& field, const QVariant& value, bool semiFinished)
{
    if (is(table, "Edinica") && is(field, "Gramm"))
        return mustBePositive(u"Вес единицы в граммах"_s, value);
    if (is(table, "Bludo") && is(field, "Nporc"))
        return mustBePositive(u"Выход блюда в порциях"_s, value);
    if (semiFinished)
        return {};
    if ((is(table, "Ing") && is(field, "Vih")) || (is(table, "Karta") && is(field, "Vihod")))
        return mustBePositive(u"Процент выхода"_s, value);
    if (is(table, "Ing") && is(field, "Cena") && value.toDouble() < 0)
        return u"Цена меньше нуля: стоимость блюд с этим ингредиентом будет отрицательной."_s;
    return {};
}

} // namespace valuewarnings
