#include "RowKey.h"

#include "Rounding.h"

#include <cmath>

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
