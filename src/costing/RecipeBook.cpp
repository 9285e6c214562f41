#include "RecipeBook.h"

#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QLocale>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

qlonglong keyOf(const QVariant& value)
{
    return rowKey(value).value_or(RecipeBook::noKey);
}

// A reference written as the whole key it names, or empty when it names no row.
QVariant referenceOf(const QVariant& value)
{
    const std::optional<qlonglong> key = rowKey(value);
    return key ? QVariant(*key) : QVariant();
}

std::optional<double> storedNumber(const QVariant& value)
{
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

// The WHERE clauses that keep each table to the selection, and what they bind.
struct Filter
{
    QString with; // a common table expression the clauses below use
    QString groups;
    QString dishes;
    QString cards;
    QString compositions;
    QString ingredients;
    QVariantList values;

    // A clause binds the selection's key once, through the expression or itself.
    QString sql(const QString& select, const QString& where, const QString& order = {}) const
    {
        return with + select + where + order;
    }
    QVariantList valuesOf(const QString& where) const { return where.isEmpty() ? QVariantList() : values; }
};

Filter filterOf(const RecipeSelection& selection)
{
    Filter filter;
    switch (selection.dishes) {
    case RecipeSelection::Dishes::Group: {
        const QString cards = u"Kod IN (SELECT Kod1 FROM Bludo WHERE Kod = ?)"_s;
        filter.groups = u" WHERE Kod = ?"_s;
        filter.dishes = filter.groups;
        filter.cards = u" WHERE "_s + cards;
        filter.compositions = u" WHERE Kod IN (SELECT Name FROM Karta WHERE "_s + cards + u")"_s;
        filter.values = {selection.key};
        break;
    }
    case RecipeSelection::Dishes::Kitchen:
    case RecipeSelection::Dishes::Listed:
        break;
    case RecipeSelection::Dishes::SalesDocument:
    case RecipeSelection::Dishes::SoldInDocument:
        // d: the dishes the document's lines name; c: the ingredients of their cards.
        filter.with = u"WITH d(k) AS (SELECT KodBludo FROM Realsum WHERE Kod = ?%1), "
                      "c(k) AS (SELECT Name FROM Karta WHERE Kod IN (SELECT k FROM d)) "_s.arg(
                          selection.dishes == RecipeSelection::Dishes::SoldInDocument ? u" AND Kolvo <> 0"_s
                                                                                      : QString());
        filter.groups = u" WHERE Kod IN (SELECT Kod FROM Bludo WHERE Kod1 IN (SELECT k FROM d))"_s;
        filter.dishes = u" WHERE Kod1 IN (SELECT k FROM d)"_s;
        filter.cards = u" WHERE Kod IN (SELECT k FROM d)"_s;
        filter.compositions = u" WHERE Kod IN (SELECT k FROM c)"_s;
        filter.ingredients = u" WHERE Kod1 IN (SELECT k FROM c UNION SELECT Name FROM pf "
                             "WHERE Kod IN (SELECT k FROM c))"_s;
        filter.values = {selection.key};
        break;
    }
    return filter;
}

// "… равен нулю." when the figure, in the form the calculation divides by, is zero; where rounding
// made it so, the stored figure is named too. Empty when it divides or is not used.
QString zeroFault(const QString& what, const QString& verb, double stored, DivisorForm form)
{
    if (form == DivisorForm::Unused ||
        (form == DivisorForm::Whole ? rounding::wholeNumber(stored) : stored) != 0)
        return {};
    const QString rounded =
        stored == 0 ? QString() : u" (%1 после округления до целого)"_s.arg(QLocale().toString(stored));
    return u"%1 %2 нулю%3."_s.arg(what, verb, rounded);
}

struct Unit
{
    double grams = 0;
    QString name;
};

} // namespace

