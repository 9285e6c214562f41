#pragma once

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>
#include <span>
#include <vector>

// Which dishes the recipe is read for: the whole kitchen, one dish group, the dishes a sales
// document names (all its lines, or those with portions sold), or the dishes listed (read with the
// whole kitchen's queries and kept in memory: cheaper than a filter once they are many).
struct RecipeSelection
{
    enum class Dishes
    {
        Kitchen,
        Group,
        SalesDocument,
        SoldInDocument,
        Listed
    };
    Dishes dishes = Dishes::Kitchen;
    qlonglong key = 0; // the group or the document
    // Without them a semi-finished product on a card is just an ingredient with its stored price.
    bool compositions = true;
    QSet<qlonglong> listed; // the dishes of Listed
};

// An ingredient as stored. Its references are whole keys as the views read them (rounded).
struct RecipeIngredient
{
    qlonglong key = 0;
    QString name;
    QVariant group;                  // the group's key, null when none
    QVariant unit;                   // the unit's key, null when none
    std::optional<double> unitGrams; // nothing when the unit is gone
    QString unitName;                // the unit's short name, empty when it is gone
    bool semiFinished = false;
    std::optional<double> price; // nothing when empty
    double percent = 0;
    double yield = 0;
    double okr = 0;
    double position = 0;
    // The same rounded to whole numbers, as several calculations count them; rounded once here, since
    // rounding on the decimal form costs more than the arithmetic of a card line.
    std::optional<double> wholeUnitGrams;
    double wholePercent = 0;
    double wholeYield = 0;
};

struct RecipeGroup
{
    qlonglong key = 0;
    QString name;
};

struct RecipeDish
{
    qlonglong key = 0;
    qlonglong group = 0; // 0 when the reference names no row
    QString name;
    double portions = 0;
    double percent = 0;
    std::optional<double> price; // nothing when empty
    QString yield;               // the printed "Выход"
    QString mark;                // the print mark
};

// A line of a costing card or of a composition.
struct RecipeLine
{
    qlonglong ingredient = 0; // 0 when the line names no row
    double grams = 0;
    double yield = 0; // a card line's own yield; 0 on a composition
};

// The recipe as every calculation reads it: units, ingredients, dish groups, dishes, their costing
// cards and the compositions of the semi-finished products on them (one level deep: a product's
// components are taken as ingredients). Values are kept as stored, with the whole forms beside them;
// each calculation takes the ones it has always taken, so that its figures stay what they were.
//
// Read in one pass of a few set-based queries (inside the caller's transaction, so that what is
// computed and what is written see one state). A card or composition line whose ingredient reference
// is not a whole number refuses the whole read, naming the table, the row and the value; a line whose
// reference to its dish or product is not whole belongs to none, as in every join.
class RecipeBook
{
public:
    // Keys start at 1: a reference naming no row reads as 0.
    static constexpr qlonglong noKey = 0;

    bool load(const QSqlDatabase& db, const RecipeSelection& selection, QString* error);

    // Groups by name (Russian order), then key; the dishes of a group by key.
    const std::vector<RecipeGroup>& groups() const { return m_groups; }
    std::span<const RecipeDish> dishesOf(qlonglong group) const;
    int dishCount() const { return static_cast<int>(m_dishes.size()); }
    const RecipeDish* dish(qlonglong key) const;

    // Null when the ingredient is gone (or was not read: it is on no card of the selection).
    const RecipeIngredient* ingredient(qlonglong key) const;
    // Empty when the ingredient is gone.
    QString ingredientName(qlonglong key) const;

    // Card and composition lines in key order.
    std::span<const RecipeLine> card(qlonglong dish) const;
    std::span<const RecipeLine> composition(qlonglong product) const;

    // "в блюде "…" (группа "…")": where a stopped calculation says the fault is. The group is left
    // out when the dish's reference names none.
    QString inDish(const RecipeDish& dish) const;

    // The causes a stopped calculation (the price run, the consumption) gives after inDish().
    // Whose figure it is: "у ингредиента "…"", "у полуфабриката "…"" (the product itself: product
    // equal to ingredient) or "у ингредиента "…" в составе полуфабриката "…"".
    QString whose(qlonglong ingredient, qlonglong product = noKey) const;
    // Whether the ingredient's unit can divide; *fault says why not.
    bool unitDivides(const RecipeIngredient& ingredient, qlonglong product, QString* fault) const;
    // A card line naming no ingredient or one that is gone; a component that is gone; a card line
    // whose own yield is zero.
    static QString cardIngredientGone(qlonglong key);
    QString componentGone(qlonglong product) const;
    static QString lineYieldZero(const RecipeIngredient& ingredient);

    // Why a sales print-out cannot lay out a card line (ingredient null when gone), for "Блюдо ...: ":
    // a gone ingredient or unit, or a unit weight or yield that is zero (yields after rounding to whole
    // numbers). Empty when usable. The product's own yield is checked only when it is used.
    static QString unusable(const RecipeIngredient* ingredient, qlonglong key, const QString& usage = {},
                            bool yieldUsed = true);
    static QString zeroYield(double stored, const QString& what);

private:
    std::vector<RecipeGroup> m_groups;
    std::vector<RecipeDish> m_dishes; // by group key, then key
    QHash<qlonglong, std::size_t> m_dishIndex;
    QHash<qlonglong, RecipeIngredient> m_ingredients;
    // Lines by owner (dish or product), key order kept within each: one block of memory and a binary
    // search, where a container per card would cost an allocation per dish of a large kitchen.
    struct Lines
    {
        std::vector<qlonglong> owners;
        std::vector<RecipeLine> lines;

        void assign(std::vector<std::pair<qlonglong, RecipeLine>> read);
        std::span<const RecipeLine> of(qlonglong owner) const;
    };
    Lines m_cards;
    Lines m_compositions;
};
