#pragma once

// The one place where numbers are rounded. Halves go to the even neighbour, as the stored figures of
// a kitchen's books have always been rounded.
namespace rounding {

// Nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4).
double wholeNumber(double value);

// Nearest whole number as an int, for percents, portions and keys taken as whole numbers.
int toInt(double value);

// To the kopeck: round(value * 100) / 100 with halves to even.
double toKopeck(double value);

} // namespace rounding
