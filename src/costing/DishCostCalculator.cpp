#include "DishCostCalculator.h"

#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qlonglong noKey = -1;

qlonglong keyOf(const QVariant& value)
{
    return rowKey(value).value_or(noKey);
}

// A markup as a whole percent; nothing beyond an int, where it means nothing and converting it
// would be undefined.
std::optional<int> wholePercent(double value)
{
    return std::fabs(value) <= INT_MAX ? std::optional<int>(rounding::toInt(value)) : std::nullopt;
}

std::optional<double> storedNumber(const QVariant& value)
{
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

struct Ingredient
{
    std::optional<double> unitGrams; // nothing when the unit is gone
    bool semiFinished = false;
    double price = 0;
    std::optional<double> storedPrice;
    std::optional<int> percent;
    double yield = 0;
};

struct Component
{
    qlonglong ingredient = noKey;
    double grams = 0;
};

struct Dish
{
    qlonglong group = noKey;
    qlonglong key = noKey;
    double portions = 0;
    std::optional<int> percent;
    std::optional<double> storedPrice;
};

struct CardLine
{
    qlonglong dish = noKey;
    qlonglong ingredient = noKey;
    double grams = 0;
    double yield = 0;
};

// Whose figure is at fault: an ingredient of a card (no product), a semi-finished product itself
// (product equal to ingredient) or a component of one. Put into words only on a fault.
struct Subject
{
    qlonglong ingredient = noKey;
    qlonglong product = noKey;
};

class PriceRun
{
public:
    explicit PriceRun(QSqlDatabase db) : m_db(std::move(db)) {}

    bool load(QString* error);
    // Prices the dishes in their order up to the first fault and keeps what is to be stored.
    DishCostRun compute();
    bool store(QString* error);

private:
    // The price of one portion, or nothing with *fault set.
    std::optional<double> priceDish(const Dish& dish, std::span<const CardLine> lines, QString* fault);
    std::optional<double> ordinaryLine(const Ingredient& ingredient, qlonglong key, const CardLine& line,
                                       double portions, QString* fault) const;
    std::optional<double> semiFinishedCost(qlonglong product, QString* fault);
    // Whether a unit can divide, and whether an ingredient's unit and markup can be used in a price;
    // *fault set when not.
    bool unitUsable(const std::optional<double>& unitGrams, const Subject& subject, QString* fault) const;
    bool usable(const Ingredient& ingredient, const Subject& subject, QString* fault) const;
    QString phrase(const Subject& subject) const;
    QString nameOf(const char* table, const char* keyField, qlonglong key) const;
    bool writePrices(const QString& table, const std::vector<std::pair<qlonglong, double>>& prices,
                     QString* error);

    QSqlDatabase m_db;
    QHash<qlonglong, Ingredient> m_ingredients;
    QHash<qlonglong, std::vector<Component>> m_compositions;
    std::vector<qlonglong> m_groups;
    std::vector<Dish> m_dishes;
    std::vector<CardLine> m_lines;
    // Costs of semi-finished products made of ordinary ingredients only: those cannot change during
    // the run, so computing them again when met again would give the same figure.
    QHash<qlonglong, double> m_semiCosts;
    // The semi-finished products priced by the dish at hand, kept apart until the dish is through.
    std::vector<std::pair<qlonglong, double>> m_dishSemiPrices;
    std::vector<std::pair<qlonglong, double>> m_dishPrices;
    QHash<qlonglong, double> m_semiPrices;
};

bool PriceRun::load(QString* error)
{
    QHash<qlonglong, double> unitGrams;
    QString badReference;
    const bool read =
        forEachRow(
            m_db, u"SELECT Kod, Gramm FROM Edinica"_s,
            [&](const QSqlQuery& q) { unitGrams.insert(q.value(0).toLongLong(), q.value(1).toDouble()); },
            error) &&
        forEachRow(
            m_db, u"SELECT Kod1, Edinica, Pf, Cena, Proc, Vih FROM Ing"_s,
            [&](const QSqlQuery& q) {
                const auto unit = unitGrams.constFind(keyOf(q.value(1)));
                const QVariant price = q.value(3);
                m_ingredients.insert(
                    q.value(0).toLongLong(),
                    Ingredient{unit == unitGrams.cend() ? std::nullopt : std::optional<double>(*unit),
                               q.value(2).toInt() != 0, price.toDouble(), storedNumber(price),
                               wholePercent(q.value(4).toDouble()), q.value(5).toDouble()});
            },
            error) &&
        // Key order is the order of the rows within each composition and each card. A row whose
        // reference to its product or dish is not whole belongs to none, as in every query that joins.
        forEachRow(
            m_db, u"SELECT Kod, Name, Kolvo, NNN FROM pf ORDER BY NNN"_s,
            [&](const QSqlQuery& q) {
                if (badReference.isEmpty() && !isWholeReference(q.value(1)))
                    badReference = notWholeReference(u"pf"_s, q.value(3), u"Name"_s, q.value(1));
                m_compositions[wholeKey(q.value(0)).value_or(noKey)].push_back(
                    Component{keyOf(q.value(1)), q.value(2).toDouble()});
            },
            error) &&
        forEachRow(
            m_db, u"SELECT Kod FROM Grbludo ORDER BY Name COLLATE %1, Kod"_s.arg(Database::collation),
            [&](const QSqlQuery& q) { m_groups.push_back(q.value(0).toLongLong()); }, error) &&
        forEachRow(
            m_db, u"SELECT Kod, Kod1, Nporc, Proc, Cena FROM Bludo ORDER BY Kod1"_s,
            [&](const QSqlQuery& q) {
                m_dishes.push_back(Dish{keyOf(q.value(0)), q.value(1).toLongLong(), q.value(2).toDouble(),
                                        wholePercent(q.value(3).toDouble()), storedNumber(q.value(4))});
            },
            error) &&
        forEachRow(
            m_db, u"SELECT Kod, Name, Kolvo, Vihod, NNN FROM Karta ORDER BY NNN"_s,
            [&](const QSqlQuery& q) {
                if (badReference.isEmpty() && !isWholeReference(q.value(1)))
                    badReference = notWholeReference(u"Karta"_s, q.value(4), u"Name"_s, q.value(1));
                m_lines.push_back(CardLine{wholeKey(q.value(0)).value_or(noKey), keyOf(q.value(1)),
                                           q.value(2).toDouble(), q.value(3).toDouble()});
            },
            error);
    if (!read)
        return false;
    if (!badReference.isEmpty()) {
        *error = badReference;
        return false;
    }
    // Cheaper than letting SQLite walk the indexes, whose rows lie scattered over the table once cards
    // have been edited for a while. Stable: the key order stays within a group and within a card.
    std::stable_sort(m_dishes.begin(), m_dishes.end(),
                     [](const Dish& a, const Dish& b) { return a.group < b.group; });
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [](const CardLine& a, const CardLine& b) { return a.dish < b.dish; });
    return true;
}

