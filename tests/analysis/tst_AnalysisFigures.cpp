#include "AnalysisKitchen.h"
#include "FaultInjection.h"
#include "ScriptedPrompts.h"

#include "analysis/AnalysisFigures.h"
#include "analysis/AnalysisPrintJob.h"
#include "costing/DishCostCalculator.h"
#include "costing/RecipeBook.h"
#include "reports/Workbook.h"
#include "store/Rounding.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Scope = PriceRecalculation::Scope;
using Action = PriceRecalculation::Action;
Q_DECLARE_METATYPE(PriceRecalculation::Scope)
Q_DECLARE_METATYPE(PriceRecalculation::Action)

namespace {

QDate day(const char* iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

QStringList names(const FoodCostShares& shares)
{
    QStringList result;
    for (const FoodCostRow& row : shares.rows)
        result << row.name;
    return result;
}

} // namespace

class tst_AnalysisFigures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void foodCostSharesOfAGroup();
    void foodCostSharesOfAMenu();
    void menuMatrixSplitsAtTheAverages();
    void dailySalesAndCost();
    void emptyPeriods();
    void priceTrend_data();
    void priceTrend();
    void priceChangeIsWhatStoringThenGives_data();
    void priceChangeIsWhatStoringThenGives();
    void refusals();
    void printedTableHoldsTheFigures();
    void longNoteStaysWithinTheTable();
};

void tst_AnalysisFigures::foodCostSharesOfAGroup()
{
    AnalysisKitchen kitchen;
    const qlonglong unpriced = kitchen.dish(kitchen.soups, u"Без цены"_s, 1);
    kitchen.card(unpriced, kitchen.carrot, 100);
    const qlonglong broken = kitchen.pricedDish(kitchen.soups, u"Без порций"_s, 0, 50);
    kitchen.card(broken, kitchen.carrot, 100);

    FoodCostShares shares;
    QString error;
    QVERIFY2(FoodCostShares::read(kitchen.data.db(), DishSet::Group, kitchen.soups, 35, &shares, &error),
             qPrintable(error));
    QCOMPARE(shares.of, u"группа \"Супы\""_s);
    // Largest share first; 35.0 % is at the threshold, not over it; the dish without a price last.
    QCOMPARE(names(shares),
             (QStringList{u"Пюре"_s, u"Котлеты"_s, u"Морковь тушёная"_s, u"Суп"_s, u"Без цены"_s}));
    const struct
    {
        double cost;
        std::optional<double> price;
        std::optional<double> share;
        bool over;
    } expected[] = {{5.00, 10.00, 50.0, true},
                    {43.24, 100.00, 43.2, true},
                    {7.00, 20.00, 35.0, false},
                    {16.00, 80.00, 20.0, false},
                    {3.50, std::nullopt, std::nullopt, false}};
    for (std::size_t i = 0; i < shares.rows.size(); ++i) {
        const FoodCostRow& row = shares.rows[i];
        QVERIFY2(qAbs(row.cost - expected[i].cost) < 1e-9, qPrintable(row.name));
        QCOMPARE(row.price, expected[i].price);
        QCOMPARE(row.share, expected[i].share);
        QCOMPARE(row.over, expected[i].over);
        QCOMPARE(row.group, u"Супы"_s);
    }
    QCOMPARE(shares.over(), (QStringList{u"Пюре"_s, u"Котлеты"_s}));
    // The dish the price run would stop at is named, and the others are still there.
    QCOMPARE(shares.leftOut.size(), 1);
    QVERIFY2(shares.leftOut.first().contains(u"Без порций"_s) && shares.leftOut.first().contains(u"порций"_s),
             qPrintable(shares.leftOut.first()));

    // A higher threshold leaves only the mash over it.
    QVERIFY(FoodCostShares::read(kitchen.data.db(), DishSet::Group, kitchen.soups, 45, &shares, &error));
    QCOMPARE(shares.over(), QStringList{u"Пюре"_s});
}

