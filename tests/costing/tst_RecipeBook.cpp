#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/CostingCardPrint.h"
#include "costing/DishCostCalculator.h"
#include "costing/RecipeBook.h"
#include "reports/Workbook.h"
#include "sales/ConsumptionCalculator.h"
#include "sales/CrossTablePrint.h"
#include "sales/SalesDocumentPrint.h"
#include "store/Rounding.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The mash puts a semi-finished product (puree of potatoes and butter) and butter itself on one card;
// the salad is cucumbers alone. Line yields are 100: the costing card leaves them out of its norms.
struct Kitchen
{
    TestDataDir data;
    qlonglong kg = data.insert(u"Edinica"_s,
                               {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong garnishes = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Гарниры"_s}});
    qlonglong starters = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Холодные закуски"_s}});
    qlonglong potato = ingredient(u"Картофель"_s, 40, 0, 80);
    qlonglong butter = ingredient(u"Масло"_s, 200, 10, 100);
    qlonglong cucumber = ingredient(u"Огурцы"_s, 120, 0, 75);
    qlonglong puree = ingredient(u"Пюре"_s, 0, 0, 100, true);
    qlonglong mash = dish(garnishes, u"Пюре с маслом"_s, 2);
    qlonglong salad = dish(starters, u"Салат"_s, 1);
    qlonglong doc =
        data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2026-12-07"_s}, {u"NameR"_s, u"Обед"_s}, {u"Status"_s, 5}});
    FixedClock clock{QDate(2026, 12, 7)};

    Kitchen()
    {
        component(puree, potato, 1000);
        component(puree, butter, 50);
        card(mash, puree, 500);
        card(mash, butter, 20);
        card(salad, cucumber, 150);
    }

    qlonglong ingredient(const QString& name, double price, double markup, double yield, bool semi = false)
    {
        return data.insert(u"Ing"_s, {{u"Name"_s, name},
                                      {u"Edinica"_s, kg},
                                      {u"Cena"_s, price},
                                      {u"Proc"_s, markup},
                                      {u"Vih"_s, yield},
                                      {u"Pf"_s, semi ? 1 : 0}});
    }
    qlonglong dish(qlonglong group, const QString& name, double portions)
    {
        return data.insert(u"Bludo"_s,
                           {{u"Kod"_s, group}, {u"Name"_s, name}, {u"Nporc"_s, portions}, {u"Proc"_s, 0}});
    }
    void component(qlonglong product, qlonglong part, double grams)
    {
        data.insert(u"pf"_s, {{u"Kod"_s, product}, {u"Name"_s, part}, {u"Kolvo"_s, grams}});
    }
    void card(qlonglong dishKey, qlonglong ingredientKey, double grams)
    {
        data.insert(
            u"Karta"_s,
            {{u"Kod"_s, dishKey}, {u"Name"_s, ingredientKey}, {u"Kolvo"_s, grams}, {u"Vihod"_s, 100}});
    }
    void sell(qlonglong dishKey, double portions)
    {
        const qlonglong group =
            data.scalar(u"SELECT Kod FROM Bludo WHERE Kod1 = ?"_s, {dishKey}).toLongLong();
        data.insert(
            u"Realsum"_s,
            {{u"Kod"_s, doc}, {u"KodGrBludo"_s, group}, {u"KodBludo"_s, dishKey}, {u"Kolvo"_s, portions}});
    }
    double dishPrice(qlonglong dishKey)
    {
        return data.scalar(u"SELECT Cena FROM Bludo WHERE Kod1 = ?"_s, {dishKey}).toDouble();
    }
    CostingCardPrintResult printCards()
    {
        return CostingCardPrint(data.db(), clock)
            .run({CardPrintScope::AllGroups, 0, CardPrices::Selling, {}});
    }
};

// The units of each ingredient one portion takes, straight from the model: a semi-finished product
// gives way to its components.
QHash<qlonglong, double> expansion(const RecipeBook& book, qlonglong dishKey)
{
    QHash<qlonglong, double> units;
    const double portions = book.dish(dishKey)->portions;
    for (const RecipeLine& line : book.card(dishKey)) {
        const RecipeIngredient& ingredient = *book.ingredient(line.ingredient);
        const double perPortion = line.grams / *ingredient.unitGrams / portions;
        if (!ingredient.semiFinished) {
            units[ingredient.key] += perPortion * 100 / ingredient.yield * 100 / line.yield;
            continue;
        }
        for (const RecipeLine& part : book.composition(ingredient.key)) {
            const RecipeIngredient& component = *book.ingredient(part.ingredient);
            units[component.key] += perPortion * part.grams / *component.unitGrams * 100 / component.yield;
        }
    }
    return units;
}

// Column 'value' summed over the rows whose column 'name' holds the ingredient's name, after 'prefix'
// ("  - " marks a component on a working card).
double sumByName(const Sheet& sheet, int nameColumn, int valueColumn, const QString& name,
                 const QString& prefix = {})
{
    double sum = 0;
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        const QString text = sheet.value(row, nameColumn).toString();
        if (text == name || text == prefix + name)
            sum += sheet.value(row, valueColumn).toDouble();
    }
    return sum;
}

// The card print's price of one portion of the named dish.
double cardPortionPrice(const Sheet& sheet, const QString& dish)
{
    int row = 1;
    while (row <= sheet.rowCount() && sheet.value(row, 1).toString() != u"Наименование блюда: "_s + dish)
        ++row;
    while (row <= sheet.rowCount() && sheet.value(row, 1).toString() != u"Продажная цена одного блюда"_s)
        ++row;
    return sheet.value(row, 8).toDouble();
}

} // namespace

