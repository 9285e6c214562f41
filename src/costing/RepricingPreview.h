#pragma once

#include "reference/PriceRecalculation.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

// A semi-finished product or dish whose cost a price change would move.
struct RepricingRow
{
    enum class Kind
    {
        SemiFinished,
        Dish
    };
    Kind kind = Kind::Dish;
    qlonglong key = 0; // Ing.Kod1 or Bludo.Kod1
    QString name;
    QString group;      // the dish's group; empty for a product
    double oldCost = 0; // of a portion of a dish, of a unit of a product, in kopecks
    double newCost = 0;
    // A dish's stored price of a portion, which a change of ingredient prices leaves as it is; nothing
    // for a product, or for a dish without a price above 0.
    std::optional<double> sellingPrice;
    // Food-cost share: cost of a portion ÷ selling price (0.35 is 35 %).
    std::optional<double> oldShare;
    std::optional<double> newShare;
};

struct RepricingPreviewResult
{
    bool ok = false;
    QString error; // why there is no preview, for the user
    // The new prices, as "Пересчёт цен" would store them when the preview is of a repricing.
    QList<PriceHistory::Change> prices;
    // Products first (by name), then dishes in the price run's order; only those whose cost changes.
    std::vector<RepricingRow> rows;
    int dishesNotComputed = 0; // dishes the price run would stop at, left out
    QString firstFault;
};

// "What if": the costs a change of ingredient prices would give, computed through the recipe book with
// the new prices substituted in memory and never stored. Costs are the price run's arithmetic without
// markups (DishCostCalculator::portionCosts), before and after, from one reading of the kitchen.
class RepricingPreview
{
public:
    static constexpr double defaultThreshold = 0.35;

    // Any new prices, by ingredient (a price for an ingredient on no card changes nothing).
    static RepricingPreviewResult ofPrices(QSqlDatabase db, const QList<PriceHistory::Change>& prices);
    // A repricing of "Пересчёт цен" with its scope's current ingredient and group, its prices exactly
    // those it would store.
    static RepricingPreviewResult ofRepricing(QSqlDatabase db, const PriceRecalculation::Settings& settings,
                                              const QVariant& ingredientKey, const QVariant& groupKey);

    // Whether a share is above the threshold (0.35 is 35 %), compared as shown: both to a tenth of a
    // percent, so that a dish shown at the threshold is not over it.
    static bool over(double share, double threshold);
    // Whether the dish's share moves across the threshold, either way.
    static bool crosses(const RepricingRow& row, double threshold);
};
