#include "MenuMatrix.h"

#include "costing/DishCostCalculator.h"
#include "costing/RecipeBook.h"
#include "sales/SalesDocuments.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QCollator>
#include <QHash>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Sold
{
    double portions = 0;
    double revenue = 0;
    double lastPrice = 0;
};

} // namespace

QString MenuMatrix::kindName(MatrixKind kind)
{
    switch (kind) {
    case MatrixKind::PopularProfitable:
        return u"Популярное и прибыльное"_s;
    case MatrixKind::PopularPoor:
        return u"Популярное, но малоприбыльное"_s;
    case MatrixKind::RareProfitable:
        return u"Редкое, но прибыльное"_s;
    case MatrixKind::RarePoor:
        return u"Редкое и малоприбыльное"_s;
    }
    return {};
}

bool MenuMatrix::read(const QSqlDatabase& db, const QDate& start, const QDate& end, MenuMatrix* matrix,
                      QString* error)
{
    *matrix = MenuMatrix();
    matrix->start = start;
    matrix->end = end;
    const QVariantList period{start.toString(Qt::ISODate), end.toString(Qt::ISODate)};
    if (!forEachRow(
            db, u"SELECT count(*) FROM Realdoc WHERE DateR >= ? AND DateR <= ?"_s, period,
            [&](const QSqlQuery& q) { matrix->documents = q.value(0).toInt(); }, error))
        return false;

    // Dishes in the order first met, so that equal figures keep the documents' order.
    std::vector<qlonglong> order;
    QHash<qlonglong, Sold> sold;
    QString fault;
    if (!forEachRow(
            db,
            u"SELECT s.KodBludo, s.Kolvo, s.Cumma, s.Nnn FROM Realdoc d JOIN Realsum s ON s.Kod = d.Kod "
            "WHERE d.DateR >= ? AND d.DateR <= ? ORDER BY d.DateR, d.Kod, s.Nnn"_s,
            period,
            [&](const QSqlQuery& q) {
                if (!fault.isEmpty())
                    return;
                // A reference that is not whole names no dish: refused, never rounded onto a neighbour.
                if (!isWholeReference(q.value(0))) {
                    fault = notWholeReference(u"Realsum"_s, q.value(3), u"KodBludo"_s, q.value(0));
                    return;
                }
                const qlonglong dish = rowKey(q.value(0)).value_or(0);
                if (!sold.contains(dish))
                    order.push_back(dish);
                Sold& total = sold[dish];
                total.portions += q.value(1).toDouble();
                total.revenue += SalesDocuments::lineSum(q.value(1), q.value(2));
                total.lastPrice = q.value(2).toDouble();
            },
            error))
        return false;
    if (!fault.isEmpty()) {
        *error = fault;
        return false;
    }

    RecipeBook book;
    if (!book.load(db, RecipeSelection{}, error))
        return false;
    const DishCostCalculator::PortionCosts costs = DishCostCalculator::portionCosts(book);
    int gone = 0;
    for (qlonglong key : order) {
        const RecipeDish* dish = book.dish(key);
        if (!dish) {
            ++gone;
            continue;
        }
        const auto cost = costs.dishes.constFind(key);
        if (cost == costs.dishes.cend()) {
            // A dish the run would stop at has its refusal; one it never reached lost its group.
            matrix->leftOut << costs.faults.value(
                key, u"Блюдо \"%1\": его группы блюд больше нет."_s.arg(dish->name));
            continue;
        }
        const Sold& total = sold.value(key);
        MatrixDish point{key, dish->name, total.portions, rounding::toKopeck(total.revenue)};
        point.price = total.portions != 0 ? point.revenue / total.portions : total.lastPrice;
        point.cost = *cost;
        point.margin = rounding::toKopeck(point.price - point.cost);
        matrix->dishes.push_back(point);
    }
    if (gone > 0)
        matrix->leftOut << u"Блюд, которых больше нет в справочнике: %1."_s.arg(gone);
    if (matrix->dishes.empty())
        return true;

    double portions = 0;
    double margins = 0;
    for (const MatrixDish& point : matrix->dishes) {
        portions += point.portions;
        margins += point.margin;
    }
    const double count = double(matrix->dishes.size());
    matrix->averagePortions = rounding::toDecimals(portions / count, 2);
    matrix->averageMargin = rounding::toKopeck(margins / count);
    for (MatrixDish& point : matrix->dishes) {
        const bool popular = rounding::toDecimals(point.portions, 2) >= matrix->averagePortions;
        const bool profitable = point.margin >= matrix->averageMargin;
        point.kind = popular ? (profitable ? MatrixKind::PopularProfitable : MatrixKind::PopularPoor)
                             : (profitable ? MatrixKind::RareProfitable : MatrixKind::RarePoor);
    }
    std::stable_sort(matrix->dishes.begin(), matrix->dishes.end(),
                     [](const MatrixDish& a, const MatrixDish& b) {
                         return a.kind != b.kind ? a.kind < b.kind : a.portions > b.portions;
                     });
    return true;
}

AnalysisTable MenuMatrix::table() const
{
    AnalysisTable table;
    table.title = u"Матрица меню"_s;
    table.subtitle = u"Продажи с %1 по %2, документов: %3"_s
                         .arg(start.toString(u"dd.MM.yyyy"_s), end.toString(u"dd.MM.yyyy"_s))
                         .arg(documents);
    table.columns = {{u"Блюдо"_s, {}},
                     {u"Продано порций"_s, u"0.00"_s},
                     {u"Выручка"_s, u"0.00"_s},
                     {u"Цена порции"_s, u"0.00"_s},
                     {u"Себестоимость порции"_s, u"0.00"_s},
                     {u"Маржа порции"_s, u"0.00"_s},
                     {u"Вид"_s, {}}};
    for (const MatrixDish& point : dishes)
        table.rows.append({point.name, point.portions, point.revenue, point.price, point.cost, point.margin,
                           kindName(point.kind)});
    if (dishes.empty()) {
        table.notes << u"За период продаж нет."_s;
    } else {
        table.rows.append(
            {u"Среднее"_s, averagePortions, QVariant(), QVariant(), QVariant(), averageMargin, QString()});
        table.notes << u"Границы видов: среднее число порций и средняя маржа порции; блюдо на границе "
                       "считается достигшим её."_s;
    }
    if (!leftOut.isEmpty())
        table.notes << u"Не учтены:"_s << leftOut;
    return table;
}