void tst_AnalysisFigures::foodCostSharesOfAMenu()
{
    AnalysisKitchen kitchen;
    const qlonglong menu = kitchen.data.insert(
        u"Menu"_s, {{u"Name"_s, u"Обед"_s}, {u"Date"_s, u"2026-12-01"_s}, {u"Status"_s, 1}});
    const auto entry = [&](qlonglong dish, double price, int on) {
        kitchen.data.insert(u"MenuSp"_s, {{u"Kod"_s, menu},
                                          {u"Name"_s, dish},
                                          {u"GrName"_s, kitchen.soups},
                                          {u"Status"_s, on},
                                          {u"Nn"_s, 1},
                                          {u"CenaProd"_s, price}});
    };
    // The menu's selling price counts, not the dish's own; a switched-off entry is not offered; a dish
    // entered twice is one row at its first entry's price.
    entry(kitchen.soup, 64.00, 1);
    entry(kitchen.mash, 12.50, 1);
    entry(kitchen.soup, 32.00, 1);
    entry(kitchen.cutlets, 50.00, 0);
    FoodCostShares shares;
    QString error;
    QVERIFY2(FoodCostShares::read(kitchen.data.db(), DishSet::Menu, menu, 35, &shares, &error),
             qPrintable(error));
    QCOMPARE(shares.of, u"меню \"Обед\""_s);
    QCOMPARE(names(shares), (QStringList{u"Пюре"_s, u"Суп"_s}));
    QCOMPARE(shares.rows[0].share, 40.0);
    QCOMPARE(shares.rows[1].price, 64.00);
    QCOMPARE(shares.rows[1].share, 25.0);
    QCOMPARE(shares.over(), QStringList{u"Пюре"_s});
}

void tst_AnalysisFigures::menuMatrixSplitsAtTheAverages()
{
    AnalysisKitchen kitchen;
    kitchen.sell();
    MenuMatrix matrix;
    QString error;
    QVERIFY2(MenuMatrix::read(kitchen.data.db(), day("2026-12-01"), day("2026-12-31"), &matrix, &error),
             qPrintable(error));
    QCOMPARE(matrix.documents, 3);
    QCOMPARE(matrix.averagePortions, 20.0);
    QCOMPARE(matrix.averageMargin, 20.0);
    const struct
    {
        QString name;
        double portions;
        double revenue;
        double margin;
        MatrixKind kind;
    } expected[] = {{u"Суп"_s, 20, 720.00, 20.00, MatrixKind::PopularProfitable},
                    {u"Морковь тушёная"_s, 40, 880.00, 15.00, MatrixKind::PopularPoor},
                    {u"Пюре"_s, 10, 400.00, 35.00, MatrixKind::RareProfitable},
                    {u"Котлеты"_s, 10, 532.40, 10.00, MatrixKind::RarePoor}};
    QCOMPARE(matrix.dishes.size(), std::size(expected));
    for (std::size_t i = 0; i < matrix.dishes.size(); ++i) {
        const MatrixDish& dish = matrix.dishes[i];
        QCOMPARE(dish.name, expected[i].name);
        QCOMPARE(dish.portions, expected[i].portions);
        QVERIFY2(qAbs(dish.revenue - expected[i].revenue) < 1e-9, qPrintable(dish.name));
        QVERIFY2(qAbs(dish.margin - expected[i].margin) < 1e-9, qPrintable(dish.name));
        QCOMPARE(dish.kind, expected[i].kind);
    }
    QVERIFY(matrix.leftOut.isEmpty());
}

void tst_AnalysisFigures::dailySalesAndCost()
{
    AnalysisKitchen kitchen;
    kitchen.sell();
    DailySales daily;
    QString error;
    QVERIFY2(DailySales::read(kitchen.data.db(), day("2026-12-01"), day("2026-12-03"), &daily, &error),
             qPrintable(error));
    // 1 December: 4 × 40 + 20 × 36 + 25 × 22 sold, 2.5 × 20 + 1.2 × 400 consumed.
    // 2 December: 6 × 40 + 15 × 22 + 10 × 53.24 sold in a document not calculated yet, and 1 × 30
    // consumed by the other one, which sold nothing.
    QCOMPARE(daily.days.size(), std::size_t(2));
    QCOMPARE(daily.days[0].date, day("2026-12-01"));
    QCOMPARE(daily.days[0].documents, 1);
    QCOMPARE(daily.days[0].sales, 1430.00);
    QCOMPARE(daily.days[0].cost, 530.00);
    QCOMPARE(daily.days[0].uncalculated, 0);
    QCOMPARE(daily.days[1].date, day("2026-12-02"));
    QCOMPARE(daily.days[1].documents, 2);
    QVERIFY(qAbs(daily.days[1].sales - 1102.40) < 1e-9);
    QCOMPARE(daily.days[1].cost, 30.00);
    QCOMPARE(daily.days[1].uncalculated, 1);
    QVERIFY(qAbs(daily.sales - 2532.40) < 1e-9);
    QCOMPARE(daily.cost, 560.00);
    const AnalysisTable table = daily.table();
    QCOMPARE(table.rows.size(), 3); // two days and the total
    QVERIFY(table.notes.join(u'\n').contains(u"без рассчитанного расхода: 1"_s));
}

