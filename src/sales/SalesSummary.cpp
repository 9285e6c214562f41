#include "SalesSummary.h"

#include "ConsumptionCalculator.h"
#include "reports/FormStyle.h"
#include "reports/Workbook.h"
#include "SalesDocuments.h"
#include "SalesTables.h"
#include "store/Database.h"
#include "store/PreparedStatement.h"
#include "store/Rounding.h"
#include "store/RowBatch.h"
#include "store/RowKey.h"

#include <QCollator>
#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <numeric>
#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

constexpr int lastColumn = 9; // I

struct DishTotal
{
    qlonglong key = 0; // the dish
    double portions = 0;
    double sum = 0;
};

struct IngredientTotal
{
    qlonglong key = 0; // the ingredient
    double quantity = 0;
    double sum = 0;
    double sumWithMarkup = 0;
};

// Totals by key in the order the keys were first met, as rows of a scratch table are made.
template <typename Total> class Totals
{
public:
    Total& of(qlonglong key)
    {
        const auto found = m_index.constFind(key);
        if (found != m_index.cend())
            return m_rows[*found];
        m_index.insert(key, m_rows.size());
        Total& total = m_rows.emplace_back();
        total.key = key;
        return total;
    }
    const std::vector<Total>& rows() const { return m_rows; }

private:
    std::vector<Total> m_rows;
    QHash<qlonglong, std::size_t> m_index;
};

// By group name, then name, in the order of the connection's collation (Russian, ignoring case); the
// stored order breaks ties. Sort keys made once cost far less than the collation called by the
// database for every comparison.
template <typename Row> void sortByGroupAndName(std::vector<Row>& rows)
{
    const QCollator collator = Database::russianCollator();
    std::vector<std::pair<QCollatorSortKey, QCollatorSortKey>> keys;
    keys.reserve(rows.size());
    for (const Row& row : rows)
        keys.emplace_back(collator.sortKey(row.group), collator.sortKey(row.name));
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
        const int group = keys[a].first.compare(keys[b].first);
        return group != 0 ? group < 0 : keys[a].second.compare(keys[b].second) < 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

const QString inPeriod = u"d.DateR >= ? AND d.DateR <= ?"_s;

// A document's calculated rows in the order its stored rows are summed: by the index on group and
// ingredient (an empty group first, as the database orders it), then as stored.
std::vector<const ConsumptionRow*> storedOrder(const std::vector<ConsumptionRow>& rows)
{
    struct Place
    {
        bool hasGroup;
        qlonglong group;
        qlonglong ingredient;
        const ConsumptionRow* row;
    };
    std::vector<Place> places;
    places.reserve(rows.size());
    for (const ConsumptionRow& row : rows)
        places.push_back({!row.group.isNull(), row.group.toLongLong(), row.ingredient, &row});
    std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        return std::tie(a.hasGroup, a.group, a.ingredient) < std::tie(b.hasGroup, b.group, b.ingredient);
    });
    std::vector<const ConsumptionRow*> order;
    order.reserve(rows.size());
    for (const Place& place : places)
        order.push_back(place.row);
    return order;
}

bool insertIngredientRows(QSqlDatabase db, const std::vector<SalesSummary::IngredientRow>& rows,
                          QString* error)
{
    RowBatch batch(db, u"Svodi"_s, {u"Kod"_s, u"Kolvo"_s, u"Summa"_s, u"Summa1"_s});
    for (const SalesSummary::IngredientRow& row : rows) {
        if (!batch.add({row.ingredient, row.quantity, row.sum, row.sumWithMarkup}, error))
            return false;
    }
    return batch.flush(error);
}

void titleRow(Sheet& sheet, int row, const QString& text)
{
    sheet.cell(row, lastColumn).setValue(text);
    centre(sheet.range(row, 1, row, lastColumn).merge());
    setRowFont(sheet, row, 18, true);
}

} // namespace

QString SalesSummaryResult::notice() const
{
    QStringList parts;
    if (linesSkipped > 0)
        parts
            << u"Строк документов пропущено при расчёте: %1 (блюда этих строк больше нет в справочнике блюд)."_s
                   .arg(linesSkipped);
    if (dishesLeftOut > 0)
        parts << u"Блюд не напечатано: %1 (их больше нет в справочнике блюд или их группы нет)."_s.arg(
            dishesLeftOut);
    if (ingredientsLeftOut > 0)
        parts << u"Ингредиентов не напечатано: %1 (их, их группы или единицы измерения больше нет)."_s.arg(
            ingredientsLeftOut);
    return parts.join(u'\n');
}