class tst_RecipeBook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyReaderAgreesWithTheModel_data();
    void everyReaderAgreesWithTheModel();
    void everyReaderRefusesTheSameFault_data();
    void everyReaderRefusesTheSameFault();
    void selectionReadsOnlyWhatItNames();
};

void tst_RecipeBook::everyReaderAgreesWithTheModel_data()
{
    QTest::addColumn<QString>("dish");
    QTest::addColumn<double>("portionPrice");

    // 500 g of puree (potatoes at 80 % yield, butter with 10 % markup) and 20 g of butter, 2 portions.
    QTest::newRow("semi-finished product beside its own component") << u"Пюре с маслом"_s << 17.45;
    QTest::newRow("ordinary ingredient") << u"Салат"_s << 24.0;
}

void tst_RecipeBook::everyReaderAgreesWithTheModel()
{
    QFETCH(QString, dish);
    QFETCH(double, portionPrice);
    Kitchen k;
    const qlonglong key = dish == u"Салат"_s ? k.salad : k.mash;
    const double sold = 3;
    k.sell(key, sold);

    RecipeBook book;
    QString error;
    QVERIFY2(book.load(k.data.db(), {}, &error), qPrintable(error));
    const QHash<qlonglong, double> units = expansion(book, key);
    double price = 0;
    for (auto it = units.cbegin(); it != units.cend(); ++it) {
        const RecipeIngredient& ingredient = *book.ingredient(it.key());
        price += it.value() * *ingredient.price * (1 + ingredient.percent / 100);
    }
    QCOMPARE(rounding::toKopeck(price), portionPrice);

    // The price run, then the costing card, which shows the product at the price the run stored.
    const DishCostRun run = DishCostCalculator(k.data.db()).run();
    QVERIFY2(run.ok, qPrintable(run.message));
    QCOMPARE(k.dishPrice(key), portionPrice);
    const CostingCardPrintResult cards = k.printCards();
    QVERIFY2(cards.workbook, qPrintable(cards.error));
    QCOMPARE(cardPortionPrice(cards.workbook->sheet(1), dish), portionPrice);

    const ConsumptionRun consumption = ConsumptionCalculator(k.data.db()).run(k.doc);
    QVERIFY2(consumption.ok, qPrintable(consumption.message));
    QCOMPARE(k.dishPrice(key), portionPrice);
    const SalesPrintResult working = SalesDocumentPrint(k.data.db(), QLocale::c()).run(k.doc);
    QVERIFY2(working.workbook, qPrintable(working.error));
    const SalesPrintResult cross = CrossTablePrint(k.data.db(), QLocale::c()).run(k.doc);
    QVERIFY2(cross.workbook, qPrintable(cross.error));

    QCOMPARE(k.data.count(u"RealItog"_s), int(units.size()));
    for (auto it = units.cbegin(); it != units.cend(); ++it) {
        const QString name = book.ingredientName(it.key());
        const double expected = sold * it.value();
        QCOMPARE(k.data.scalar(u"SELECT Kolvo FROM RealItog WHERE KodIng = ?"_s, {it.key()}).toDouble(),
                 expected);
        // The working card's gross column, and the dish's column of the cross table (E is its group's).
        QCOMPARE(sumByName(working.workbook->sheet(3), 2, 6, name, u"  - "_s), expected);
        QCOMPARE(sumByName(cross.workbook->sheet(1), 2, 6, name), expected);
    }
}

