#pragma once

#include "IngredientCatalog.h"
#include "PriceHistory.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

class UserPrompts;

// "Пересчёт цен": raises or lowers the price of ordinary ingredients by a whole percentage. Semi-finished
// products are never re-priced: their price comes from their composition.
class PriceRecalculation
{
public:
    enum class Scope
    {
        Ingredient,
        Group,
        All
    };
    enum class Action
    {
        Raise,
        Lower
    };

    // The dialog's choices; the window keeps one of these for the whole run.
    struct Settings
    {
        Scope scope = Scope::Ingredient;
        Action action = Action::Raise;
        int percent = 0; // 0 to 100; values outside are taken as the nearest bound
    };

    explicit PriceRecalculation(QSqlDatabase db);

    // The question asked before anything changes; scopeName is the name of the current ingredient or
    // group, as the scope needs (unused for "Все ингредиенты").
    static QString confirmationText(const Settings& settings, const QString& scopeName);

    // Asks the confirmation (caption "Предупреждение пересчёта"), changes every ordinary ingredient in
    // scope in one transaction and reports success. Returns true when the prices were written.
    //
    // The scope names its rows by the keys of the page's current ingredient and group; when the row the
    // scope needs is missing (an empty list) nothing happens and nothing is asked. "Все ингредиенты"
    // takes every ingredient, whatever its group. An empty price is written as 0, as every ingredient
    // in scope is written even when p = 0. For a semi-finished product as the current ingredient under
    // "Ингредиент" the confirmation names it, and then the user is told that its price is not
    // recalculated instead of being told of a success.
    bool run(const Settings& settings, const QVariant& ingredientKey, const QVariant& groupKey,
             UserPrompts& prompts);

    // run() in three steps, so that a window can store on a worker and ask nothing meanwhile: the
    // questions before, the repricing, the telling after.
    struct Outcome
    {
        bool stored = false;
        int prices = 0;   // ingredients written
        QString tooLarge; // the ingredient whose price would become infinite: nothing stored
        QString error;    // a database error: nothing stored
        bool cancelled = false;
    };
    // Asks the confirmation and refuses a semi-finished product, as run() does; true to go on.
    bool confirm(const Settings& settings, const QVariant& ingredientKey, const QVariant& groupKey,
                 UserPrompts& prompts) const;
    // Stores the repricing in one transaction that reads its scope again inside it, asking and telling
    // nothing; the progress hears n of N prices written, and false stops and stores nothing.
    Outcome apply(const Settings& settings, const QVariant& ingredientKey, const QVariant& groupKey,
                  const IngredientCatalog::Progress& progress = {});
    // The warning of a refused outcome or the success; true when the prices were written.
    static bool tell(const Outcome& outcome, UserPrompts& prompts);

    // The prices run() would store, by ingredient, computed and not stored: none when the scope's row
    // is missing or is a semi-finished product. Nothing with *tooLarge naming the ingredient whose
    // price would become infinite, or with *error on a database error.
    std::optional<QList<PriceHistory::Change>> newPrices(const Settings& settings,
                                                         const QVariant& ingredientKey,
                                                         const QVariant& groupKey, QString* tooLarge,
                                                         QString* error) const;

private:
    // The row the scope names and how far the change reaches.
    struct Target
    {
        bool found = false; // false: nothing to change and nothing to ask
        QString name;
        bool semiFinished = false;
        IngredientCatalog::PriceReach reach = IngredientCatalog::PriceReach::All;
        qlonglong key = 0;
    };
    std::optional<Target> target(const Settings& settings, const QVariant& ingredientKey,
                                 const QVariant& groupKey, QString* error) const;

    QSqlDatabase m_db;
};
