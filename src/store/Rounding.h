#pragma once

// The one place where numbers are rounded. Halves go to the even neighbour, as the stored figures of
// a kitchen's books have always been rounded. A half is decided on the number as the user reads it:
// the shortest decimal form that reads back to the same double. So 8.345 is a half and goes to 8.34,
// although its binary form times 100 is a hair above 834.5.
namespace rounding {

// To the given number of decimals, halves to even on the shortest decimal form; values that are not
// finite come back unchanged.
double toDecimals(double value, int decimals);

// Nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4).
double wholeNumber(double value);

// Nearest whole number as an int, for percents, portions and keys taken as whole numbers.
int toInt(double value);

// To the kopeck, halves to even (0.035 -> 0.04, 0.045 -> 0.04).
double toKopeck(double value);

} // namespace rounding
