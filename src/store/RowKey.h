#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The row a key or a reference names. A reference is a REAL holding a whole number, read the way every
// view reads it (rounded, halves to even). Null, empty and non-positive values name no row: keys
// start at 1.
std::optional<qlonglong> rowKey(const QVariant& value);

// A reference as the operations that read the recipe (cards and compositions) take it: it names a row
// only when it is a whole number, as SQL's equality takes it. 7.4 or 7.0000000001, which another tool
// may write into the REAL field, names no row; null and non-positive values name none either.
std::optional<qlonglong> wholeKey(const QVariant& value);

// Whether a stored reference is empty or a whole number: anything else is refused where it is met.
bool isWholeReference(const QVariant& value);

// The refusal for a stored reference that is not a whole number, naming the table, the row (its key)
// and the field with the value as stored.
QString notWholeReference(const QString& table, const QVariant& row, const QString& field,
                          const QVariant& value);
