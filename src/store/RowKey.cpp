#include "RowKey.h"

#include "Rounding.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

std::optional<qlonglong> rowKey(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    double number = value.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    // Whole numbers, the normal case, need no rounding (and switching the rounding mode costs).
    if (number != std::trunc(number))
        number = rounding::wholeNumber(number);
    // Beyond 2^53 a REAL no longer holds every whole number, so no stored key can be there.
    if (!(number >= 1 && number <= 9007199254740992.0))
        return std::nullopt;
    return static_cast<qlonglong>(number);
}

bool isWholeReference(const QVariant& value)
{
    if (value.isNull())
        return true;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number) && number == std::trunc(number);
}

std::optional<qlonglong> wholeKey(const QVariant& value)
{
    return isWholeReference(value) ? rowKey(value) : std::nullopt;
}

QString notWholeReference(const QString& table, const QVariant& row, const QString& field,
                          const QVariant& value)
{
    // The shortest form that reads back to the stored number: 7.0000000001 shows as such, not as 7.
    const QString stored = QLocale::c().toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return u"В таблице %1, строка %2: ссылка %3 хранит %4, а не целый код записи. Исправьте значение "
           "(kuhnemer-data check покажет все такие ссылки)."_s.arg(table, row.toString(), field, stored);
}
