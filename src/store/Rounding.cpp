#include "Rounding.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace rounding {

double toDecimals(double value, int decimals)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    // Shortest round-trip form in scientific notation: "d.ddde±x".
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (written.ec != std::errc())
        return value;
    const std::string text(buffer, written.ptr);
    const bool negative = text.front() == '-';
    const std::size_t e = text.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i) {
        if (text[i] != '.')
            digits += text[i];
    }
    const int exponent = std::stoi(text.substr(e + 1));
    // Digits before this position are kept; the first one after it decides.
    const long keep = long(exponent) + 1 + decimals;
    if (keep >= long(digits.size()))
        return value; // nothing beyond the wanted decimals
    std::string kept = keep > 0 ? digits.substr(0, std::size_t(keep)) : std::string();
    const std::string rest = keep >= 0 ? digits.substr(std::size_t(keep)) : std::string();
    bool up = false;
    if (!rest.empty()) {
        if (rest[0] > '5')
            up = true;
        else if (rest[0] == '5') {
            const bool exactHalf = rest.find_first_not_of('0', 1) == std::string::npos;
            const bool lastOdd = !kept.empty() && (kept.back() - '0') % 2 == 1;
            up = !exactHalf || lastOdd;
        }
    }
    if (kept.empty())
        kept = "0";
    if (up) {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9')
            kept[--i] = '0';
        if (i == 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[i - 1];
    }
    // kept × 10^-decimals, read back as the nearest double.
    std::string result;
    result.reserve(kept.size() + 8);
    if (negative)
        result.push_back('-');
    result.append(kept);
    result.push_back('e');
    result.append(std::to_string(-decimals));
    double rounded = 0;
    std::from_chars(result.data(), result.data() + result.size(), rounded);
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
