#pragma once

#include <QString>
#include <QVariant>

// The stored values that the price, consumption and print calculations divide by. Such values may be
// stored, but the grids mark them so that the cook sees the fault before a calculation stops on it.
namespace valuewarnings {

// Why this value of table.field will stop a calculation, or an empty string when it is sound.
// semiFinished: the row is (or refers to) a semi-finished product, whose yields take no part.
QString forField(const QString& table, const QString& field, const QVariant& value, bool semiFinished);

// The words of `kuhnemer-data check` for such stored values; the card files refuse theirs in the same
// words.
extern const QString unitGramsNotPositive;
extern const QString ingredientYieldNotPositive;
extern const QString dishPortionsNotPositive;
extern const QString cardYieldNotPositive;
// A card row without a quantity stops no calculation, so the check does not name it; the card files
// refuse it in the same words.
extern const QString cardQuantityNotPositive;

} // namespace valuewarnings
