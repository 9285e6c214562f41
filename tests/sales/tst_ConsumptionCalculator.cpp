#include "TestDataDir.h"

#include "sales/ConsumptionCalculator.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A kitchen with one sales document, built line by line.
struct Kitchen
{
    TestDataDir data;
    qlonglong group = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Горячее"_s}});
    qlonglong document = data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-01"_s}});

    qlonglong unit(double grams)
    {
        return data.insert(u"Edinica"_s, {{u"Name"_s, u"ед"_s}, {u"Gramm"_s, grams}});
    }

    qlonglong ingredient(const QString& name, qlonglong unitKey, double price, QVariant markup,
                         QVariant yield, bool semiFinished = false)
    {
        return data.insert(u"Ing"_s, {{u"Kod"_s, 7},
                                      {u"Name"_s, name},
                                      {u"Edinica"_s, unitKey},
                                      {u"Cena"_s, price},
                                      {u"Proc"_s, markup},
                                      {u"Vih"_s, yield},
                                      {u"Okr"_s, 2.5},
                                      {u"Position"_s, 3.5},
                                      {u"Pf"_s, semiFinished ? 1 : 0}});
    }

    void component(qlonglong product, qlonglong ingredientKey, double grams)
    {
        data.insert(u"pf"_s, {{u"Kod"_s, product}, {u"Name"_s, ingredientKey}, {u"Kolvo"_s, grams}});
    }

    qlonglong dish(const QString& name, QVariant portions, QVariant markup = {})
    {
        return data.insert(
            u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, name}, {u"Nporc"_s, portions}, {u"Proc"_s, markup}});
    }

    void card(qlonglong dishKey, qlonglong ingredientKey, double grams, QVariant yield = 100)
    {
        data.insert(
            u"Karta"_s,
            {{u"Kod"_s, dishKey}, {u"Name"_s, ingredientKey}, {u"Kolvo"_s, grams}, {u"Vihod"_s, yield}});
    }

    void sold(qlonglong dishKey, double portions)
    {
        data.insert(u"Realsum"_s, {{u"Kod"_s, document},
                                   {u"KodGrBludo"_s, group},
                                   {u"KodBludo"_s, dishKey},
                                   {u"Kolvo"_s, portions},
                                   {u"Cumma"_s, 10}});
    }

    ConsumptionRun run(SalesLines lines = SalesLines::All)
    {
        return ConsumptionCalculator(data.db()).run(document, lines);
    }

    QVariant consumed(qlonglong ingredientKey, const QString& field = u"Kolvo"_s)
    {
        return data.scalar(u"SELECT %1 FROM RealItog WHERE Kod = ? AND KodIng = ?"_s.arg(field),
                           {document, ingredientKey});
    }
    int rows() { return data.scalar(u"SELECT count(*) FROM RealItog WHERE Kod = ?"_s, {document}).toInt(); }
    QVariant dishPrice(qlonglong key)
    {
        return data.scalar(u"SELECT Cena FROM Bludo WHERE Kod1 = ?"_s, {key});
    }
};

} // namespace

class tst_ConsumptionCalculator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quantity_data();
    void quantity();
    void pricesAndCopiedAttributes();
    void oneRowPerIngredient();
    void priceChangeOnOpenAndPostedDocument();
    void zeroPortionLines();
    void dishGoneIsSkipped();
    void emptyCardAndNoLines();
    void zeroDivisorStoresNothing_data();
    void zeroDivisorStoresNothing();
};

void tst_ConsumptionCalculator::quantity_data()
{
    QTest::addColumn<bool>("semiFinished");
    QTest::addColumn<double>("unitGrams");
    QTest::addColumn<double>("grams");
    QTest::addColumn<double>("portions");
    QTest::addColumn<double>("yield"); // the ingredient's, or the component's for a semi-finished product
    QTest::addColumn<double>("lineYield");
    QTest::addColumn<double>("sold");
    QTest::addColumn<double>("expected");

    // 250 / 1000 / 5 = 0.05; x 100 / 80 = 0.0625; x 4 sold.
    QTest::newRow("0.25 kg") << false << 1000.0 << 250.0 << 5.0 << 80.0 << 100.0 << 4.0 << 0.25;
    QTest::newRow("ingredient yield 79.5 kept")
        << false << 1.0 << 159.0 << 1.0 << 79.5 << 100.0 << 1.0 << 200.0;
    QTest::newRow("line yield 79.5 kept") << false << 1.0 << 159.0 << 1.0 << 100.0 << 79.5 << 1.0 << 200.0;
    QTest::newRow("2.5 portions count as 2") << false << 1.0 << 100.0 << 2.5 << 100.0 << 100.0 << 1.0 << 50.0;
    QTest::newRow("3.5 portions count as 4") << false << 1.0 << 100.0 << 3.5 << 100.0 << 100.0 << 1.0 << 25.0;
    // 500 g of a product in kilograms, 400 g of the component in one kilogram of it, 2 sold:
    // 2 x 400 / 1000 x 0.5 x 100 / V. The product's own yield and the line's (both 50) play no part.
    QTest::newRow("component yield 79.5 counts as 80")
        << true << 1000.0 << 500.0 << 1.0 << 79.5 << 50.0 << 2.0 << 0.5;
    QTest::newRow("component yield 78.5 counts as 78")
        << true << 1000.0 << 500.0 << 1.0 << 78.5 << 50.0 << 2.0 << 0.4 * 100 / 78;
    QTest::newRow("component, 2.5 portions count as 2")
        << true << 1000.0 << 500.0 << 2.5 << 100.0 << 50.0 << 2.0 << 0.2;
}

