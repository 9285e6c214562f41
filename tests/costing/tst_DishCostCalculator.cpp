#include "FaultInjection.h"
#include "TestDataDir.h"

#include "costing/DishCostCalculator.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A kitchen built line by line: units, ingredients, semi-finished products, groups and dishes.
struct Kitchen
{
    TestDataDir data;

    qlonglong unit(double grams, const QString& name = "ед")
    {
        return data.insert("Edinica", {{"Name", name}, {"Gramm", grams}});
    }

    qlonglong ingredient(const QString& name, qlonglong unitKey, double price, QVariant markup,
                         QVariant yield, bool semiFinished = false)
    {
        return data.insert("Ing", {{"Name", name},
                                   {"Edinica", unitKey},
                                   {"Cena", price},
                                   {"Proc", markup},
                                   {"Vih", yield},
                                   {"Pf", semiFinished ? 1 : 0}});
    }

    void component(qlonglong product, qlonglong ingredientKey, double grams)
    {
        data.insert("pf", {{"Kod", product}, {"Name", ingredientKey}, {"Kolvo", grams}});
    }

    qlonglong group(const QString& name) { return data.insert("Grbludo", {{"Name", name}}); }

    qlonglong dish(qlonglong groupKey, const QString& name, QVariant portions, QVariant markup,
                   QVariant price = {})
    {
        return data.insert(
            "Bludo",
            {{"Kod", groupKey}, {"Name", name}, {"Nporc", portions}, {"Proc", markup}, {"Cena", price}});
    }

    void line(qlonglong dishKey, qlonglong ingredientKey, double grams, QVariant yield = 100)
    {
        data.insert("Karta", {{"Kod", dishKey}, {"Name", ingredientKey}, {"Kolvo", grams}, {"Vihod", yield}});
    }

    QVariant dishPrice(qlonglong key) { return data.scalar("SELECT Cena FROM Bludo WHERE Kod1 = ?", {key}); }
    QVariant ingredientPrice(qlonglong key)
    {
        return data.scalar("SELECT Cena FROM Ing WHERE Kod1 = ?", {key});
    }

    DishCostRun run() { return DishCostCalculator(data.db()).run(); }
};

} // namespace

class tst_DishCostCalculator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ordinaryLine_data();
    void ordinaryLine();
    void semiFinishedProduct();
    void dishesWithoutCardOrGroup();
    void stopsAtFirstFaultInGroupOrder();
    void failedWriteStoresNothing();
    void faultNamesDishAndCause_data();
    void faultNamesDishAndCause();
};

void tst_DishCostCalculator::ordinaryLine_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<double>("unitGrams");
    QTest::addColumn<QVariant>("markup");
    QTest::addColumn<QVariant>("yield");
    QTest::addColumn<double>("grams");
    QTest::addColumn<double>("lineYield");
    QTest::addColumn<double>("portions");
    QTest::addColumn<QVariant>("dishMarkup");
    QTest::addColumn<double>("expected");

    // 40 / 1000 x 1.1 x 500 / 5 x 100 / 80 x 100 / 100 = 5.5, times 1.2.
    QTest::newRow("kilogram, markups and yields")
        << 40.0 << 1000.0 << QVariant(10) << QVariant(80) << 500.0 << 100.0 << 5.0 << QVariant(20) << 6.60;
    QTest::newRow("line yield") << 10.0 << 1.0 << QVariant() << QVariant(100) << 1.0 << 80.0 << 1.0
                                << QVariant() << 12.50;
    QTest::newRow("dish markup 12.5 is 12")
        << 100.0 << 1.0 << QVariant() << QVariant(100) << 1.0 << 100.0 << 1.0 << QVariant(12.5) << 112.00;
    QTest::newRow("dish markup 13.5 is 14")
        << 100.0 << 1.0 << QVariant() << QVariant(100) << 1.0 << 100.0 << 1.0 << QVariant(13.5) << 114.00;
    QTest::newRow("dish markup -12.5 is -12")
        << 100.0 << 1.0 << QVariant() << QVariant(100) << 1.0 << 100.0 << 1.0 << QVariant(-12.5) << 88.00;
    QTest::newRow("ingredient markup 12.5 is 12")
        << 100.0 << 1.0 << QVariant(12.5) << QVariant(100) << 1.0 << 100.0 << 1.0 << QVariant() << 112.00;
    QTest::newRow("ingredient markup 13.5 is 14")
        << 100.0 << 1.0 << QVariant(13.5) << QVariant(100) << 1.0 << 100.0 << 1.0 << QVariant() << 114.00;
    // Exactly 0.125 and 0.375 in binary: the kopeck halves go to the even neighbour.
    QTest::newRow("0.125 is 0.12") << 1.0 << 1.0 << QVariant() << QVariant(100) << 0.125 << 100.0 << 1.0
                                   << QVariant() << 0.12;
    QTest::newRow("0.375 is 0.38") << 1.0 << 1.0 << QVariant() << QVariant(100) << 0.375 << 100.0 << 1.0
                                   << QVariant() << 0.38;
}