void tst_AnalysisFigures::emptyPeriods()
{
    AnalysisKitchen kitchen;
    kitchen.sell();
    QString error;
    // A period without documents, and one whose end is before its start.
    for (const auto& [start, end] :
         {std::pair{day("2027-01-01"), day("2027-01-31")}, std::pair{day("2026-12-31"), day("2026-12-01")}}) {
        DailySales daily;
        QVERIFY2(DailySales::read(kitchen.data.db(), start, end, &daily, &error), qPrintable(error));
        QVERIFY(daily.days.empty());
        QCOMPARE(daily.table().rows.size(), 0);
        MenuMatrix matrix;
        QVERIFY2(MenuMatrix::read(kitchen.data.db(), start, end, &matrix, &error), qPrintable(error));
        QVERIFY(matrix.dishes.empty());
        QCOMPARE(matrix.documents, 0);
        QCOMPARE(matrix.table().rows.size(), 0);
    }
}

void tst_AnalysisFigures::priceTrend_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<double>("startPrice");
    QTest::addColumn<QStringList>("changes"); // date and "R" for a receipt
    QTest::addColumn<double>("endPrice");
    // Potatoes: 18 → 19 on 20 Nov by hand, 19 → 21 on 3 Dec by a receipt, 21 → 20 on 10 Dec by the
    // inventory, 20 → 22 on 20 Dec by a receipt.
    QTest::newRow("inside") << day("2026-12-01") << day("2026-12-15") << 19.0
                            << QStringList{u"2026-12-03 R"_s, u"2026-12-10"_s} << 20.0;
    QTest::newRow("both ends included")
        << day("2026-12-03") << day("2026-12-20") << 19.0
        << QStringList{u"2026-12-03 R"_s, u"2026-12-10"_s, u"2026-12-20 R"_s} << 22.0;
    QTest::newRow("before any change")
        << day("2026-11-01") << day("2026-11-10") << 18.0 << QStringList{} << 18.0;
    QTest::newRow("after the last") << day("2027-01-01") << day("2027-01-31") << 22.0 << QStringList{}
                                    << 22.0;
}

void tst_AnalysisFigures::priceTrend()
{
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(double, startPrice);
    QFETCH(QStringList, changes);
    QFETCH(double, endPrice);
    AnalysisKitchen kitchen;
    // Stored out of order: the history is read by date.
    kitchen.priceChange(kitchen.potato, u"2026-12-10"_s, 21, 20, 2, u"Инвентаризация"_s);
    kitchen.priceChange(kitchen.potato, u"2026-11-20"_s, 18, 19, QVariant(), u"Правка"_s);
    kitchen.priceChange(kitchen.potato, u"2026-12-03"_s, 19, 21, 7, u"Приход"_s);
    kitchen.priceChange(kitchen.potato, u"2026-12-20"_s, 20, 22, 9, u"Приход"_s);
    kitchen.priceChange(kitchen.beef, u"2026-12-05"_s, 400, 999, 8, u"Приход"_s);

    PriceTrend trend;
    QString error;
    QVERIFY2(PriceTrend::read(kitchen.data.db(), kitchen.potato, start, end, &trend, &error),
             qPrintable(error));
    QCOMPARE(trend.ingredient, u"Картофель"_s);
    QCOMPARE(trend.unit, u"кг"_s);
    QCOMPARE(trend.startPrice, startPrice);
    QStringList read;
    for (const PriceChange& change : trend.changes)
        read << change.date.toString(Qt::ISODate) + (change.receipt ? u" R"_s : QString());
    QCOMPARE(read, changes);
    QCOMPARE(trend.endPrice, endPrice);
    // The table: the price at the start, each change, the price at the end.
    QCOMPARE(trend.table().rows.size(), changes.size() + 2);
}