void tst_ConsumptionCalculator::quantity()
{
    QFETCH(bool, semiFinished);
    QFETCH(double, unitGrams);
    QFETCH(double, grams);
    QFETCH(double, portions);
    QFETCH(double, yield);
    QFETCH(double, lineYield);
    QFETCH(double, sold);
    QFETCH(double, expected);

    Kitchen k;
    const qlonglong dish = k.dish(u"Рагу"_s, portions);
    qlonglong consumed = 0;
    if (semiFinished) {
        const qlonglong kilogram = k.unit(1000);
        consumed = k.ingredient(u"Морковь"_s, kilogram, 10, 0, yield);
        const qlonglong product = k.ingredient(u"Пюре"_s, k.unit(unitGrams), 0, 0, 50, true);
        k.component(product, consumed, 400);
        k.card(dish, product, grams, lineYield);
    } else {
        consumed = k.ingredient(u"Морковь"_s, k.unit(unitGrams), 10, 0, yield);
        k.card(dish, consumed, grams, lineYield);
    }
    k.sold(dish, sold);

    const ConsumptionRun run = k.run();
    QVERIFY2(run.ok, qPrintable(run.message));
    QCOMPARE(k.rows(), 1); // no row for the semi-finished product itself
    QCOMPARE(k.consumed(consumed).toDouble(), expected);
}

void tst_ConsumptionCalculator::pricesAndCopiedAttributes()
{
    Kitchen k;
    const qlonglong unitKey = k.unit(1);
    // Markups of 12.5 count as 12: 100 x 1.12 = 112 a unit, one unit a portion, x 1.12 for the dish.
    const qlonglong salt = k.ingredient(u"Соль"_s, unitKey, 100, 12.5, 100);
    const qlonglong dish = k.dish(u"Суп"_s, 1, 12.5);
    k.card(dish, salt, 1);
    // 0.125 a portion in binary exactly: the kopeck half goes to the even neighbour.
    const qlonglong pepper = k.ingredient(u"Перец"_s, unitKey, 0.125, 0, 100);
    const qlonglong cheap = k.dish(u"Бульон"_s, 1);
    k.card(cheap, pepper, 1);
    k.sold(dish, 1);
    k.sold(cheap, 1);

    QVERIFY(k.run().ok);
    QCOMPARE(k.consumed(salt, u"CenaIng"_s).toDouble(), 100.0);
    QCOMPARE(k.consumed(salt, u"Cenaing1"_s).toDouble(), 112.0);
    QCOMPARE(k.dishPrice(dish).toDouble(), 125.44);
    QCOMPARE(k.dishPrice(cheap).toDouble(), 0.12);
    // The references and the copies as whole numbers, halves to even.
    QCOMPARE(k.consumed(salt, u"KodGrIng"_s).toDouble(), 7.0);
    QCOMPARE(k.consumed(salt, u"Edinica"_s).toDouble(), double(unitKey));
    QCOMPARE(k.consumed(salt, u"Okr"_s).toDouble(), 2.0);
    QCOMPARE(k.consumed(salt, u"Position"_s).toDouble(), 4.0);
}

void tst_ConsumptionCalculator::oneRowPerIngredient()
{
    Kitchen k;
    const qlonglong gram = k.unit(1);
    const qlonglong onion = k.ingredient(u"Лук"_s, gram, 1, 0, 100);
    const qlonglong sauce = k.ingredient(u"Соус"_s, gram, 0, 0, 100, true);
    k.component(sauce, onion, 0.5); // half a gram of onion in a gram of sauce
    const qlonglong soup = k.dish(u"Суп"_s, 1);
    k.card(soup, onion, 10);
    k.card(soup, onion, 5); // twice on one card
    const qlonglong stew = k.dish(u"Рагу"_s, 1);
    k.card(stew, sauce, 40);
    k.sold(soup, 2);
    k.sold(stew, 3);

    QVERIFY(k.run().ok);
    QCOMPARE(k.rows(), 1);
    // 2 x (10 + 5) directly, 3 x 40 x 0.5 through the sauce.
    QCOMPARE(k.consumed(onion).toDouble(), 90.0);
    QCOMPARE(k.dishPrice(stew).toDouble(), 20.0);
}