SalesSummaryResult SalesSummary::run(const QDate& start, const QDate& end, const Progress& progress,
                                     const Step& step) const
{
    SalesSummaryResult result;
    const auto failed = [&result](const QString& error) {
        result.caption = u"Печать сводного отчёта"_s;
        result.error = u"Сводный отчёт не составлен: "_s + error;
        return std::move(result);
    };
    QString error;
    Transaction transaction(m_db);
    // The scratch tables are emptied first, as their own part: a refused calculation undoes it alone.
    // Being the first write, it also takes a file kitchen's write lock before anything is read.
    std::optional<Transaction> scratch(std::in_place, m_db);
    if (!transaction.isActive() || !scratch->isActive())
        return failed(sqlErrorText(m_db.lastError()));
    if (!lockTablesForWriting(m_db, {u"Svodb"_s, u"Svodi"_s}, &error) ||
        !execSql(m_db, u"DELETE FROM Svodb"_s, {}, &error) ||
        !execSql(m_db, u"DELETE FROM Svodi"_s, {}, &error))
        return failed(error);

    struct Document
    {
        qlonglong key = 0;
        bool open = false;
    };
    std::vector<Document> inRange;
    if (!forEachRow(
            m_db,
            u"SELECT d.Kod, d.Status FROM Realdoc d WHERE "_s + inPeriod + u" ORDER BY d.DateR, d.Kod"_s,
            {start.toString(Qt::ISODate), end.toString(Qt::ISODate)},
            [&](const QSqlQuery& q) {
                // Exactly 5: an open document of another status counts with the rows it has.
                inRange.push_back(
                    {q.value(0).toLongLong(),
                     !q.value(1).isNull() && q.value(1).toDouble() == SalesDocuments::openStatus});
            },
            &error))
        return failed(error);
    result.documents = int(inRange.size());
    PeriodConsumption calculation(m_db);
    if (std::any_of(inRange.cbegin(), inRange.cend(), [](const Document& d) { return d.open; }) &&
        !calculation.load(start, end, &error)) {
        result.caption = u"Ошибка расчёта реализации"_s;
        result.error = u"Расчёт реализации не выполнен: %1"_s.arg(error);
        return result;
    }

    // Document by document in date order, each through its index in stored order: the rows come
    // sorted without the database sorting the whole year. An open document's rows are summed from
    // memory in that same order.
    Totals<DishTotal> dishes;
    Totals<IngredientTotal> ingredients;
    PreparedStatement lines(m_db,
                            u"SELECT KodBludo, Kolvo, Cumma, Nnn FROM Realsum WHERE Kod = ? AND Kolvo <> 0 "
                            "ORDER BY Kod, Nnn"_s,
                            &error);
    PreparedStatement consumption(m_db,
                                  u"SELECT KodIng, Kolvo, CenaIng, Cenaing1, NNN FROM RealItog WHERE Kod = ? "
                                  "ORDER BY Kod, KodGrIng, KodIng, NNN"_s,
                                  &error);
    const auto addIngredient = [&ingredients](qlonglong key, double quantity, double price,
                                              double priceWithMarkup) {
        IngredientTotal& total = ingredients.of(key);
        total.quantity += quantity;
        total.sum += quantity * price;
        total.sumWithMarkup += quantity * priceWithMarkup;
    };
    bool read = lines.isValid() && consumption.isValid();
    for (std::size_t n = 0; read && n < inRange.size(); ++n) {
        if (step && !step(int(n) + 1, int(inRange.size()))) {
            result.stopped = true;
            return result;
        }
        const Document& document = inRange[n];
        if (document.open) {
            const ConsumptionRun run = calculation.calculate(document.key);
            if (!run.ok) {
                scratch.reset();
                if (!calculation.store(&error) || !transaction.commit())
                    return failed(error.isEmpty() ? sqlErrorText(m_db.lastError()) : error);
                result.caption = run.caption;
                result.error = run.message;
                return result;
            }
            ++result.recalculated;
            result.linesSkipped += run.linesSkipped;
        }
        read = lines.bind({document.key}, &error);
        while (read && lines.next(&error)) {
            // A reference that is not whole names no dish: refused, never rounded onto a neighbour.
            if (!isWholeReference(lines.value(0))) {
                error = notWholeReference(u"Realsum"_s, lines.value(3), u"KodBludo"_s, lines.value(0));
                read = false;
                break;
            }
            DishTotal& total = dishes.of(rowKey(lines.value(0)).value_or(0));
            total.portions += lines.number(1);
            total.sum += SalesDocuments::lineSum(lines.value(1), lines.value(2));
        }
        read = read && error.isEmpty();
        if (read && document.open) {
            for (const ConsumptionRow* row : storedOrder(calculation.rows()))
                addIngredient(row->ingredient, row->quantity, row->price, row->priceWithMarkup);
            continue;
        }
        read = read && consumption.bind({document.key}, &error);
        while (read && consumption.next(&error)) {
            if (!isWholeReference(consumption.value(0))) {
                error =
                    notWholeReference(u"RealItog"_s, consumption.value(4), u"KodIng"_s, consumption.value(0));
                read = false;
                break;
            }
            addIngredient(rowKey(consumption.value(0)).value_or(0), consumption.number(1),
                          consumption.number(2), consumption.number(3));
        }
        read = read && error.isEmpty();
    }
    if (!read)
        return failed(error);

    // Left for the tools that read them; the print below comes from the totals in memory.
    RowBatch dishRows(m_db, u"Svodb"_s, {u"Kod"_s, u"Kolvo"_s, u"Summa"_s});
    bool stored = calculation.store(&error);
    for (auto total = dishes.rows().cbegin(); stored && total != dishes.rows().cend(); ++total)
        stored = dishRows.add({total->key, total->portions, total->sum}, &error);
    std::vector<IngredientRow> ingredientRows;
    ingredientRows.reserve(ingredients.rows().size());
    for (const auto& total : ingredients.rows())
        ingredientRows.push_back({total.key, total.quantity, total.sum, total.sumWithMarkup});
    stored = stored && dishRows.flush(&error) && insertIngredientRows(m_db, ingredientRows, &error);
    if (!stored || !scratch->commit())
        return failed(error.isEmpty() ? sqlErrorText(m_db.lastError()) : error);

    // The printed rows: only what the directories still name, by group name and name.
    std::vector<SoldDish> sold;
    std::vector<ConsumedIngredient> consumed;
    QHash<qlonglong, std::pair<QString, QString>> dishNames;
    QHash<qlonglong, ConsumedIngredient> ingredientNames;
    const bool named =
        forEachRow(
            m_db, u"SELECT b.Kod1, g.Name, b.Name FROM Bludo b JOIN Grbludo g ON b.Kod = g.Kod"_s,
            [&](const QSqlQuery& q) {
                dishNames.insert(q.value(0).toLongLong(), {q.value(1).toString(), q.value(2).toString()});
            },
            &error) &&
        forEachRow(
            m_db,
            u"SELECT i.Kod1, g.Name, i.Name, u.Shorthame FROM Ing i JOIN Gring g ON i.Kod = g.Kod "
            "JOIN Edinica u ON i.Edinica = u.Kod"_s,
            [&](const QSqlQuery& q) {
                ingredientNames.insert(q.value(0).toLongLong(), {q.value(1).toString(), q.value(2).toString(),
                                                                 0, q.value(3).toString(), 0, 0});
            },
            &error);
    if (!named || !transaction.commit())
        return failed(error.isEmpty() ? sqlErrorText(m_db.lastError()) : error);
    for (const DishTotal& total : dishes.rows()) {
        const auto name = dishNames.constFind(total.key);
        if (name != dishNames.cend())
            sold.push_back({name->first, name->second, total.portions,
                            total.portions > 0 ? total.sum / total.portions : 0, total.sum});
    }
    for (const IngredientTotal& total : ingredients.rows()) {
        const auto name = ingredientNames.constFind(total.key);
        if (name != ingredientNames.cend())
            consumed.push_back(
                {name->group, name->name, total.quantity, name->unit, total.sum, total.sumWithMarkup});
    }
    sortByGroupAndName(sold);
    sortByGroupAndName(consumed);
    result.dishesLeftOut = int(dishes.rows().size() - sold.size());
    result.ingredientsLeftOut = int(ingredients.rows().size() - consumed.size());
    for (const SoldDish& dish : sold)
        result.sales += dish.sum;
    for (const ConsumedIngredient& ingredient : consumed)
        result.ingredientsCost += ingredient.sum;

    auto workbook = std::make_unique<Workbook>();
    const QString span =
        u"за период с %1 по %2"_s.arg(start.toString(u"dd.MM.yyyy"_s), end.toString(u"dd.MM.yyyy"_s));
    const auto half = [&progress, &result](int offset) {
        return [&progress, &result, offset](int k, int n) {
            if (progress && !progress(rounding::toInt(double(k) / n / 2 * 100) + offset))
                result.stopped = true;
        };
    };

    Sheet& dishSheet = workbook->sheet(1);
    dishSheet.setName(u"Свод Буфетон"_s);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    dishSheet.setOnePageWide(true);
    dishSheet.setPrintTitleRows(u"$4:$4");
    dishSheet.range(u"A:I").setColumnWidth(8.3);
    dishSheet.column(9).setNumberFormat(u"0.00"_s);
    titleRow(dishSheet, 1, u"Сводная таблица Буфетон"_s);
    titleRow(dishSheet, 2, span);
    salestables::writeDishes(dishSheet, 4, sold, half(0));
    if (result.stopped)
        return result;

    Sheet& issue = workbook->sheet(2);
    issue.setName(u"Расход ингредиентов"_s);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    issue.setOnePageWide(true);
    issue.setPrintTitleRows(u"$3:$3");
    issue.setColumnWidth(1, 3.3);
    issue.columns(2, 7).setColumnWidth(8.1);
    issue.columns(8, 9).setColumnWidth(11);
    issue.column(6).setNumberFormat(u"0.000"_s);
    titleRow(issue, 1, u"Сводная таблица расхода ингредиентов"_s);
    titleRow(issue, 2, span);
    salestables::writeIngredients(issue, 6, false, consumed, half(50));
    if (result.stopped)
        return result;

    result.workbook = std::move(workbook);
    return result;
}

bool SalesSummary::replaceIngredientRows(QSqlDatabase db, const std::vector<IngredientRow>& rows,
                                         QString* error)
{
    return lockTablesForWriting(db, {u"Svodi"_s}, error) && execSql(db, u"DELETE FROM Svodi"_s, {}, error) &&
           insertIngredientRows(db, rows, error);
}
