#include "Rounding.h"

#include <cfenv>
#include <cmath>

namespace rounding {

double wholeNumber(double value)
{
    // nearbyint follows the current rounding mode; force the default so a stray fesetround elsewhere
    // cannot change a price.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double result = std::nearbyint(value);
    std::fesetround(saved);
    return result;
}

int toInt(double value)
{
    return static_cast<int>(wholeNumber(value));
}

double toKopeck(double value)
{
    return wholeNumber(value * 100.0) / 100.0;
}

} // namespace rounding