void tst_AnalysisFigures::priceChangeIsWhatStoringThenGives_data()
{
    QTest::addColumn<Scope>("scope");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QStringList>("crossing");
    QTest::newRow("beef up") << Scope::Ingredient << Action::Raise << 10 << QStringList();
    QTest::newRow("meat up") << Scope::Group << Action::Raise << 10 << QStringList();
    // The carrots at 35.0 % are not over the threshold until the change.
    QTest::newRow("all up") << Scope::All << Action::Raise << 10 << QStringList{u"Морковь тушёная"_s};
    QTest::newRow("all down") << Scope::All << Action::Lower << 25 << QStringList{u"Котлеты"_s};
}

// "Что если" stores nothing; storing the same change ("Пересчёт цен") then gives the food-cost picture
// the preview showed: each changed dish's cost and share, the product's cost, and the dishes that went
// across the threshold. ("Расчёт цен блюд" would then store new selling prices with the markups; the
// preview, like the picture, weighs costs against the selling prices as they stand.)
void tst_AnalysisFigures::priceChangeIsWhatStoringThenGives()
{
    QFETCH(Scope, scope);
    QFETCH(Action, action);
    QFETCH(int, percent);
    QFETCH(QStringList, crossing);
    AnalysisKitchen kitchen;
    const QSqlDatabase db = kitchen.data.db();
    const PriceRecalculation::Settings change{scope, action, percent};
    AnalysisChoice choice;
    choice.picture = Picture::PriceChange;
    choice.change = change;
    choice.ingredient = kitchen.beef;
    choice.ingredientGroup = kitchen.meat;
    const QString snapshot = databaseSnapshot(db);
    AnalysisFigures figures;
    QString error;
    QVERIFY2(AnalysisFigures::read(db, choice, &figures, &error), qPrintable(error));
    QCOMPARE(databaseSnapshot(db), snapshot);
    const PriceChangePreview& preview = figures.priceChange;

    FoodCostShares before;
    QVERIFY(FoodCostShares::read(db, DishSet::Group, kitchen.soups, 35, &before, &error));
    ScriptedPrompts prompts;
    QVERIFY(PriceRecalculation(db).run(change, kitchen.beef, kitchen.meat, prompts));
    FoodCostShares after;
    QVERIFY(FoodCostShares::read(db, DishSet::Group, kitchen.soups, 35, &after, &error));

    // Dishes and products by their keys, which are of two tables.
    QHash<qlonglong, const RepricingRow*> rows;
    QHash<qlonglong, const RepricingRow*> products;
    QStringList crossed;
    for (const RepricingRow& row : preview.preview.rows) {
        (row.kind == RepricingRow::Kind::Dish ? rows : products).insert(row.key, &row);
        if (preview.crosses(row))
            crossed << row.name;
    }
    QCOMPARE(crossed, crossing);
    for (const FoodCostRow& now : after.rows) {
        const auto then = std::find_if(before.rows.cbegin(), before.rows.cend(),
                                       [&now](const FoodCostRow& row) { return row.dish == now.dish; });
        QVERIFY(then != before.rows.cend());
        const RepricingRow* shown = rows.value(now.dish);
        QCOMPARE(shown != nullptr, now.cost != then->cost);
        if (!shown)
            continue;
        QCOMPARE(shown->oldCost, then->cost);
        QCOMPARE(shown->newCost, now.cost);
        QCOMPARE(rounding::toDecimals(*shown->newShare * 100, 1), *now.share);
        QCOMPARE(preview.crosses(*shown), then->over != now.over);
    }
    // The mince's cost of a kilogram, from the stored prices.
    RecipeBook book;
    QVERIFY(book.load(db, RecipeSelection{}, &error));
    const double mince =
        rounding::toKopeck(DishCostCalculator::portionCosts(book).semiFinished.value(kitchen.mince));
    QVERIFY(products.contains(kitchen.mince));
    QCOMPARE(products.value(kitchen.mince)->newCost, mince);
    // The table holds the preview's rows: the product first, then the dishes by new share.
    const AnalysisTable table = figures.table();
    QCOMPARE(table.rows.size(), qsizetype(preview.preview.rows.size()));
    QCOMPARE(table.rows.first().value(1).toString(), u"Фарш"_s);
    for (qsizetype r = 2; r < table.rows.size(); ++r)
        QVERIFY(table.rows[r - 1].value(7).toDouble() >= table.rows[r].value(7).toDouble());
}