QString PriceRun::nameOf(const char* table, const char* keyField, qlonglong key) const
{
    QSqlQuery query(m_db);
    query.prepare(u"SELECT Name FROM %1 WHERE %2 = ?"_s.arg(QLatin1String(table), QLatin1String(keyField)));
    query.addBindValue(key);
    return query.exec() && query.next() ? query.value(0).toString() : QString();
}

QString PriceRun::phrase(const Subject& subject) const
{
    const QString name = nameOf("Ing", "Kod1", subject.ingredient);
    if (subject.product == noKey)
        return u"у ингредиента \"%1\""_s.arg(name);
    if (subject.product == subject.ingredient)
        return u"у полуфабриката \"%1\""_s.arg(name);
    return u"у ингредиента \"%1\" в составе полуфабриката \"%2\""_s.arg(
        name, nameOf("Ing", "Kod1", subject.product));
}

bool PriceRun::unitUsable(const std::optional<double>& unitGrams, const Subject& subject,
                          QString* fault) const
{
    if (!unitGrams)
        *fault = phrase(subject) + u" не найдена единица измерения."_s;
    else if (*unitGrams == 0)
        *fault = phrase(subject) + u" вес единицы измерения (Грамм) равен нулю."_s;
    return unitGrams && *unitGrams != 0;
}

