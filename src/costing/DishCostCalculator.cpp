#include "DishCostCalculator.h"

#include "RecipeBook.h"
#include "store/Database.h"
#include "store/Rounding.h"

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
    // Without markups the run gives the cost of a portion at the ingredients' own prices.
    PriceRun(const RecipeBook& book, bool markups) : m_book(book), m_markups(markups) {}

    // Prices the dishes in their order up to the first fault and keeps what is to be stored.
    DishCostRun compute();
    bool store(QSqlDatabase db, QString* error);
    // The price of one portion, or nothing with *fault set.
    std::optional<double> priceDish(const RecipeDish& dish, QString* fault);

private:
    std::optional<double> ordinaryLine(const RecipeIngredient& ingredient, const RecipeLine& line,
                                       double portions, QString* fault) const;
    std::optional<double> semiFinishedCost(qlonglong product, QString* fault);
    // Whether an ingredient's unit and markup can be used in a price; *fault set when not. The product
    // is the semi-finished product it is a component of, or noKey.
    bool usable(const RecipeIngredient& ingredient, qlonglong product, QString* fault) const;
    // The price as this run has it: a semi-finished product priced earlier in the run has its new one.
    double priceOf(const RecipeIngredient& ingredient) const
    {
        const double stored = ingredient.price.value_or(0);
        return ingredient.semiFinished ? m_freshPrices.value(ingredient.key, stored) : stored;
    }
    // The factor a whole percent of markup gives, 1 when the run leaves markups out.
    double markup(int percent) const { return m_markups ? 1 + percent / 100.0 : 1; }

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

bool PriceRun::usable(const RecipeIngredient& ingredient, qlonglong product, QString* fault) const
{
    if (!m_book.unitDivides(ingredient, product, fault))
        return false;
    const bool inRange = !m_markups || wholePercent(ingredient).has_value();
    if (!inRange)
        *fault =
            m_book.whose(ingredient.key, product) + u" процент наценки (% Надб.) вне допустимых пределов."_s;
    return inRange;
}

std::optional<double> PriceRun::ordinaryLine(const RecipeIngredient& ingredient, const RecipeLine& line,
                                             double portions, QString* fault) const
{
    if (!usable(ingredient, noKey, fault))
        return std::nullopt;
    if (portions == 0) {
        *fault = u"число порций равно нулю."_s;
        return std::nullopt;
    }
    if (ingredient.yield == 0) {
        *fault = m_book.whose(ingredient.key) + u" выход (% Вых) равен нулю."_s;
        return std::nullopt;
    }
    if (line.yield == 0) {
        *fault = RecipeBook::lineYieldZero(ingredient);
        return std::nullopt;
    }
    // Left to right, in the order the figures have always been computed.
    return priceOf(ingredient) / *ingredient.unitGrams * markup(wholePercent(ingredient).value_or(0)) *
           line.grams / portions * 100 / ingredient.yield * 100 / line.yield;
}

std::optional<double> PriceRun::semiFinishedCost(qlonglong product, QString* fault)
{
    const auto cached = m_semiCosts.constFind(product);
    if (cached != m_semiCosts.cend())
        return *cached;
    double sum = 0;
    bool madeOfOrdinary = true;
    for (const RecipeLine& row : m_book.composition(product)) {
        const RecipeIngredient* component = m_book.ingredient(row.ingredient);
        if (!component) {
            *fault = m_book.componentGone(product);
            return std::nullopt;
        }
        if (!usable(*component, product, fault))
            return std::nullopt;
        if (component->yield == 0) {
            *fault = m_book.whose(row.ingredient, product) + u" выход (% Вых) равен нулю."_s;
            return std::nullopt;
        }
        madeOfOrdinary = madeOfOrdinary && !component->semiFinished;
        sum += priceOf(*component) / *component->unitGrams * row.grams *
               markup(wholePercent(*component).value_or(0)) * 100 / component->yield;
    }
    if (!std::isfinite(sum)) {
        *fault = m_book.whose(product, product) + u" цена даёт недопустимое число (переполнение)."_s;
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
        const RecipeIngredient* ingredient = m_book.ingredient(line.ingredient);
        if (!ingredient) {
            *fault = RecipeBook::cardIngredientGone(line.ingredient);
            return std::nullopt;
        }
        std::optional<double> amount;
        if (ingredient->semiFinished) {
            const std::optional<double> cost = semiFinishedCost(line.ingredient, fault);
            if (!cost)
                return std::nullopt;
            // Later readers of the product within the run see its fresh price, as they would on disk.
            m_freshPrices.insert(line.ingredient, *cost);
            m_dishSemiPrices.emplace_back(line.ingredient, *cost);
            // Only the unit of the product divides here: its markup and yield play no part.
            if (!m_book.unitDivides(*ingredient, ingredient->key, fault))
                return std::nullopt;
            if (dish.portions == 0) {
                *fault = u"число порций равно нулю."_s;
                return std::nullopt;
            }
            amount = *cost / *ingredient->unitGrams * line.grams / dish.portions;
        } else {
            amount = ordinaryLine(*ingredient, line, dish.portions, fault);
            if (!amount)
                return std::nullopt;
        }
        price += *amount;
        if (!std::isfinite(price)) {
            *fault =
                u"строка ингредиента \"%1\" даёт недопустимое число (переполнение)."_s.arg(ingredient->name);
            return std::nullopt;
        }
    }
    const std::optional<int> percent = wholePercent(dish.percent, rounding::wholeNumber(dish.percent));
    if (m_markups && !percent) {
        *fault = u"у блюда процент наценки (% Надб.) вне допустимых пределов."_s;
        return std::nullopt;
    }
    price = rounding::toKopeck(price * markup(percent.value_or(0)));
    if (!std::isfinite(price)) {
        *fault = u"цена порции даёт недопустимое число (переполнение)."_s;
        return std::nullopt;
    }
    return price;
}

