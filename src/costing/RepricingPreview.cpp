#include "RepricingPreview.h"

#include "DishCostCalculator.h"
#include "RecipeBook.h"

#include "store/Database.h"
#include "store/Rounding.h"

#include <QCollator>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

std::optional<double> share(double cost, const std::optional<double>& price)
{
    return price ? std::optional<double>(cost / *price) : std::nullopt;
}

} // namespace

RepricingPreviewResult RepricingPreview::ofPrices(QSqlDatabase db, const QList<PriceHistory::Change>& prices)
{
    RepricingPreviewResult result;
    result.prices = prices;
    RecipeBook book;
    {
        // One snapshot of the kitchen, and nothing written.
        Transaction transaction(db);
        if (!transaction.isActive() || !book.load(db, RecipeSelection{}, &result.error)) {
            if (result.error.isEmpty())
                result.error = sqlErrorText(db.lastError());
            result.error = u"Предварительный расчёт не выполнен: %1"_s.arg(result.error);
            return result;
        }
    }
    const DishCostCalculator::PortionCosts before = DishCostCalculator::portionCosts(book);
    for (const PriceHistory::Change& price : prices)
        book.substitutePrice(price.ingredient, price.newPrice.toDouble());
    const DishCostCalculator::PortionCosts after = DishCostCalculator::portionCosts(book);

    for (auto it = after.semiFinished.cbegin(); it != after.semiFinished.cend(); ++it) {
        const double oldCost = rounding::toKopeck(before.semiFinished.value(it.key()));
        const double newCost = rounding::toKopeck(it.value());
        if (oldCost != newCost)
            result.rows.push_back({RepricingRow::Kind::SemiFinished, it.key(), book.ingredientName(it.key()),
                                   QString(), oldCost, newCost, std::nullopt, std::nullopt, std::nullopt});
    }
    const QCollator collator = Database::russianCollator();
    std::sort(result.rows.begin(), result.rows.end(),
              [&collator](const RepricingRow& a, const RepricingRow& b) {
                  return collator.compare(a.name, b.name) < 0;
              });
    for (const RecipeGroup& group : book.groups()) {
        for (const RecipeDish& dish : book.dishesOf(group.key)) {
            const auto oldCost = before.dishes.constFind(dish.key);
            const auto newCost = after.dishes.constFind(dish.key);
            if (oldCost == before.dishes.cend() || newCost == after.dishes.cend() || *oldCost == *newCost)
                continue;
            const std::optional<double> price =
                dish.price && *dish.price > 0 ? dish.price : std::optional<double>();
            result.rows.push_back({RepricingRow::Kind::Dish, dish.key, dish.name, group.name, *oldCost,
                                   *newCost, price, share(*oldCost, price), share(*newCost, price)});
        }
    }
    result.dishesNotComputed = after.notComputed;
    result.firstFault = after.firstFault;
    result.ok = true;
    return result;
}

RepricingPreviewResult RepricingPreview::ofRepricing(QSqlDatabase db,
                                                     const PriceRecalculation::Settings& settings,
                                                     const QVariant& ingredientKey, const QVariant& groupKey)
{
    // The prices and the recipe from one snapshot.
    Transaction transaction(db);
    QString tooLarge;
    QString error;
    const std::optional<QList<PriceHistory::Change>> prices =
        PriceRecalculation(db).newPrices(settings, ingredientKey, groupKey, &tooLarge, &error);
    if (!prices) {
        RepricingPreviewResult refused;
        refused.error =
            tooLarge.isEmpty()
                ? u"Предварительный расчёт не выполнен: %1"_s.arg(error)
                : u"Пересчёт цен невозможен: цена ингредиента \"%1\" стала бы бесконечно большой."_s.arg(
                      tooLarge);
        return refused;
    }
    return ofPrices(db, *prices);
}

bool RepricingPreview::over(double share, double threshold)
{
    return rounding::toDecimals(share * 100, 1) > rounding::toDecimals(threshold * 100, 1);
}

bool RepricingPreview::crosses(const RepricingRow& row, double threshold)
{
    return row.oldShare && row.newShare && over(*row.oldShare, threshold) != over(*row.newShare, threshold);
}
