#include "DishCostCalculator.h"

#include "RecipeBook.h"

#include "reference/PriceHistory.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/Rounding.h"
#include "store/RowUpdate.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <climits>
#include <cmath>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qlonglong noKey = RecipeBook::noKey;

// A markup as a whole percent; nothing beyond an int, where it means nothing and converting it
// would be undefined.
std::optional<int> wholePercent(double stored, double whole)
{
    return std::fabs(stored) <= INT_MAX ? std::optional<int>(static_cast<int>(whole)) : std::nullopt;
}

std::optional<int> wholePercent(const RecipeIngredient& ingredient)
{
    return wholePercent(ingredient.percent, ingredient.wholePercent);
}

class PriceRun
{
public:
    // Without markups the run gives costs: of a portion of each dish, of a unit of each product.
    explicit PriceRun(const RecipeBook& book, bool markups = true) : m_book(book), m_markups(markups) {}

    // Prices the dishes in their order up to the first fault and keeps what is to be stored.
    DishCostRun compute(const DishCostCalculator::Progress& progress);
    // Every dish that can be priced, in the same order, past any fault.
    DishCostCalculator::PortionCosts computeAll();
    bool store(QSqlDatabase db, QString* error);

private:
    // The price of one portion, or nothing with *fault set to the refusal naming the dish.
    std::optional<double> priceDish(const RecipeDish& dish, QString* fault);
    std::optional<double> ordinaryLine(const RecipeDish& dish, const RecipeIngredient& ingredient,
                                       const RecipeLine& line, QString* fault) const;
    std::optional<double> semiFinishedCost(const RecipeDish& dish, qlonglong product, QString* fault);
    // Whether an ingredient's markup can be used in a price; *fault set when not. The product is the
    // semi-finished product it is a component of, or noKey.
    bool markupInRange(const RecipeDish& dish, const RecipeIngredient& ingredient, qlonglong product,
                       QString* fault) const;
    // The price as this run has it: a semi-finished product priced earlier in the run has its new one.
    double priceOf(const RecipeIngredient& ingredient) const
    {
        const double stored = ingredient.price.value_or(0);
        return ingredient.semiFinished ? m_freshPrices.value(ingredient.key, stored) : stored;
    }

    // The factor an ingredient's markup puts on its price (a whole percent, checked by usable()).
    double markup(const RecipeIngredient& ingredient) const
    {
        return m_markups ? 1 + *wholePercent(ingredient) / 100.0 : 1.0;
    }

    const RecipeBook& m_book;
    const bool m_markups;
    // Costs of semi-finished products made of ordinary ingredients only: those cannot change during
    // the run, so computing them again when met again would give the same figure.
    QHash<qlonglong, double> m_semiCosts;
    // The semi-finished products priced by the dish at hand, kept apart until the dish is through.
    std::vector<std::pair<qlonglong, double>> m_dishSemiPrices;
    std::vector<std::pair<qlonglong, double>> m_dishPrices;
    QHash<qlonglong, double> m_semiPrices;
    QHash<qlonglong, double> m_freshPrices;
};

bool PriceRun::markupInRange(const RecipeDish& dish, const RecipeIngredient& ingredient, qlonglong product,
                             QString* fault) const
{
    const bool inRange = !m_markups || wholePercent(ingredient).has_value();
    if (!inRange)
        *fault = m_book.refusal(dish, m_book.whose(ingredient.key, product) +
                                          u" процент наценки (% Надб.) вне допустимых пределов."_s);
    return inRange;
}

std::optional<double> PriceRun::ordinaryLine(const RecipeDish& dish, const RecipeIngredient& ingredient,
                                             const RecipeLine& line, QString* fault) const
{
    if (!markupInRange(dish, ingredient, noKey, fault))
        return std::nullopt;
    // Left to right, in the order the figures have always been computed.
    return priceOf(ingredient) / *ingredient.unitGrams * markup(ingredient) * line.grams / dish.portions *
           100 / ingredient.yield * 100 / line.yield;
}

std::optional<double> PriceRun::semiFinishedCost(const RecipeDish& dish, qlonglong product, QString* fault)
{
    const auto cached = m_semiCosts.constFind(product);
    if (cached != m_semiCosts.cend())
        return *cached;
    double sum = 0;
    bool madeOfOrdinary = true;
    for (const RecipeLine& row : m_book.composition(product)) {
        *fault = m_book.componentFault(dish, product, row, Divisors{});
        if (!fault->isEmpty())
            return std::nullopt;
        const RecipeIngredient* component = m_book.ingredient(row.ingredient);
        if (!markupInRange(dish, *component, product, fault))
            return std::nullopt;
        madeOfOrdinary = madeOfOrdinary && !component->semiFinished;
        sum += priceOf(*component) / *component->unitGrams * row.grams * markup(*component) * 100 /
               component->yield;
    }
    if (!std::isfinite(sum)) {
        *fault = m_book.refusal(dish, m_book.whose(product, product) +
                                          u" цена даёт недопустимое число (переполнение)."_s);
        return std::nullopt;
    }
    if (madeOfOrdinary)
        m_semiCosts.insert(product, sum);
    return sum;
}

