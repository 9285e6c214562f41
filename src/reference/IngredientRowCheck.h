#pragma once

#include <QString>
#include <QVariant>

#include <optional>

class UserPrompts;

// The check of an ingredient row in the ingredient picker, run when the cursor is about to leave the
// row and when the focus leaves the grid. Values are the row's Cena, Pf and Edinica as the grid holds
// them; empty numbers count as 0.
class IngredientRowCheck
{
public:
    static QString caption()
    {
        using namespace Qt::StringLiterals;
        return u"Ошибка"_s;
    }

    // The first problem of the row, the price before the unit, or nullopt when the row may be left.
    // A semi-finished product needs no price: it is computed from its composition.
    static std::optional<QString> problem(const QVariant& price, const QVariant& semiFinished,
                                          const QVariant& unit);

    // Shows the problem, if any, under caption(); false when the window must keep the row.
    static bool check(const QVariant& price, const QVariant& semiFinished, const QVariant& unit,
                      UserPrompts& prompts);
};
