#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <vector>

// An ingredient as a card or a composition names it; 'exists' is false when its row is gone.
struct CardIngredient
{
    qlonglong key = 0;
    bool exists = false;
    QString name;
    bool semiFinished = false;
    double yield = 0;                // as stored
    std::optional<double> unitGrams; // nothing when the unit is gone
    QString unit;
};

struct CardRow
{
    CardIngredient ingredient;
    double grams = 0;
    double yield = 0; // the card line's own, as stored
};

struct CompositionRow
{
    CardIngredient component;
    double grams = 0; // per unit of the semi-finished product
};

// The costing cards of the dishes a sales document names, and the compositions of the semi-finished
// products on them, read with three queries for the sheets that lay a document out dish by dish.
class DishCards
{
public:
    // soldOnly: only the dishes of lines with portions sold.
    bool load(const QSqlDatabase& db, qlonglong document, bool soldOnly, QString* error);

    const std::vector<CardRow>& card(qlonglong dish) const;
    const std::vector<CompositionRow>& composition(qlonglong product) const;

    // Why a figure of the row cannot be computed, for "Блюдо ..., ": a gone ingredient or unit, or a
    // unit weight or yield that is zero (yields after rounding to whole numbers). Empty when usable.
    // The product's own yield and the card line's yield are checked only when they are used.
    static QString unusable(const CardIngredient& ingredient, const QString& usage = {},
                            bool yieldUsed = true);
    static QString zeroYield(double stored, const QString& what);

private:
    QHash<qlonglong, std::vector<CardRow>> m_cards;
    QHash<qlonglong, std::vector<CompositionRow>> m_compositions;
};