void tst_DishCostCalculator::ordinaryLine()
{
    QFETCH(double, price);
    QFETCH(double, unitGrams);
    QFETCH(QVariant, markup);
    QFETCH(QVariant, yield);
    QFETCH(double, grams);
    QFETCH(double, lineYield);
    QFETCH(double, portions);
    QFETCH(QVariant, dishMarkup);
    QFETCH(double, expected);

    Kitchen k;
    const qlonglong beet = k.ingredient("Свёкла", k.unit(unitGrams), price, markup, yield);
    const qlonglong dish = k.dish(k.group("Первые блюда"), "Борщ", portions, dishMarkup);
    k.line(dish, beet, grams, lineYield);

    const DishCostRun run = k.run();
    QVERIFY2(run.ok, qPrintable(run.message));
    QCOMPARE(run.dishesPriced, 1);
    // Stored exactly as the kopeck rounding gives it.
    QCOMPARE(k.dishPrice(dish).toDouble(), expected);
}

void tst_DishCostCalculator::semiFinishedProduct()
{
    Kitchen k;
    const qlonglong kilogram = k.unit(1000);
    const qlonglong flour = k.ingredient("Мука", kilogram, 50, 0, 100);
    // The product's own markup and yield, and the line's yield, play no part.
    const qlonglong dough = k.ingredient("Тесто", kilogram, 0, 50, 50, true);
    k.component(dough, flour, 600);
    const qlonglong unused = k.ingredient("Крем", kilogram, 5, 0, 100, true);
    k.component(unused, flour, 100);
    const qlonglong dish = k.dish(k.group("Выпечка"), "Пирог", 1, QVariant());
    k.line(dish, dough, 250, 50);

    DishCostRun run = k.run();
    QVERIFY2(run.ok, qPrintable(run.message));
    QCOMPARE(k.ingredientPrice(dough).toDouble(), 30.0);
    QCOMPARE(k.dishPrice(dish).toDouble(), 7.50);
    QCOMPARE(k.ingredientPrice(unused).toDouble(), 5.0);
    QCOMPARE(run.semiFinishedPriced, 1);
    QCOMPARE(run.dishPricesChanged, 1);

    // Nothing changed since: nothing to write.
    run = k.run();
    QVERIFY(run.ok);
    QCOMPARE(run.dishesPriced, 1);
    QCOMPARE(run.dishPricesChanged, 0);
}

void tst_DishCostCalculator::dishesWithoutCardOrGroup()
{
    Kitchen k;
    const qlonglong group = k.group("Напитки");
    const qlonglong empty = k.dish(group, "Вода", 1, 50, 9.99);
    const qlonglong noPortions = k.dish(group, "Лёд", QVariant(), QVariant(), QVariant());
    const qlonglong orphan = k.dish(group + 100, "Квас", 1, 0, 5.55);
    const qlonglong ingredient = k.ingredient("Хлеб", k.unit(1), 1, 0, 100);
    k.line(orphan, ingredient, 1000);

    const DishCostRun run = k.run();
    QVERIFY2(run.ok, qPrintable(run.message));
    QCOMPARE(k.dishPrice(empty).toDouble(), 0.0);
    QCOMPARE(k.dishPrice(noPortions), QVariant(0.0));
    QCOMPARE(k.dishPrice(orphan).toDouble(), 5.55);
    QCOMPARE(run.dishesPriced, 2);
    QCOMPARE(run.dishesSkipped, 1);
}

void tst_DishCostCalculator::stopsAtFirstFaultInGroupOrder()
{
    Kitchen k;
    const qlonglong gram = k.unit(1);
    const qlonglong duck = k.ingredient("Утка", gram, 1, 0, 100);
    const qlonglong beet = k.ingredient("Свёкла", gram, 1, 0, 0);
    const qlonglong broth = k.ingredient("Бульон", gram, 1.23, 0, 100, true);
    k.component(broth, duck, 1);

    // Code order puts "Ё" before "д"; the Russian order is д, Ё, ж.
    const qlonglong failing = k.dish(k.group("Ёршики"), "Ёрш", 1, 0, 9.99);
    k.line(failing, broth, 10);
    k.line(failing, beet, 10);
    const qlonglong before = k.dish(k.group("дичь"), "Утка по-пекински", 1, 0, 1.11);
    k.line(before, duck, 200);
    const qlonglong after = k.dish(k.group("жаркое"), "Жаркое", 1, 0, 7.77);
    k.line(after, duck, 300);

    const DishCostRun run = k.run();
    QVERIFY(!run.ok);
    QCOMPARE(run.message, u"Расчёт цен остановлен: в блюде \"Ёрш\" (группа \"Ёршики\"): у ингредиента "
                          "\"Свёкла\" выход (% Вых) равен нулю."_s);
    QCOMPARE(run.failedDish, failing);
    QCOMPARE(run.dishesPriced, 1);
    QCOMPARE(k.dishPrice(before).toDouble(), 200.0);
    QCOMPARE(k.dishPrice(failing).toDouble(), 9.99);
    QCOMPARE(k.ingredientPrice(broth).toDouble(), 1.23);
    QCOMPARE(k.dishPrice(after).toDouble(), 7.77);
}