void tst_ConsumptionCalculator::priceChangeOnOpenAndPostedDocument()
{
    Kitchen k;
    const qlonglong butter = k.ingredient(u"Масло"_s, k.unit(1), 2, 0, 100);
    const qlonglong dish = k.dish(u"Каша"_s, 1);
    k.card(dish, butter, 10);
    k.sold(dish, 1);
    QVERIFY(k.run().ok);
    QCOMPARE(k.dishPrice(dish).toDouble(), 20.0);
    // The same figures again: the stored rows stay as they are.
    const QVariant rowKey = k.consumed(butter, u"NNN"_s);
    QVERIFY(!k.run().rowsRewritten);
    QCOMPARE(k.consumed(butter, u"NNN"_s), rowKey);

    k.data.scalar(u"UPDATE Ing SET Cena = 3 WHERE Kod1 = ?"_s, {butter});
    QVERIFY(k.run().rowsRewritten);
    QCOMPARE(k.rows(), 1);
    QCOMPARE(k.consumed(butter, u"CenaIng"_s).toDouble(), 3.0);
    QCOMPARE(k.dishPrice(dish).toDouble(), 30.0);

    // Posted (4), or any value below 5, including an empty one: refused, nothing touched.
    for (const QVariant& status : {QVariant(4), QVariant(3), QVariant()}) {
        k.data.scalar(u"UPDATE Realdoc SET Status = ? WHERE Kod = ?"_s, {status, k.document});
        k.data.scalar(u"UPDATE Ing SET Cena = 5 WHERE Kod1 = ?"_s, {butter});
        const ConsumptionRun run = k.run();
        QVERIFY(!run.ok);
        QCOMPARE(run.caption, u"Ошибка расчёта реализации"_s);
        QCOMPARE(run.message, u"Документ проведён. Расчёт не производится !!!"_s);
        QCOMPARE(k.consumed(butter, u"CenaIng"_s).toDouble(), 3.0);
        QCOMPARE(k.dishPrice(dish).toDouble(), 30.0);
    }
}

void tst_ConsumptionCalculator::zeroPortionLines()
{
    Kitchen k;
    const qlonglong rice = k.ingredient(u"Рис"_s, k.unit(1), 1, 0, 100);
    const qlonglong dish = k.dish(u"Плов"_s, 1);
    k.card(dish, rice, 7);
    k.sold(dish, 0);

    QVERIFY(k.run(SalesLines::Sold).ok);
    QCOMPARE(k.rows(), 0);
    QVERIFY(k.dishPrice(dish).isNull());

    // Included by the caller: a zero row, and the dish priced all the same.
    const ConsumptionRun run = k.run(SalesLines::All);
    QVERIFY(run.ok);
    QCOMPARE(k.rows(), 1);
    QCOMPARE(k.consumed(rice).toDouble(), 0.0);
    QCOMPARE(k.dishPrice(dish).toDouble(), 7.0);
}

void tst_ConsumptionCalculator::dishGoneIsSkipped()
{
    Kitchen k;
    const qlonglong rice = k.ingredient(u"Рис"_s, k.unit(1), 1, 0, 100);
    const qlonglong dish = k.dish(u"Плов"_s, 1);
    k.card(dish, rice, 7);
    k.sold(dish, 2);
    k.sold(dish + 100, 5);

    const ConsumptionRun run = k.run();
    QVERIFY2(run.ok, qPrintable(run.message));
    QCOMPARE(run.linesExpanded, 1);
    QCOMPARE(run.linesSkipped, 1);
    QVERIFY(run.notice().contains(u"пропущено: 1"_s));
    QCOMPARE(k.consumed(rice).toDouble(), 14.0);
    QCOMPARE(k.data.scalar(u"SELECT count(*) FROM Bludo"_s).toInt(), 1);
}

void tst_ConsumptionCalculator::emptyCardAndNoLines()
{
    Kitchen k;
    const qlonglong rice = k.ingredient(u"Рис"_s, k.unit(1), 1, 0, 100);
    const qlonglong empty = k.dish(u"Вода"_s, 0, 50); // no card: zero portions divide nothing
    k.data.scalar(u"UPDATE Bludo SET Cena = 9 WHERE Kod1 = ?"_s, {empty});
    const qlonglong dish = k.dish(u"Плов"_s, 1);
    k.card(dish, rice, 7);
    k.sold(empty, 1);
    k.sold(dish, 1);
    QVERIFY(k.run().ok);
    QCOMPARE(k.dishPrice(empty).toDouble(), 0.0);
    QCOMPARE(k.rows(), 1);

    k.data.scalar(u"DELETE FROM Realsum"_s);
    QVERIFY(k.run().ok);
    QCOMPARE(k.rows(), 0);
}

