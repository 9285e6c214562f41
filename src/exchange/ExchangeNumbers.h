#pragma once

#include <QChar>
#include <QString>

#include <optional>

// Numbers as the exchange files write and read them.
namespace exchangenumbers {

// The general number format: up to 15 significant digits, no trailing zeros, no thousands
// separator, the given decimal separator; an exponent ("1,5E-7") only for very small or large numbers.
QString general(double value, QChar decimalSeparator);

// The general format written positionally: the same 15 significant digits, never an exponent (1.5e-7
// is "0,00000015"), so that readers converting with the locale alone take it. Identical to general()
// wherever general() writes no exponent.
QString positional(double value, QChar decimalSeparator);

// A number written with the given decimal separator (as general() or positional() write it, the
// positional form of any finite double included); nothing otherwise.
std::optional<double> parseWithSeparator(const QString& text, QChar decimalSeparator);

// A number where any character other than a digit or a leading "-" is the decimal separator, so that
// "12.50" and "12,50" both read as twelve and a half. At most one separator, at least one digit.
std::optional<double> parseAnySeparator(const QString& text);

// A whole decimal number (optional sign, digits, surrounding spaces ignored) within the range.
std::optional<qlonglong> parseWhole(const QString& text, qlonglong min, qlonglong max);

} // namespace exchangenumbers
