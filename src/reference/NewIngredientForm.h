#pragma once

#include "PriceHistory.h"

#include <QChar>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

class UserPrompts;

// What the dialog "Добавление нового ингредиента" holds when OK is pressed.
struct NewIngredient
{
    QString name;
    QString priceText;
    QVariant groupKey; // the group current in the group grid
    QVariant unitKey;  // the unit current in the unit grid
    // What the price history says brought the ingredient in: the card import, or the warehouse window.
    PriceHistory::Source source = PriceHistory::Source::NewIngredient;
};

// The dialog's OK: checks the typed values in the dialog's order and appends an ordinary ingredient.
class NewIngredientForm
{
public:
    // Where the focus goes after a refusal.
    enum class Field
    {
        None,
        Name,
        Price,
        Group,
        Unit
    };

    struct Result
    {
        QVariant key;              // the new ingredient's Kod1; null when nothing was stored
        Field focus = Field::None; // the box to return to after a refusal
    };

    explicit NewIngredientForm(QSqlDatabase db);

    // Checks in this order: the name (blanks only count as empty; at most 50 characters), the price
    // (not empty, only digits and the system's decimal separator, then read as a number in that format:
    // "1,2,3" passes the character check and fails here), a chosen group and a chosen unit. Each
    // refusal is told through prompts and stores nothing. A new ingredient gets Pf 0, Proc 0, Vih 100.
    Result add(const NewIngredient& input, QChar decimalSeparator, UserPrompts& prompts);

private:
    QSqlDatabase m_db;
};