bool RecipeBook::load(const QSqlDatabase& db, const RecipeSelection& selection, QString* error)
{
    const Filter filter = filterOf(selection);
    QHash<qlonglong, Unit> units;
    QString badReference;
    const bool listed = selection.dishes == RecipeSelection::Dishes::Listed;
    QSet<qlonglong> products; // of Listed: the ingredients on the listed dishes' cards
    // Key order is the order of the lines within each card and each composition. Of Listed, only the
    // lines of the listed owners are kept, and only they can refuse the read.
    const auto readLines = [&](const QString& table, const QString& select, const QString& where, Lines& into,
                               bool withYield, const QSet<qlonglong>& owners) {
        std::vector<std::pair<qlonglong, RecipeLine>> read;
        const bool ok = forEachRow(
            db, filter.sql(select, where, u" ORDER BY NNN"_s), filter.valuesOf(where),
            [&](const QSqlQuery& q) {
                if (listed && !owners.contains(wholeKey(q.value(0)).value_or(noKey)))
                    return;
                if (listed && withYield)
                    products.insert(keyOf(q.value(1)));
                if (badReference.isEmpty() && !isWholeReference(q.value(1)))
                    badReference =
                        notWholeReference(table, q.value(withYield ? 4 : 3), u"Name"_s, q.value(1));
                read.emplace_back(wholeKey(q.value(0)).value_or(noKey),
                                  RecipeLine{keyOf(q.value(1)), q.value(2).toDouble(),
                                             withYield ? q.value(3).toDouble() : 0.0});
            },
            error);
        into.assign(std::move(read));
        return ok;
    };
    const bool read =
        forEachRow(
            db, u"SELECT Kod, Gramm, Shorthame FROM Edinica"_s,
            [&](const QSqlQuery& q) {
                units.insert(q.value(0).toLongLong(), Unit{q.value(1).toDouble(), q.value(2).toString()});
            },
            error) &&
        forEachRow(
            db,
            filter.sql(u"SELECT Kod1, Name, Kod, Edinica, Pf, Cena, Proc, Vih, Okr, Position FROM Ing"_s,
                       filter.ingredients),
            filter.valuesOf(filter.ingredients),
            [&](const QSqlQuery& q) {
                RecipeIngredient ingredient{q.value(0).toLongLong(),
                                            q.value(1).toString(),
                                            referenceOf(q.value(2)),
                                            referenceOf(q.value(3)),
                                            std::nullopt,
                                            QString(),
                                            q.value(4).toInt() != 0,
                                            storedNumber(q.value(5)),
                                            q.value(6).toDouble(),
                                            q.value(7).toDouble(),
                                            q.value(8).toDouble(),
                                            q.value(9).toDouble()};
                const auto unit =
                    ingredient.unit.isNull() ? units.cend() : units.constFind(ingredient.unit.toLongLong());
                if (unit != units.cend()) {
                    ingredient.unitGrams = unit->grams;
                    ingredient.unitName = unit->name;
                    ingredient.wholeUnitGrams = rounding::wholeNumber(unit->grams);
                }
                ingredient.wholePercent = rounding::wholeNumber(ingredient.percent);
                ingredient.wholeYield = rounding::wholeNumber(ingredient.yield);
                m_ingredients.insert(ingredient.key, std::move(ingredient));
            },
            error) &&
        forEachRow(
            db,
            filter.sql(u"SELECT Kod, Name FROM Grbludo"_s, filter.groups,
                       u" ORDER BY Name COLLATE %1, Kod"_s.arg(QLatin1String(Database::collation))),
            filter.valuesOf(filter.groups),
            [&](const QSqlQuery& q) {
                m_groups.push_back(RecipeGroup{q.value(0).toLongLong(), q.value(1).toString()});
            },
            error) &&
        forEachRow(
            db,
            filter.sql(u"SELECT Kod, Kod1, Name, Nporc, Proc, Cena, Vixod, Print FROM Bludo"_s, filter.dishes,
                       u" ORDER BY Kod1"_s),
            filter.valuesOf(filter.dishes),
            [&](const QSqlQuery& q) {
                if (listed && !selection.listed.contains(q.value(1).toLongLong()))
                    return;
                m_dishes.push_back(RecipeDish{q.value(1).toLongLong(), keyOf(q.value(0)),
                                              q.value(2).toString(), q.value(3).toDouble(),
                                              q.value(4).toDouble(), storedNumber(q.value(5)),
                                              q.value(6).toString(), q.value(7).toString()});
            },
            error) &&
        readLines(u"Karta"_s, u"SELECT Kod, Name, Kolvo, Vihod, NNN FROM Karta"_s, filter.cards, m_cards,
                  true, selection.listed) &&
        (!selection.compositions || readLines(u"pf"_s, u"SELECT Kod, Name, Kolvo, NNN FROM pf"_s,
                                              filter.compositions, m_compositions, false, products));
    if (!read)
        return false;
    m_expanded = selection.compositions;
    if (!badReference.isEmpty()) {
        *error = badReference;
        return false;
    }
    // Cheaper than letting SQLite walk the indexes, whose rows lie scattered over the table once dishes
    // have been edited for a while. Stable: the key order stays within a group.
    std::stable_sort(m_dishes.begin(), m_dishes.end(),
                     [](const RecipeDish& a, const RecipeDish& b) { return a.group < b.group; });
    for (std::size_t i = 0; i < m_dishes.size(); ++i)
        m_dishIndex.insert(m_dishes[i].key, i);
    return true;
}

std::span<const RecipeDish> RecipeBook::dishesOf(qlonglong group) const
{
    const auto [first, last] =
        std::equal_range(m_dishes.cbegin(), m_dishes.cend(), RecipeDish{0, group},
                         [](const RecipeDish& a, const RecipeDish& b) { return a.group < b.group; });
    return {first, last};
}

const RecipeDish* RecipeBook::dish(qlonglong key) const
{
    const auto found = m_dishIndex.constFind(key);
    return found == m_dishIndex.cend() ? nullptr : &m_dishes[*found];
}

const RecipeIngredient* RecipeBook::ingredient(qlonglong key) const
{
    const auto found = m_ingredients.constFind(key);
    return found == m_ingredients.cend() ? nullptr : &*found;
}