bool PriceRun::usable(const Ingredient& ingredient, const Subject& subject, QString* fault) const
{
    if (!unitUsable(ingredient.unitGrams, subject, fault))
        return false;
    if (!ingredient.percent)
        *fault = phrase(subject) + u" процент наценки (% Надб.) вне допустимых пределов."_s;
    return ingredient.percent.has_value();
}

std::optional<double> PriceRun::ordinaryLine(const Ingredient& ingredient, qlonglong key,
                                             const CardLine& line, double portions, QString* fault) const
{
    const Subject subject{key, noKey};
    if (!usable(ingredient, subject, fault))
        return std::nullopt;
    if (portions == 0) {
        *fault = u"число порций равно нулю."_s;
        return std::nullopt;
    }
    if (ingredient.yield == 0) {
        *fault = phrase(subject) + u" выход (% Вых) равен нулю."_s;
        return std::nullopt;
    }
    if (line.yield == 0) {
        *fault =
            u"в строке ингредиента \"%1\" выход строки (% Вых) равен нулю."_s.arg(nameOf("Ing", "Kod1", key));
        return std::nullopt;
    }
    // Left to right, in the order the figures have always been computed.
    return ingredient.price / *ingredient.unitGrams * (1 + *ingredient.percent / 100.0) * line.grams /
           portions * 100 / ingredient.yield * 100 / line.yield;
}

std::optional<double> PriceRun::semiFinishedCost(qlonglong product, QString* fault)
{
    const auto cached = m_semiCosts.constFind(product);
    if (cached != m_semiCosts.cend())
        return *cached;
    double sum = 0;
    bool madeOfOrdinary = true;
    for (const Component& row : m_compositions.value(product)) {
        const auto found = m_ingredients.constFind(row.ingredient);
        if (found == m_ingredients.cend()) {
            *fault = u"в составе полуфабриката \"%1\" указан ингредиент, которого больше нет."_s.arg(
                nameOf("Ing", "Kod1", product));
            return std::nullopt;
        }
        const Ingredient& component = *found;
        const Subject subject{row.ingredient, product};
        if (!usable(component, subject, fault))
            return std::nullopt;
        if (component.yield == 0) {
            *fault = phrase(subject) + u" выход (% Вых) равен нулю."_s;
            return std::nullopt;
        }
        madeOfOrdinary = madeOfOrdinary && !component.semiFinished;
        sum += component.price / *component.unitGrams * row.grams * (1 + *component.percent / 100.0) * 100 /
               component.yield;
    }
    if (!std::isfinite(sum)) {
        *fault = phrase(Subject{product, product}) + u" цена даёт недопустимое число (переполнение)."_s;
        return std::nullopt;
    }
    if (madeOfOrdinary)
        m_semiCosts.insert(product, sum);
    return sum;
}

