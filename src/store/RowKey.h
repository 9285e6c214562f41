#pragma once

#include <QVariant>

#include <optional>

// The row a key or a reference names. A reference is a REAL holding a whole number, read the way every
// view reads it (rounded, halves to even). Null, empty and non-positive values name no row: keys
// start at 1.
std::optional<qlonglong> rowKey(const QVariant& value);
