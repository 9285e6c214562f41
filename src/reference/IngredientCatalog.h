#pragma once

#include "PriceHistory.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class UserPrompts;

// The operations of the ingredients page and of the composition chooser of a semi-finished product,
// keyed by the rows the grids show.
//
// A key that names no row (a null key from an empty list, or a row that is gone) makes every
// operation do nothing at all: no question, no message, nothing changed. So "nothing happens if the
// group list is empty" holds for each button: deleting a group, an ingredient or a composition row,
// moving an ingredient, choosing a component and closing the chooser.
//
// Operations that take UserPrompts ask and tell the user themselves; an error of the database is
// shown under "Ошибка" with the driver's text and leaves nothing of the operation stored. The others
// return false and give the driver's text through *error.
class IngredientCatalog
{
public:
    // The chooser offers only ingredients with a price: the filter of its candidate view.
    static constexpr const char* candidateFilter = "Cena > 0";

    // An ingredient's stock after a warehouse operation: its balance and, when written, its price with
    // the one it replaces.
    struct StockLevel
    {
        qlonglong ingredient = 0;
        double balance = 0;
        QVariant price;
        QVariant oldPrice;
    };
    // Which ordinary ingredients a price change reaches: every one, one group's or one.
    enum class PriceReach
    {
        All,
        Group,
        Ingredient
    };

    explicit IngredientCatalog(QSqlDatabase db);

    // The writes of other operations to ingredients. Each runs inside the caller's transaction and
    // returns false with the driver's text in *error; the caller decides what the user is told.

    // A new ordinary ingredient (yield 100, no waste), its price recorded as coming from source; its
    // key, or a null QVariant on failure.
    QVariant addIngredient(qlonglong group, const QString& name, qlonglong unit, double price,
                           PriceHistory::Source source, QString* error);
    // Writes each balance, and each price too when prices is given, which records the changed ones.
    bool setStock(const QList<StockLevel>& levels, const PriceHistory* prices, QString* error);
    // Adds a quantity to the balance of each ingredient named (an empty balance counts as 0); a
    // reference that names no ingredient changes nothing.
    bool addToStock(const QList<std::pair<QVariant, double>>& quantities, QString* error);
    // The price of every ordinary ingredient in reach times the factor (an empty price counts as 0),
    // by key, computed and not stored; semi-finished products are never in reach. When a price would
    // become infinite, nothing with *tooLarge naming that ingredient; on a database error nothing with
    // *error.
    std::optional<QList<PriceHistory::Change>> scaledPrices(double factor, PriceReach reach, qlonglong key,
                                                            QString* tooLarge, QString* error) const;
    // Writes every scaled price (each one, even for a factor of 1, so an empty price becomes 0) and
    // records them as a repricing of today. When a price would become infinite nothing is written.
    // The progress hears n of N prices written; false stops before the next, with *error empty.
    using Progress = std::function<bool(int n, int total)>;
    bool scalePrices(double factor, PriceReach reach, qlonglong key, QString* tooLarge, QString* error,
                     const Progress& progress = {});

    // True when a costing card line or a composition row refers to the ingredient. A failed query
    // counts as used, so that nothing is deleted on a guess.
    bool isUsed(const QVariant& ingredientKey, QString* error = nullptr) const;

    // The next three return true when they stored a change; false with *error left alone when there
    // was nothing to do, false with the driver's text in *error on a database error.

    // Puts the ingredient into another group (nothing when either row is missing).
    bool moveToGroup(const QVariant& ingredientKey, const QVariant& groupKey, QString* error = nullptr);

    // The window calls this when the focus leaves the "Полуфабрикат" check box, after posting the
    // row. The yield becomes 100 only when the row had pending changes (whichever way the flag was
    // turned, or any other edit of the row); leaving the box without a change stores nothing.
    bool applyFlagChange(const QVariant& ingredientKey, bool rowHadPendingChanges, QString* error = nullptr);

    // Each deletion asks its confirmation and returns true when anything was deleted (the views need
    // a reload). Deleting a group deletes its unused ingredients with their own composition rows and
    // the group itself only when no ingredient had to be kept.
    bool deleteGroup(const QVariant& groupKey, UserPrompts& prompts);
    bool deleteIngredient(const QVariant& ingredientKey, UserPrompts& prompts);
    // Deletes one composition row; the product's price is reset only when the chooser closes.
    bool deleteComponent(const QVariant& compositionRowKey, UserPrompts& prompts);

    // Appends the candidate to the product's composition with the grams left empty (the same
    // component may be chosen again) and returns the new row's key; a null QVariant when it is
    // refused or nothing was added.
    QVariant chooseComponent(const QVariant& productKey, const QVariant& candidateKey, UserPrompts& prompts);

    // On every close of the chooser, changed or not, the product's price becomes 0 until the next
    // price calculation.
    bool closeChooser(const QVariant& productKey, QString* error = nullptr);

private:
    std::optional<bool> used(qlonglong ingredientKey, QString* error) const;
    std::optional<bool> exists(const char* table, const char* keyField, qlonglong key, QString* error) const;
    // Inside the caller's transaction: deletes the ingredient with its own composition rows unless
    // something refers to it.
    bool deleteIfUnused(qlonglong ingredientKey, bool* deleted, QString* error);
    // The transactional part of deleteGroup; nothing of it stays when it returns false.
    bool deleteGroupRows(qlonglong groupKey, bool* anyDeleted, bool* allDeleted, QString* error);

    QSqlDatabase m_db;
};