std::optional<double> PriceRun::priceDish(const RecipeDish& dish, QString* fault)
{
    double price = 0;
    for (const RecipeLine& line : m_book.card(dish.key)) {
        // Every figure as stored; a semi-finished product divides only by its unit and the portions.
        *fault = m_book.lineFault(dish, line, Divisors{});
        if (!fault->isEmpty())
            return std::nullopt;
        const RecipeIngredient* ingredient = m_book.ingredient(line.ingredient);
        std::optional<double> amount;
        if (ingredient->semiFinished) {
            const std::optional<double> cost = semiFinishedCost(dish, line.ingredient, fault);
            if (!cost)
                return std::nullopt;
            // Later readers of the product within the run see its fresh price, as they would on disk.
            m_freshPrices.insert(line.ingredient, *cost);
            m_dishSemiPrices.emplace_back(line.ingredient, *cost);
            amount = *cost / *ingredient->unitGrams * line.grams / dish.portions;
        } else {
            amount = ordinaryLine(dish, *ingredient, line, fault);
            if (!amount)
                return std::nullopt;
        }
        price += *amount;
        if (!std::isfinite(price)) {
            *fault = m_book.refusal(
                dish,
                u"строка ингредиента \"%1\" даёт недопустимое число (переполнение)."_s.arg(ingredient->name));
            return std::nullopt;
        }
    }
    const std::optional<int> percent = wholePercent(dish.percent, rounding::wholeNumber(dish.percent));
    if (!percent) {
        *fault = m_book.refusal(dish, u"у блюда процент наценки (% Надб.) вне допустимых пределов."_s);
        return std::nullopt;
    }
    price = rounding::toKopeck(m_markups ? price * (1 + *percent / 100.0) : price);
    if (!std::isfinite(price)) {
        *fault = m_book.refusal(dish, u"цена порции даёт недопустимое число (переполнение)."_s);
        return std::nullopt;
    }
    return price;
}

DishCostRun PriceRun::compute(const DishCostCalculator::Progress& progress)
{
    DishCostRun result;
    int visited = 0;
    const std::vector<RecipeGroup>& groups = m_book.groups();
    for (size_t g = 0; g < groups.size(); ++g) {
        if (progress && !progress(rounding::toInt(double(g) / double(groups.size()) * 100))) {
            result.cancelled = true;
            return result;
        }
        const RecipeGroup& group = groups[g];
        for (const RecipeDish& dish : m_book.dishesOf(group.key)) {
            ++visited;
            m_dishSemiPrices.clear();
            QString fault;
            const std::optional<double> price = priceDish(dish, &fault);
            if (!price) {
                result.ok = false;
                result.failedDish = dish.key;
                result.message = u"Расчёт цен остановлен: "_s + fault;
                break;
            }
            for (const auto& [product, cost] : m_dishSemiPrices)
                m_semiPrices.insert(product, cost);
            ++result.dishesPriced;
            if (dish.price != price)
                m_dishPrices.emplace_back(dish.key, *price);
        }
        if (!result.ok)
            break;
    }
    if (result.ok)
        result.dishesSkipped = m_book.dishCount() - visited;
    result.dishPricesChanged = int(m_dishPrices.size());
    result.semiFinishedPriced = int(m_semiPrices.size());
    return result;
}

DishCostCalculator::PortionCosts PriceRun::computeAll()
{
    DishCostCalculator::PortionCosts costs;
    for (const RecipeGroup& group : m_book.groups()) {
        for (const RecipeDish& dish : m_book.dishesOf(group.key)) {
            m_dishSemiPrices.clear();
            QString fault;
            const std::optional<double> price = priceDish(dish, &fault);
            if (!price) {
                if (costs.notComputed++ == 0)
                    costs.firstFault = fault;
                costs.faults.insert(dish.key, fault);
                continue;
            }
            for (const auto& [product, cost] : m_dishSemiPrices)
                costs.semiFinished.insert(product, cost);
            costs.dishes.insert(dish.key, *price);
        }
    }
    return costs;
}

bool writePrices(QSqlDatabase db, const QString& table,
                 const std::vector<std::pair<qlonglong, double>>& prices, QString* error)
{
    RowUpdate update(db, table, u"Kod1"_s, {u"Cena"_s});
    for (const auto& [key, price] : prices) {
        if (!update.add(key, {price}, error))
            return false;
    }
    return update.flush(error);
}

bool PriceRun::store(QSqlDatabase db, QString* error)
{
    std::vector<std::pair<qlonglong, double>> semiPrices;
    QList<PriceHistory::Change> changes;
    for (auto it = m_semiPrices.cbegin(); it != m_semiPrices.cend(); ++it) {
        const RecipeIngredient* product = m_book.ingredient(it.key());
        if (product->price != it.value()) {
            semiPrices.emplace_back(it.key(), it.value());
            changes.append({it.key(), product->price ? QVariant(*product->price) : QVariant(), it.value()});
        }
    }
    return writePrices(db, u"Bludo"_s, m_dishPrices, error) && writePrices(db, u"Ing"_s, semiPrices, error) &&
           PriceHistory(db, PriceHistory::Source::DishPriceRun).record(changes, error);
}

} // namespace

DishCostCalculator::PortionCosts DishCostCalculator::portionCosts(const RecipeBook& book)
{
    return PriceRun(book, false).computeAll();
}

DishCostRun DishCostCalculator::run(const Progress& progress)
{
    DishCostRun result;
    QString error;
    QString failedStep;
    // One snapshot for the reading and the writing, which no other workstation's work interleaves with.
    const bool done = Isolation::run(m_db, &error, [&] {
        failedStep = u"Расчёт цен не выполнен"_s;
        RecipeBook book;
        if (!book.load(m_db, RecipeSelection{}, &error))
            return false;
        PriceRun priceRun(book);
        result = priceRun.compute(progress);
        if (result.cancelled)
            return false; // rolled back, nothing stored
        failedStep = u"Цены блюд не сохранены"_s;
        return priceRun.store(m_db, &error);
    });
    if (!done) {
        DishCostRun failed;
        failed.ok = false;
        failed.message = u"%1: %2"_s.arg(failedStep, error);
        return failed;
    }
    return result;
}