void tst_AnalysisFigures::refusals()
{
    AnalysisKitchen kitchen;
    QString error;
    // Without a history the price stands as stored all through the period.
    PriceTrend trend;
    QVERIFY(PriceTrend::read(kitchen.data.db(), kitchen.onion, day("2026-12-01"), day("2026-12-31"), &trend,
                             &error));
    QCOMPARE(trend.startPrice, 30.0);
    QCOMPARE(trend.endPrice, 30.0);

    const struct
    {
        const char* name;
        AnalysisChoice choice;
        QString error;
    } cases[] = {
        {"gone ingredient", {Picture::PriceTrend, day("2026-12-01"), day("2026-12-31"), 999}, u"999"_s},
        {"no ingredient", {Picture::PriceTrend, day("2026-12-01"), day("2026-12-31"), 0}, u"ингредиент"_s},
        {"gone group", {Picture::FoodCost, {}, {}, 0, DishSet::Group, 999}, u"Группы блюд с кодом 999"_s},
        {"gone menu", {Picture::FoodCost, {}, {}, 0, DishSet::Menu, 999}, u"Меню с кодом 999"_s},
        {"no period", {Picture::MenuMatrix}, u"период"_s},
        {"change of a semi-finished product",
         {Picture::PriceChange,
          {},
          {},
          kitchen.mince,
          DishSet::Group,
          0,
          35,
          {Scope::Ingredient, Action::Raise, 10}},
         u"полуфабрикат"_s},
        {"change of a gone ingredient",
         {Picture::PriceChange, {}, {}, 999, DishSet::Group, 0, 35, {Scope::Ingredient, Action::Raise, 10}},
         u"Ингредиента с кодом 999"_s},
        {"change of no group",
         {Picture::PriceChange, {}, {}, 0, DishSet::Group, 0, 35, {Scope::Group, Action::Raise, 10}, 0},
         u"Не выбрана группа ингредиентов"_s},
    };
    for (const auto& refused : cases) {
        AnalysisFigures figures;
        error.clear();
        QVERIFY2(!AnalysisFigures::read(kitchen.data.db(), refused.choice, &figures, &error), refused.name);
        QVERIFY2(error.contains(refused.error), qPrintable(error));
    }
}

void tst_AnalysisFigures::printedTableHoldsTheFigures()
{
    AnalysisKitchen kitchen;
    AnalysisChoice choice;
    choice.picture = Picture::FoodCost;
    choice.dishes = kitchen.soups;
    AnalysisPrintJob job(kitchen.data.db(), choice);
    const PrintedWorkbook printed = job.run({});
    QVERIFY2(printed.workbook, qPrintable(printed.error));
    const Sheet& sheet = printed.workbook->sheet(1);
    compareCells(sheet, {{"A1", u"Доля себестоимости в цене: группа \"Супы\""_s},
                         {"A4", u"Блюдо"_s},
                         {"E4", u"Доля, %"_s},
                         {"A5", u"Пюре"_s},
                         {"C5", 5.0},
                         {"D5", 10.0},
                         {"E5", 50.0},
                         {"F5", u"да"_s},
                         {"A8", u"Суп"_s},
                         {"F8", QVariant()},
                         {"A10", u"Выше порога (2): Пюре, Котлеты."_s}});
    QVERIFY(printed.workbook->problems().isEmpty());
}

// A note longer than the table is wide (many dishes over the threshold) is printed in rows no wider than
// the table, every word kept, so that nothing runs off the printed page.
void tst_AnalysisFigures::longNoteStaysWithinTheTable()
{
    AnalysisTable table;
    table.title = u"Доля себестоимости"_s;
    table.columns = {{u"Блюдо"_s, {}}, {u"Доля, %"_s, u"0.0"_s}};
    table.rows = {{u"Суп"_s, 50.0}};
    QStringList dishes;
    for (int i = 1; i <= 40; ++i)
        dishes << u"Блюдо номер %1"_s.arg(i);
    const QString note = u"Выше порога (40): %1."_s.arg(dishes.join(u", "_s));
    table.notes = {note};
    Workbook workbook;
    AnalysisPrintJob::fill(workbook, table);
    const Sheet& sheet = workbook.sheet(1);
    const double width = sheet.columnWidth(1).value_or(0) + sheet.columnWidth(2).value_or(0);
    QStringList printed;
    for (int row = 7; row <= sheet.rowCount(); ++row) {
        const QString line = sheet.value(row, 1).toString();
        QVERIFY2(line.size() <= width, qPrintable(line));
        printed << line;
    }
    QVERIFY(printed.size() > 1);
    QCOMPARE(printed.join(u' '), note);
}

QTEST_GUILESS_MAIN(tst_AnalysisFigures)
#include "tst_AnalysisFigures.moc"
