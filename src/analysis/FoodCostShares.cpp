#include "FoodCostShares.h"

#include "costing/DishCostCalculator.h"
#include "costing/RecipeBook.h"
#include "menus/MenuBook.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QCollator>
#include <QDate>
#include <QHash>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The dishes of a menu in entry order, each once, with the price of its first switched-on entry.
bool menuEntries(const QSqlDatabase& db, qlonglong menu, std::vector<std::pair<qlonglong, QVariant>>* entries,
                 int* gone, QString* error)
{
    QString order;
    for (const QString& field : MenuBook::entryOrder())
        order += (order.isEmpty() ? u"s."_s : u", s."_s) + field;
    QSet<qlonglong> seen;
    return forEachRow(
        db,
        u"SELECT s.Name, s.CenaProd, b.Kod1 IS NULL FROM MenuSp s LEFT JOIN Bludo b ON b.Kod1 = s.Name "
        "WHERE s.Kod = ? AND s.Status = 1 ORDER BY "_s +
            order,
        {menu},
        [&](const QSqlQuery& q) {
            const std::optional<qlonglong> dish = wholeKey(q.value(0));
            if (q.value(2).toBool() || !dish) {
                ++*gone;
                return;
            }
            if (!seen.contains(*dish)) {
                seen.insert(*dish);
                entries->emplace_back(*dish, q.value(1));
            }
        },
        error);
}

// "меню "…"" by its name, or by its date when it has none.
bool setName(const QSqlDatabase& db, DishSet set, qlonglong key, QString* name, QString* error)
{
    bool found = false;
    const bool read =
        set == DishSet::Group
            ? forEachRow(
                  db, u"SELECT Name FROM Grbludo WHERE Kod = ?"_s, {key},
                  [&](const QSqlQuery& q) {
                      found = true;
                      *name = u"группа \"%1\""_s.arg(q.value(0).toString());
                  },
                  error)
            : forEachRow(
                  db, u"SELECT Name, Date FROM Menu WHERE Kod = ?"_s, {key},
                  [&](const QSqlQuery& q) {
                      found = true;
                      const QString menuName = q.value(0).toString().trimmed();
                      *name = menuName.isEmpty()
                                  ? u"меню от %1"_s.arg(q.value(1).toDate().toString(u"dd.MM.yyyy"_s))
                                  : u"меню \"%1\""_s.arg(menuName);
                  },
                  error);
    if (read && !found)
        *error = set == DishSet::Group ? u"Группы блюд с кодом %1 нет."_s.arg(key)
                                       : u"Меню с кодом %1 нет."_s.arg(key);
    return read && found;
}

} // namespace

QStringList FoodCostShares::over() const
{
    QStringList names;
    for (const FoodCostRow& row : rows) {
        if (row.over)
            names << row.name;
    }
    return names;
}

bool FoodCostShares::read(const QSqlDatabase& db, DishSet set, qlonglong key, double threshold,
                          FoodCostShares* shares, QString* error)
{
    *shares = FoodCostShares();
    shares->threshold = threshold;
    if (!setName(db, set, key, &shares->of, error))
        return false;
    RecipeBook book;
    RecipeSelection selection;
    if (set == DishSet::Group) {
        selection.dishes = RecipeSelection::Dishes::Group;
        selection.key = key;
    }
    if (!book.load(db, selection, error))
        return false;

    // The dish and its selling price, in the set's order.
    std::vector<std::pair<qlonglong, QVariant>> dishes;
    int gone = 0;
    if (set == DishSet::Group) {
        for (const RecipeDish& dish : book.dishesOf(key))
            dishes.emplace_back(dish.key, dish.price ? QVariant(*dish.price) : QVariant());
    } else if (!menuEntries(db, key, &dishes, &gone, error)) {
        return false;
    }
    if (gone > 0)
        shares->leftOut << u"Строк меню без блюда в справочнике: %1."_s.arg(gone);

    QHash<qlonglong, QString> groupNames;
    for (const RecipeGroup& group : book.groups())
        groupNames.insert(group.key, group.name);
    const DishCostCalculator::PortionCosts costs = DishCostCalculator::portionCosts(book);
    for (const auto& [dishKey, price] : dishes) {
        const RecipeDish* dish = book.dish(dishKey);
        const auto cost = costs.dishes.constFind(dishKey);
        if (cost == costs.dishes.cend()) {
            // A dish the run would stop at has its refusal; one it never reached lost its group.
            shares->leftOut << costs.faults.value(
                dishKey, u"Блюдо \"%1\": его группы блюд больше нет."_s.arg(dish ? dish->name : QString()));
            continue;
        }
        FoodCostRow row{dishKey, dish->name, groupNames.value(dish->group), *cost};
        if (!price.isNull() && price.toDouble() > 0) {
            row.price = price.toDouble();
            // Compared as shown, so that a dish shown at the threshold is not over it.
            row.share = rounding::toDecimals(row.cost / *row.price * 100, 1);
            row.over = *row.share > threshold;
        }
        shares->rows.push_back(row);
    }

    const QCollator collator = Database::russianCollator();
    std::stable_sort(shares->rows.begin(), shares->rows.end(),
                     [&collator](const FoodCostRow& a, const FoodCostRow& b) {
                         if (a.share.has_value() != b.share.has_value())
                             return a.share.has_value();
                         if (a.share && *a.share != *b.share)
                             return *a.share > *b.share;
                         return collator.compare(a.name, b.name) < 0;
                     });
    return true;
}

AnalysisTable FoodCostShares::table() const
{
    AnalysisTable table;
    table.title = u"Доля себестоимости в цене: "_s + of;
    table.subtitle = u"Порог %1 %"_s.arg(threshold);
    table.columns = {{u"Блюдо"_s, {}},
                     {u"Группа"_s, {}},
                     {u"Себестоимость порции"_s, u"0.00"_s},
                     {u"Цена продажи"_s, u"0.00"_s},
                     {u"Доля, %"_s, u"0.0"_s},
                     {u"Выше порога"_s, {}}};
    for (const FoodCostRow& row : rows)
        table.rows.append({row.name, row.group, row.cost, row.price ? QVariant(*row.price) : QVariant(),
                           row.share ? QVariant(*row.share) : QVariant(), row.over ? u"да"_s : QString()});
    const QStringList high = over();
    table.notes << (high.isEmpty() ? u"Блюд выше порога нет."_s
                                   : u"Выше порога (%1): %2."_s.arg(high.size()).arg(high.join(u", "_s)));
    if (std::any_of(rows.cbegin(), rows.cend(), [](const FoodCostRow& row) { return !row.price; }))
        table.notes << u"Без цены продажи доля не считается."_s;
    if (!leftOut.isEmpty())
        table.notes << u"Не учтены (себестоимость не рассчитать):"_s << leftOut;
    return table;
}
