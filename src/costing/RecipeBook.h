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

// How a calculation divides by a figure: as stored, or rounded to a whole number as several
// calculations have always counted it; a figure it does not divide by is not checked.
enum class DivisorForm
{
    Unused,
    Stored,
    Whole
};

// The figures one calculation divides by, each in its form. The unit weight and the ingredient's
// presence are always needed.
struct Divisors
{
    DivisorForm unitGrams = DivisorForm::Stored;
    DivisorForm portions = DivisorForm::Stored;
    DivisorForm yield = DivisorForm::Stored;            // an ingredient's on a card
    DivisorForm lineYield = DivisorForm::Stored;        // a card line's own
    DivisorForm productYield = DivisorForm::Unused;     // an expanded semi-finished product's on a card
    DivisorForm productLineYield = DivisorForm::Unused; // the line of an expanded semi-finished product
    DivisorForm componentYield = DivisorForm::Stored;   // a component's in the product's composition
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
    // A price substituted in memory, to see what a change would do before it is stored or what a past
    // price gave (nothing: an empty price); no effect for an ingredient the book does not hold.
    void substitutePrice(qlonglong key, std::optional<double> price);

    // Card and composition lines in key order.
    std::span<const RecipeLine> card(qlonglong dish) const;
    std::span<const RecipeLine> composition(qlonglong product) const;

    // The one refusal of a calculation that stops at a dish: "в блюде "…" (группа "…"): " and the fault.
    // The group is left out when the dish's reference names none.
    QString refusal(const RecipeDish& dish, const QString& fault) const;
    // Whose figure a fault names: "у ингредиента "…"", "у полуфабриката "…"" (the product itself:
    // product equal to ingredient) or "у ингредиента "…" в составе полуфабриката "…"".
    QString whose(qlonglong ingredient, qlonglong product = noKey) const;

    // The divisors of one card line, and of one component of a semi-finished product on it, in the
    // forms the calculation divides by; the refusal when one is zero or gone, else empty. Components
    // are checked one by one since some calculations lay out only some of them. A semi-finished
    // product is expanded only where its composition was read; otherwise it is a line like any other.
    QString lineFault(const RecipeDish& dish, const RecipeLine& line, const Divisors& divisors) const;
    QString componentFault(const RecipeDish& dish, qlonglong product, const RecipeLine& component,
                           const Divisors& divisors) const;
    // The dish's own divisor, for a calculation that divides by it whatever its card holds.
    QString portionsFault(const RecipeDish& dish, DivisorForm form) const;

private:
    QString unitFault(const RecipeIngredient& ingredient, qlonglong product, DivisorForm form) const;
    QString yieldFault(const RecipeIngredient& ingredient, qlonglong product, DivisorForm form) const;

    bool m_expanded = true; // the compositions were read
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