void RecipeBook::substitutePrice(qlonglong key, std::optional<double> price)
{
    const auto found = m_ingredients.find(key);
    if (found != m_ingredients.end())
        found->price = price;
}

QString RecipeBook::ingredientName(qlonglong key) const
{
    const RecipeIngredient* found = ingredient(key);
    return found ? found->name : QString();
}

void RecipeBook::Lines::assign(std::vector<std::pair<qlonglong, RecipeLine>> read)
{
    // Stable: the key order the lines were read in stays within each owner.
    std::stable_sort(read.begin(), read.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    owners.reserve(read.size());
    lines.reserve(read.size());
    for (const auto& [owner, line] : read) {
        owners.push_back(owner);
        lines.push_back(line);
    }
}

std::span<const RecipeLine> RecipeBook::Lines::of(qlonglong owner) const
{
    const auto [first, last] = std::equal_range(owners.cbegin(), owners.cend(), owner);
    return std::span<const RecipeLine>(lines).subspan(std::size_t(first - owners.cbegin()),
                                                      std::size_t(last - first));
}

std::span<const RecipeLine> RecipeBook::card(qlonglong dish) const
{
    return m_cards.of(dish);
}

std::span<const RecipeLine> RecipeBook::composition(qlonglong product) const
{
    return m_compositions.of(product);
}

QString RecipeBook::refusal(const RecipeDish& dish, const QString& fault) const
{
    const auto group = std::find_if(m_groups.cbegin(), m_groups.cend(),
                                    [&](const RecipeGroup& g) { return g.key == dish.group; });
    if (group == m_groups.cend())
        return u"в блюде \"%1\": %2"_s.arg(dish.name, fault);
    return u"в блюде \"%1\" (группа \"%2\"): %3"_s.arg(dish.name, group->name, fault);
}

QString RecipeBook::whose(qlonglong ingredient, qlonglong product) const
{
    const QString name = ingredientName(ingredient);
    if (product == noKey)
        return u"у ингредиента \"%1\""_s.arg(name);
    if (product == ingredient)
        return u"у полуфабриката \"%1\""_s.arg(name);
    return u"у ингредиента \"%1\" в составе полуфабриката \"%2\""_s.arg(name, ingredientName(product));
}

QString RecipeBook::unitFault(const RecipeIngredient& ingredient, qlonglong product, DivisorForm form) const
{
    if (!ingredient.unitGrams)
        return whose(ingredient.key, product) + u" не найдена единица измерения."_s;
    return zeroFault(whose(ingredient.key, product) + u" вес единицы измерения (Грамм)"_s, u"равен"_s,
                     *ingredient.unitGrams, form);
}

QString RecipeBook::yieldFault(const RecipeIngredient& ingredient, qlonglong product, DivisorForm form) const
{
    return zeroFault(whose(ingredient.key, product) + u" выход (% Вых)"_s, u"равен"_s, ingredient.yield,
                     form);
}

QString RecipeBook::lineFault(const RecipeDish& dish, const RecipeLine& line, const Divisors& divisors) const
{
    const RecipeIngredient* found = ingredient(line.ingredient);
    QString fault;
    if (!found) {
        fault = line.ingredient == noKey
                    ? u"в карте есть строка без ингредиента."_s
                    : u"в карте указан ингредиент, которого больше нет (код %1)."_s.arg(line.ingredient);
        return refusal(dish, fault);
    }
    // A product is named as one whether or not this calculation expands it.
    const bool expanded = found->semiFinished && m_expanded;
    const qlonglong product = found->semiFinished ? found->key : noKey;
    fault = unitFault(*found, product, divisors.unitGrams);
    if (fault.isEmpty())
        fault = zeroFault(u"число порций (Порций)"_s, u"равно"_s, dish.portions, divisors.portions);
    if (fault.isEmpty())
        fault = yieldFault(*found, product, expanded ? divisors.productYield : divisors.yield);
    if (fault.isEmpty())
        fault = zeroFault(u"в строке ингредиента \"%1\" выход строки (% Вых)"_s.arg(found->name), u"равен"_s,
                          line.yield, expanded ? divisors.productLineYield : divisors.lineYield);
    return fault.isEmpty() ? fault : refusal(dish, fault);
}

QString RecipeBook::componentFault(const RecipeDish& dish, qlonglong product, const RecipeLine& component,
                                   const Divisors& divisors) const
{
    const RecipeIngredient* found = ingredient(component.ingredient);
    QString fault;
    if (!found) {
        fault = u"в составе полуфабриката \"%1\" указан ингредиент, которого больше нет."_s.arg(
            ingredientName(product));
    } else {
        fault = unitFault(*found, product, divisors.unitGrams);
        if (fault.isEmpty())
            fault = yieldFault(*found, product, divisors.componentYield);
    }
    return fault.isEmpty() ? fault : refusal(dish, fault);
}

QString RecipeBook::portionsFault(const RecipeDish& dish, DivisorForm form) const
{
    const QString fault = zeroFault(u"число порций (Порций)"_s, u"равно"_s, dish.portions, form);
    return fault.isEmpty() ? fault : refusal(dish, fault);
}