void tst_ConsumptionCalculator::zeroDivisorStoresNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0.4 portions") << u"UPDATE Bludo SET Nporc = 0.4 WHERE Name = 'Рагу'"_s
                                  << u"число порций (Порций) равно нулю (0.4 после округления до целого)."_s;
    QTest::newRow("empty portions") << u"UPDATE Bludo SET Nporc = NULL WHERE Name = 'Рагу'"_s
                                    << u"число порций (Порций) равно нулю."_s;
    QTest::newRow("unit of 0 grams")
        << u"UPDATE Edinica SET Gramm = 0 WHERE Kod = 2"_s
        << u"у полуфабриката \"Пюре\" вес единицы измерения (Грамм) равен нулю."_s;
    QTest::newRow("unit gone") << u"DELETE FROM Edinica WHERE Kod = 2"_s
                               << u"у полуфабриката \"Пюре\" не найдена единица измерения."_s;
    QTest::newRow("ingredient yield 0") << u"UPDATE Ing SET Vih = 0 WHERE Name = 'Чеснок'"_s
                                        << u"у ингредиента \"Чеснок\" выход (% Вых) равен нулю."_s;
    QTest::newRow("line yield 0") << u"UPDATE Karta SET Vihod = 0 WHERE Name = 2"_s
                                  << u"в строке ингредиента \"Чеснок\" выход строки (% Вых) равен нулю."_s;
    QTest::newRow("component yield 0.4")
        << u"UPDATE Ing SET Vih = 0.4 WHERE Name = 'Морковь'"_s
        << u"у ингредиента \"Морковь\" в составе полуфабриката \"Пюре\" выход (% Вых) равен нулю (0.4 после "
           "округления до целого)."_s;
    QTest::newRow("ingredient gone") << u"DELETE FROM Ing WHERE Name = 'Чеснок'"_s
                                     << u"в карте указан ингредиент, которого больше нет (код 2)."_s;
    QTest::newRow("component gone")
        << u"DELETE FROM Ing WHERE Name = 'Морковь'"_s
        << u"в составе полуфабриката \"Пюре\" указан ингредиент, которого больше нет."_s;
}

void tst_ConsumptionCalculator::zeroDivisorStoresNothing()
{
    QFETCH(QString, fault);
    QFETCH(QString, expected);

    Kitchen k;
    // The soup is fine and comes first; the faults are in what only the stew uses.
    const qlonglong gram = k.unit(1);
    const qlonglong onion = k.ingredient(u"Лук"_s, gram, 1, 0, 100);
    const qlonglong garlic = k.ingredient(u"Чеснок"_s, gram, 1, 0, 100); // key 2
    const qlonglong carrot = k.ingredient(u"Морковь"_s, gram, 1, 0, 100);
    const qlonglong puree = k.ingredient(u"Пюре"_s, k.unit(1), 0, 0, 100, true); // unit 2
    k.component(puree, carrot, 1);
    const qlonglong soup = k.dish(u"Суп"_s, 1);
    k.card(soup, onion, 10);
    const qlonglong stew = k.dish(u"Рагу"_s, 1);
    k.card(stew, garlic, 5);
    k.card(stew, puree, 5);
    k.sold(soup, 1);
    k.sold(stew, 1);
    QVERIFY(k.run().ok);
    const int rowsBefore = k.rows();

    // Prices that a stored run would change, then the fault.
    k.data.scalar(u"UPDATE Ing SET Cena = 2"_s);
    k.data.scalar(fault);
    const ConsumptionRun run = k.run();
    QVERIFY(!run.ok);
    QCOMPARE(run.caption, u"Ошибка расчёта реализации"_s);
    QCOMPARE(run.message, u"Расчёт реализации остановлен: в блюде \"Рагу\" (группа \"Горячее\"): "_s +
                              expected + u" Расход и цены блюд не изменены."_s);
    QCOMPARE(run.failedDish, stew);
    QCOMPARE(k.rows(), rowsBefore);
    QCOMPARE(k.consumed(onion, u"CenaIng"_s).toDouble(), 1.0);
    QCOMPARE(k.dishPrice(soup).toDouble(), 10.0);
}

QTEST_GUILESS_MAIN(tst_ConsumptionCalculator)
#include "tst_ConsumptionCalculator.moc"
