#include "CellFormat.h"

#include <type_traits>

namespace {

template <typename T> void take(std::optional<T>& target, const std::optional<T>& source)
{
    if (source)
        target = source;
}

template <typename T> size_t hashOptional(size_t seed, const std::optional<T>& value)
{
    if (!value)
        return qHashMulti(seed, false);
    if constexpr (std::is_enum_v<T>)
        return qHashMulti(seed, true, static_cast<int>(*value));
    else
        return qHashMulti(seed, true, *value);
}

} // namespace

bool BorderLine::isVisible() const
{
    if (!lineStyle && !weight && !colorIndex)
        return false;
    return lineStyle.value_or(LineStyle::Continuous) != XlNone && colorIndex.value_or(0) != XlNone;
}

void CellFormat::overlay(const CellFormat& over)
{
    take(fontName, over.fontName);
    take(fontSize, over.fontSize);
    take(bold, over.bold);
    take(fontColor, over.fontColor);
    take(horizontalAlignment, over.horizontalAlignment);
    take(verticalAlignment, over.verticalAlignment);
    take(wrapText, over.wrapText);
    take(orientation, over.orientation);
    take(numberFormat, over.numberFormat);
    for (size_t i = 0; i < borders.size(); ++i) {
        take(borders[i].lineStyle, over.borders[i].lineStyle);
        take(borders[i].weight, over.borders[i].weight);
        take(borders[i].colorIndex, over.borders[i].colorIndex);
    }
}

size_t qHash(const CellFormat& format, size_t seed) noexcept
{
    seed = hashOptional(seed, format.fontName);
    seed = hashOptional(seed, format.fontSize);
    seed = hashOptional(seed, format.bold);
    seed = hashOptional(seed, format.fontColor);
    seed = hashOptional(seed, format.horizontalAlignment);
    seed = hashOptional(seed, format.verticalAlignment);
    seed = hashOptional(seed, format.wrapText);
    seed = hashOptional(seed, format.orientation);
    seed = hashOptional(seed, format.numberFormat);
    for (const BorderLine& line : format.borders) {
        seed = hashOptional(seed, line.lineStyle);
        seed = hashOptional(seed, line.weight);
        seed = hashOptional(seed, line.colorIndex);
    }
    return seed;
}