std::optional<double> PriceRun::priceDish(const Dish& dish, std::span<const CardLine> lines, QString* fault)
{
    double price = 0;
    for (const CardLine& line : lines) {
        const auto found = m_ingredients.find(line.ingredient);
        if (found == m_ingredients.end()) {
            *fault = line.ingredient == noKey
                         ? u"в карте есть строка без ингредиента."_s
                         : u"в карте указан ингредиент, которого больше нет (код %1)."_s.arg(line.ingredient);
            return std::nullopt;
        }
        Ingredient& ingredient = *found;
        std::optional<double> amount;
        if (ingredient.semiFinished) {
            const std::optional<double> cost = semiFinishedCost(line.ingredient, fault);
            if (!cost)
                return std::nullopt;
            // Later readers of the product within the run see its fresh price, as they would on disk.
            ingredient.price = *cost;
            m_dishSemiPrices.emplace_back(line.ingredient, *cost);
            // Only the unit of the product divides here: its markup and yield play no part.
            if (!unitUsable(ingredient.unitGrams, Subject{line.ingredient, line.ingredient}, fault))
                return std::nullopt;
            if (dish.portions == 0) {
                *fault = u"число порций равно нулю."_s;
                return std::nullopt;
            }
            amount = *cost / *ingredient.unitGrams * line.grams / dish.portions;
        } else {
            amount = ordinaryLine(ingredient, line.ingredient, line, dish.portions, fault);
            if (!amount)
                return std::nullopt;
        }
        price += *amount;
        if (!std::isfinite(price)) {
            *fault = u"строка ингредиента \"%1\" даёт недопустимое число (переполнение)."_s.arg(
                nameOf("Ing", "Kod1", line.ingredient));
            return std::nullopt;
        }
    }
    if (!dish.percent) {
        *fault = u"у блюда процент наценки (% Надб.) вне допустимых пределов."_s;
        return std::nullopt;
    }
    price = rounding::toKopeck(price * (1 + *dish.percent / 100.0));
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
    const auto byGroup = [](const Dish& a, const Dish& b) { return a.group < b.group; };
    const auto byDish = [](const CardLine& line, qlonglong dish) { return line.dish < dish; };
    for (const qlonglong group : m_groups) {
        const auto [first, last] = std::equal_range(m_dishes.begin(), m_dishes.end(), Dish{group}, byGroup);
        for (auto dish = first; dish != last; ++dish) {
            ++visited;
            const auto from = std::lower_bound(m_lines.begin(), m_lines.end(), dish->key, byDish);
            auto to = from;
            while (to != m_lines.end() && to->dish == dish->key)
                ++to;
            m_dishSemiPrices.clear();
            QString fault;
            const std::optional<double> price = priceDish(*dish, std::span<const CardLine>(from, to), &fault);
            if (!price) {
                result.ok = false;
                result.failedDish = dish->key;
                result.message = u"Расчёт цен остановлен: в блюде \"%1\" (группа \"%2\") %3"_s.arg(
                    nameOf("Bludo", "Kod1", dish->key), nameOf("Grbludo", "Kod", group), fault);
                break;
            }
            for (const auto& [product, cost] : m_dishSemiPrices)
                m_semiPrices.insert(product, cost);
            ++result.dishesPriced;
            if (dish->storedPrice != price)
                m_dishPrices.emplace_back(dish->key, *price);
        }
        if (!result.ok)
            break;
    }
    if (result.ok)
        result.dishesSkipped = int(m_dishes.size()) - visited;
    result.dishPricesChanged = int(m_dishPrices.size());
    result.semiFinishedPriced = int(m_semiPrices.size());
    return result;
}

bool PriceRun::writePrices(const QString& table, const std::vector<std::pair<qlonglong, double>>& prices,
                           QString* error)
{
    QSqlQuery query(m_db);
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

bool PriceRun::store(QString* error)
{
    std::vector<std::pair<qlonglong, double>> semiPrices;
    for (auto it = m_semiPrices.cbegin(); it != m_semiPrices.cend(); ++it) {
        if (m_ingredients.value(it.key()).storedPrice != it.value())
            semiPrices.emplace_back(it.key(), it.value());
    }
    return writePrices(u"Bludo"_s, m_dishPrices, error) && writePrices(u"Ing"_s, semiPrices, error);
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
    PriceRun priceRun(m_db);
    QString error;
    if (!priceRun.load(&error))
        return failure(u"Расчёт цен не выполнен: %1"_s.arg(error));
    const DishCostRun result = priceRun.compute();
    if (!priceRun.store(&error))
        return failure(u"Цены блюд не сохранены: %1"_s.arg(error));
    if (!transaction.commit())
        return failure(u"Цены блюд не сохранены: %1"_s.arg(sqlErrorText(m_db.lastError())));
    return result;
}
