#include "IngredientRowCheck.h"

#include "store/Rounding.h"
#include "store/UserPrompts.h"

using namespace Qt::StringLiterals;

std::optional<QString> IngredientRowCheck::problem(const QVariant& price, const QVariant& semiFinished,
                                                   const QVariant& unit)
{
    // "!(x > 0)" so that a value that reads as no number also fails.
    if (!(price.toDouble() > 0.0) && !semiFinished.toBool())
        return u"Поставте цену ингредиенту"_s;
    if (!(rounding::wholeNumber(unit.toDouble()) > 0.0))
        return u"Поставьте единицу измерения ингредиенту"_s;
    return std::nullopt;
}

bool IngredientRowCheck::check(const QVariant& price, const QVariant& semiFinished, const QVariant& unit,
                               UserPrompts& prompts)
{
    const auto text = problem(price, semiFinished, unit);
    if (text)
        prompts.warn(caption(), *text);
    return !text;
}