void tst_DishCostCalculator::failedWriteStoresNothing()
{
    Kitchen k;
    const qlonglong kilogram = k.unit(1000);
    const qlonglong flour = k.ingredient("Мука", kilogram, 50, 0, 100);
    const qlonglong dough = k.ingredient("Тесто", kilogram, 0, 0, 100, true);
    k.component(dough, flour, 600);
    const qlonglong dish = k.dish(k.group("Выпечка"), "Пирог", 1, 0, 1.11);
    k.line(dish, dough, 250);
    refuseWrites(k.data.db(), u"Ing"_s, u"UPDATE"_s, u"нет доступа"_s);

    const DishCostRun run = k.run();
    QVERIFY(!run.ok);
    QVERIFY2(run.message.startsWith("Цены блюд не сохранены: ") && run.message.contains("нет доступа"),
             qPrintable(run.message));
    QCOMPARE(k.dishPrice(dish).toDouble(), 1.11);
}

void tst_DishCostCalculator::faultNamesDishAndCause_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("cause");

    QTest::newRow("unit of no grams") << "UPDATE Edinica SET Gramm = 0 WHERE Name = 'свёкла'"
                                      << "у ингредиента \"Свёкла\" вес единицы измерения (Грамм) равен нулю.";
    QTest::newRow("unit gone") << "DELETE FROM Edinica WHERE Name = 'свёкла'"
                               << "у ингредиента \"Свёкла\" не найдена единица измерения.";
    QTest::newRow("no portions") << "UPDATE Bludo SET Nporc = NULL"
                                 << "число порций (Порций) равно нулю.";
    QTest::newRow("ingredient yield") << "UPDATE Ing SET Vih = 0 WHERE Name = 'Свёкла'"
                                      << "у ингредиента \"Свёкла\" выход (% Вых) равен нулю.";
    QTest::newRow("line yield empty")
        << "UPDATE Karta SET Vihod = NULL WHERE Name IN (SELECT Kod1 FROM Ing WHERE "
           "Name = 'Свёкла')"
        << "в строке ингредиента \"Свёкла\" выход строки (% Вых) равен нулю.";
    QTest::newRow("ingredient gone") << "DELETE FROM Ing WHERE Name = 'Свёкла'"
                                     << "в карте указан ингредиент, которого больше нет (код {beet}).";
    QTest::newRow("component yield")
        << "UPDATE Ing SET Vih = NULL WHERE Name = 'Кости'"
        << "у ингредиента \"Кости\" в составе полуфабриката \"Бульон\" выход (% Вых) "
           "равен нулю.";
    QTest::newRow("component gone")
        << "DELETE FROM Ing WHERE Name = 'Кости'"
        << "в составе полуфабриката \"Бульон\" указан ингредиент, которого больше нет.";
    QTest::newRow("product unit of no grams")
        << "UPDATE Edinica SET Gramm = NULL WHERE Name = 'бульон'"
        << "у полуфабриката \"Бульон\" вес единицы измерения (Грамм) равен "
           "нулю.";
    QTest::newRow("overflow") << "UPDATE Ing SET Cena = 1e308 WHERE Name = 'Свёкла'"
                              << "строка ингредиента \"Свёкла\" даёт недопустимое число (переполнение).";
    QTest::newRow("markup beyond reason")
        << "UPDATE Ing SET Proc = 1e12 WHERE Name = 'Свёкла'"
        << "у ингредиента \"Свёкла\" процент наценки (% Надб.) вне допустимых "
           "пределов.";
}

void tst_DishCostCalculator::faultNamesDishAndCause()
{
    QFETCH(QString, sql);
    QFETCH(QString, cause);

    Kitchen k;
    const qlonglong bones = k.ingredient("Кости", k.unit(1000, "кости"), 80, QVariant(), 100);
    const qlonglong beet = k.ingredient("Свёкла", k.unit(1000, "свёкла"), 30, QVariant(), 80);
    const qlonglong broth = k.ingredient("Бульон", k.unit(1000, "бульон"), 1.5, QVariant(), QVariant(), true);
    k.component(broth, bones, 300);
    const qlonglong borscht = k.dish(k.group("Супы"), "Борщ", 10, QVariant(), 4.44);
    // The product comes first: what the dish computed before its fault must not be stored either.
    k.line(borscht, broth, 2000);
    k.line(borscht, beet, 800);
    QVERIFY(execSql(k.data.db(), sql));

    const DishCostRun run = k.run();
    QVERIFY(!run.ok);
    QCOMPARE(run.message, u"Расчёт цен остановлен: в блюде \"Борщ\" (группа \"Супы\"): "_s +
                              cause.replace("{beet}", QString::number(beet)));
    QCOMPARE(k.dishPrice(borscht).toDouble(), 4.44);
    QCOMPARE(k.ingredientPrice(broth).toDouble(), 1.5);
}

QTEST_GUILESS_MAIN(tst_DishCostCalculator)
#include "tst_DishCostCalculator.moc"