void tst_RecipeBook::everyReaderRefusesTheSameFault_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("named");

    // The whole refusal where every reader divides by the same figure; the card print, which does not
    // expand the puree, meets the butter as its own card line.
    const QString mash = u"в блюде \"Пюре с маслом\" (группа \"Гарниры\"): "_s;
    QTest::newRow("unit of no weight")
        << u"UPDATE Edinica SET Gramm = 0"_s
        << QStringList{mash + u"у полуфабриката \"Пюре\" вес единицы измерения (Грамм) равен нулю."_s};
    QTest::newRow("no portions") << u"UPDATE Bludo SET Nporc = 0"_s
                                 << QStringList{mash + u"число порций (Порций) равно нулю."_s};
    // Butter is a component of the puree and a line of the card: each reader meets it.
    QTest::newRow("yield of a component")
        << u"UPDATE Ing SET Vih = 0 WHERE Name = 'Масло'"_s
        << QStringList{mash + u"у ингредиента \"Масло\""_s, u"выход (% Вых) равен нулю."_s};
    QTest::newRow("reference that is not whole")
        << u"UPDATE Karta SET Name = Name + 0.5 WHERE Kolvo = 20"_s
        << QStringList{u"В таблице Karta, строка 2: ссылка Name хранит 2.5, а не целый код записи."_s};
}

void tst_RecipeBook::everyReaderRefusesTheSameFault()
{
    QFETCH(QString, sql);
    QFETCH(QStringList, named);
    Kitchen k;
    k.sell(k.mash, 3);
    // Stored consumption rows first: the cross table lays out only what the document consumed.
    QVERIFY(ConsumptionCalculator(k.data.db()).run(k.doc).ok);
    k.data.scalar(sql);

    const DishCostRun run = DishCostCalculator(k.data.db()).run();
    QVERIFY(!run.ok);
    const CostingCardPrintResult cards = k.printCards();
    QVERIFY(!cards.workbook);
    const ConsumptionRun consumption = ConsumptionCalculator(k.data.db()).run(k.doc);
    QVERIFY(!consumption.ok);
    const SalesPrintResult working = SalesDocumentPrint(k.data.db(), QLocale::c()).run(k.doc);
    QVERIFY(!working.workbook);
    const SalesPrintResult cross = CrossTablePrint(k.data.db(), QLocale::c()).run(k.doc);
    QVERIFY(!cross.workbook);
    for (const QString& message :
         {run.message, cards.error, consumption.message, working.error, cross.error}) {
        for (const QString& part : named)
            QVERIFY2(message.contains(part), qPrintable(message));
    }
    QCOMPARE(k.dishPrice(k.mash), 17.45);
    QCOMPARE(k.data.count(u"RealItog"_s), 2);
}

void tst_RecipeBook::selectionReadsOnlyWhatItNames()
{
    Kitchen k;
    k.sell(k.salad, 0);
    k.sell(k.mash, 1);
    // A broken line of a card no reader of this selection needs.
    k.data.scalar(u"UPDATE Karta SET Name = Name + 0.5 WHERE Kolvo = 150"_s);
    QString error;

    RecipeBook sold;
    QVERIFY2(sold.load(k.data.db(), {RecipeSelection::Dishes::SoldInDocument, k.doc}, &error),
             qPrintable(error));
    QVERIFY(sold.dish(k.mash));
    QVERIFY(!sold.dish(k.salad));
    QVERIFY(!sold.ingredient(k.cucumber));
    QCOMPARE(sold.composition(k.puree).size(), std::size_t(2));
    QCOMPARE(sold.refusal(*sold.dish(k.mash), u"…"_s),
             u"в блюде \"Пюре с маслом\" (группа \"Гарниры\"): …"_s);

    RecipeBook group;
    QVERIFY2(group.load(k.data.db(), {RecipeSelection::Dishes::Group, k.garnishes, false}, &error),
             qPrintable(error));
    QCOMPARE(group.groups().size(), std::size_t(1));
    QCOMPARE(group.dishesOf(k.garnishes).size(), std::size_t(1));
    QVERIFY(group.composition(k.puree).empty());

    RecipeBook all;
    QVERIFY(!all.load(k.data.db(), {RecipeSelection::Dishes::SalesDocument, k.doc}, &error));
    QVERIFY2(error.contains(u"ссылка Name хранит 3.5"_s), qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_RecipeBook)
#include "tst_RecipeBook.moc"
