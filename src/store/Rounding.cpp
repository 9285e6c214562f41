#include "Rounding.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace rounding {

double toDecimals(double value, int decimals)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    // Shortest round-trip form in scientific notation: "-d.ddde-x", at most 17 significant digits.
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    if (written.ec != std::errc())
        return value;
    const bool negative = text[0] == '-';
    char digits[24];
    int count = 0;
    const char* p = text + (negative ? 1 : 0);
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            digits[count++] = *p;
    }
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), written.ptr, exponent);
    // Digits before this position are kept; the first one after it decides.
    const int keep = exponent + 1 + decimals;
    if (keep >= count)
        return value; // nothing beyond the wanted decimals
    bool up = false;
    if (keep >= 0) {
        const char first = digits[keep];
        bool exactHalf = first == '5';
        for (int i = keep + 1; exactHalf && i < count; ++i)
            exactHalf = digits[i] == '0';
        const bool lastOdd = keep > 0 && (digits[keep - 1] - '0') % 2 == 1;
        up = first > '5' || (first == '5' && (!exactHalf || lastOdd));
    }
    // The kept digits as a whole number, one more when rounding up; at most 18 digits.
    long long whole = 0;
    for (int i = 0; i < keep; ++i)
        whole = whole * 10 + (digits[i] - '0');
    if (up)
        ++whole;
    // whole × 10^-decimals, read back as the nearest double.
    char result[48];
    const int length =
        std::snprintf(result, sizeof result, "%s%llde%d", negative ? "-" : "", whole, -decimals);
    double rounded = 0;
    std::from_chars(result, result + length, rounded);
    return rounded == 0 ? 0.0 : rounded; // no negative zero
}

double wholeNumber(double value)
{
    return toDecimals(value, 0);
}

int toInt(double value)
{
    return static_cast<int>(wholeNumber(value));
}

double toKopeck(double value)
{
    return toDecimals(value, 2);
}

} // namespace rounding