DishCostRun PriceRun::compute()
{
    DishCostRun result;
    int visited = 0;
    for (const RecipeGroup& group : m_book.groups()) {
        for (const RecipeDish& dish : m_book.dishesOf(group.key)) {
            ++visited;
            m_dishSemiPrices.clear();
            QString fault;
            const std::optional<double> price = priceDish(dish, &fault);
            if (!price) {
                result.ok = false;
                result.failedDish = dish.key;
                result.message = u"Расчёт цен остановлен: %1 %2"_s.arg(m_book.inDish(dish), fault);
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

bool writePrices(QSqlDatabase db, const QString& table,
                 const std::vector<std::pair<qlonglong, double>>& prices, QString* error)
{
    QSqlQuery query(db);
    if (!query.prepare(u"UPDATE %1 SET Cena = ? WHERE Kod1 = ?"_s.arg(table))) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    for (const auto& [key, price] : prices) {
        query.addBindValue(price);
        query.addBindValue(key);
        if (!query.exec()) {
            *error = sqlErrorText(query.lastError());
            return false;
        }
    }
    return true;
}

bool PriceRun::store(QSqlDatabase db, QString* error)
{
    std::vector<std::pair<qlonglong, double>> semiPrices;
    for (auto it = m_semiPrices.cbegin(); it != m_semiPrices.cend(); ++it) {
        const RecipeIngredient* product = m_book.ingredient(it.key());
        if (product->price != it.value())
            semiPrices.emplace_back(it.key(), it.value());
    }
    return writePrices(db, u"Bludo"_s, m_dishPrices, error) && writePrices(db, u"Ing"_s, semiPrices, error);
}

} // namespace

DishCostRun DishCostCalculator::run()
{
    const auto failure = [](const QString& text) {
        DishCostRun failed;
        failed.ok = false;
        failed.message = text;
        return failed;
    };
    // One snapshot for the reading and the writing.
    Transaction transaction(m_db);
    if (!transaction.isActive())
        return failure(u"Расчёт цен не выполнен: %1"_s.arg(sqlErrorText(m_db.lastError())));
    RecipeBook book;
    QString error;
    if (!book.load(m_db, RecipeSelection{}, &error))
        return failure(u"Расчёт цен не выполнен: %1"_s.arg(error));
    PriceRun priceRun(book, true);
    const DishCostRun result = priceRun.compute();
    if (!priceRun.store(m_db, &error))
        return failure(u"Цены блюд не сохранены: %1"_s.arg(error));
    if (!transaction.commit())
        return failure(u"Цены блюд не сохранены: %1"_s.arg(sqlErrorText(m_db.lastError())));
    return result;
}

QHash<qlonglong, PortionCost> DishCostCalculator::portionCosts(const RecipeBook& book)
{
    PriceRun run(book, false);
    QHash<qlonglong, PortionCost> costs;
    for (const RecipeGroup& group : book.groups()) {
        for (const RecipeDish& dish : book.dishesOf(group.key)) {
            PortionCost& cost = costs[dish.key];
            cost.cost = run.priceDish(dish, &cost.fault);
            if (!cost.cost)
                cost.fault = u"%1 %2"_s.arg(book.inDish(dish), cost.fault);
        }
    }
    return costs;
}
