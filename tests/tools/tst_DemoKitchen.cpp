#include "FaultInjection.h"
#include "TestDataDir.h"

#include "costing/DishCostCalculator.h"
#include "tools/DemoKitchen.h"

#include <QSqlQuery>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class tst_DemoKitchen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void coversEveryPage_data();
    void coversEveryPage();
    void referencesHold_data();
    void referencesHold();
    void pricedByThePriceRun();
    void refusesKitchenWithData_data();
    void refusesKitchenWithData();
    void failureLeavesNothing();

private:
    qlonglong count(const QString& sql) { return m_data->scalar(sql).toLongLong(); }

    std::unique_ptr<TestDataDir> m_data;
};

void tst_DemoKitchen::initTestCase()
{
    m_data = std::make_unique<TestDataDir>();
    QSqlDatabase db = m_data->db();
    QString error;
    QVERIFY2(demo::fill(db, &error), qPrintable(error));
}

void tst_DemoKitchen::coversEveryPage_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("minimum");
    QTest::newRow("units") << "SELECT COUNT(*) FROM Edinica" << 4;
    QTest::newRow("ingredient groups") << "SELECT COUNT(*) FROM Gring" << 4;
    QTest::newRow("ingredients") << "SELECT COUNT(*) FROM Ing WHERE Pf = 0" << 30;
    QTest::newRow("ingredients in stock") << "SELECT COUNT(*) FROM Ing WHERE Kolvo > 0" << 10;
    QTest::newRow("yields below 100") << "SELECT COUNT(*) FROM Ing WHERE Vih < 100" << 5;
    QTest::newRow("semi-finished") << "SELECT COUNT(*) FROM Ing WHERE Pf = 1" << 2;
    QTest::newRow("dish groups") << "SELECT COUNT(*) FROM Grbludo" << 4;
    QTest::newRow("dishes") << "SELECT COUNT(*) FROM Bludo" << 15;
    QTest::newRow("dishes in development") << "SELECT COUNT(*) FROM Bludo WHERE Status = 0" << 1;
    QTest::newRow("dishes with a recipe") << "SELECT COUNT(*) FROM Bludo WHERE Recept LIKE '%\n%'" << 15;
    QTest::newRow("dishes using semi-finished")
        << "SELECT COUNT(DISTINCT k.Kod) FROM Karta k JOIN Ing i ON i.Kod1 = k.Name WHERE i.Pf = 1" << 2;
    QTest::newRow("menus") << "SELECT COUNT(*) FROM Menu" << 2;
    QTest::newRow("released menus") << "SELECT COUNT(*) FROM Menu WHERE Status = 1" << 1;
    QTest::newRow("menu entries") << "SELECT COUNT(*) FROM MenuSp" << 8;
    QTest::newRow("partners") << "SELECT COUNT(*) FROM Partner" << 2;
    QTest::newRow("menu for each working day") << "SELECT COUNT(DISTINCT Date) FROM Menu" << 5;
    QTest::newRow("receipts from two partners") << "SELECT COUNT(DISTINCT d.Partner) FROM Doc d JOIN Move m "
                                                   "ON m.Kod = d.Nnn WHERE d.Provodka = 1 AND m.Oper = 'P'"
                                                << 2;
    QTest::newRow("posted sales documents") << "SELECT COUNT(*) FROM Realdoc WHERE Status = 4" << 3;
    QTest::newRow("open sales documents with portions")
        << "SELECT COUNT(DISTINCT d.Kod) FROM Realdoc d JOIN Realsum s ON s.Kod = d.Kod WHERE d.Status = 5 "
           "AND s.Kolvo > 0"
        << 2;
    QTest::newRow("sales issued from stock") << "SELECT COUNT(*) FROM Move WHERE Oper = 'R'" << 10;
    QTest::newRow("counted inventory") << "SELECT COUNT(*) FROM inv WHERE NewKolvo <> Oldkolvo" << 1;
    QTest::newRow("signatures") << "SELECT COUNT(*) FROM Podpis WHERE Poradok IN (1, 2)" << 2;
}

void tst_DemoKitchen::coversEveryPage()
{
    QFETCH(QString, sql);
    QFETCH(int, minimum);
    QVERIFY2(count(sql) >= minimum, qPrintable(QString::number(count(sql))));
}

// Each query counts the rows breaking one rule the program relies on.
void tst_DemoKitchen::referencesHold_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("ingredient without its unit or group")
        << "SELECT COUNT(*) FROM Ing i WHERE NOT EXISTS (SELECT 1 FROM Edinica e WHERE e.Kod = i.Edinica AND "
           "e.Gramm > 0) OR NOT EXISTS (SELECT 1 FROM Gring g WHERE g.Kod = i.Kod)";
    QTest::newRow("semi-finished unpriced or not per kilogram")
        << "SELECT COUNT(*) FROM Ing i JOIN Edinica e ON e.Kod = i.Edinica WHERE i.Pf = 1 AND "
           "(NOT i.Cena > 0 OR i.Vih <> 100 OR e.Gramm <> 1000)";
    QTest::newRow("dish without a price") << "SELECT COUNT(*) FROM Bludo WHERE NOT Cena > 0";
    QTest::newRow("semi-finished with 3 to 5 components")
        << "SELECT COUNT(*) FROM Ing i WHERE i.Pf = 1 AND (SELECT COUNT(*) FROM pf WHERE pf.Kod = i.Kod1) "
           "NOT BETWEEN 3 AND 5";
    QTest::newRow("composition of something not semi-finished")
        << "SELECT COUNT(*) FROM pf WHERE NOT EXISTS "
           "(SELECT 1 FROM Ing i WHERE i.Kod1 = pf.Kod AND i.Pf = 1)";
    QTest::newRow("component missing or semi-finished")
        << "SELECT COUNT(*) FROM pf WHERE NOT pf.Kolvo > 0 OR NOT EXISTS "
           "(SELECT 1 FROM Ing i WHERE i.Kod1 = pf.Name AND i.Pf = 0)";
    QTest::newRow("dish outside its group")
        << "SELECT COUNT(*) FROM Bludo b WHERE NOT EXISTS (SELECT 1 FROM Grbludo g WHERE g.Kod = b.Kod)";
    QTest::newRow("card without 2 to 8 lines")
        << "SELECT COUNT(*) FROM Bludo b WHERE (SELECT COUNT(*) FROM Karta k WHERE k.Kod = b.Kod1) "
           "NOT BETWEEN 2 AND 8";
    QTest::newRow("card line to a missing dish or ingredient")
        << "SELECT COUNT(*) FROM Karta k WHERE NOT EXISTS (SELECT 1 FROM Bludo b WHERE b.Kod1 = k.Kod) "
           "OR NOT EXISTS (SELECT 1 FROM Ing i WHERE i.Kod1 = k.Name) OR NOT k.Kolvo > 0";
    QTest::newRow("menu entry of a missing or unfinished dish")
        << "SELECT COUNT(*) FROM MenuSp m WHERE NOT EXISTS (SELECT 1 FROM Bludo b WHERE b.Kod1 = m.Name "
           "AND b.Status = 1) OR NOT EXISTS (SELECT 1 FROM Menu WHERE Menu.Kod = m.Kod)";
    QTest::newRow("menu entry out of its dish's group")
        << "SELECT COUNT(*) FROM MenuSp m JOIN Bludo b ON b.Kod1 = m.Name "
           "LEFT JOIN Grbludo g ON g.Kod = m.GrName WHERE m.GrName IS DISTINCT FROM b.Kod OR m.Nn IS "
           "DISTINCT FROM g.N";
    QTest::newRow("menu without a date") << "SELECT COUNT(*) FROM Menu WHERE Date IS NULL";
    // Typed into the ingredients grid, whose post records the price.
    QTest::newRow("ingredient price typed without its history")
        << "SELECT COUNT(*) FROM Ing i WHERE i.Pf = 0 AND NOT EXISTS (SELECT 1 FROM Pricehist h WHERE "
           "h.Ing = i.Kod1 AND h.Source = 'Правка' AND h.Oldcena IS NULL AND h.Cena > 0)";
}

void tst_DemoKitchen::referencesHold()
{
    QFETCH(QString, sql);
    QCOMPARE(count(sql), 0);
}

// The stored prices are the price run's own: running it again changes none.
void tst_DemoKitchen::pricedByThePriceRun()
{
    const DishCostRun again = DishCostCalculator(m_data->db()).run();
    QVERIFY2(again.ok, qPrintable(again.message));
    QVERIFY(again.dishesPriced >= 15);
    QCOMPARE(again.dishPricesChanged, 0);
}

// Mixing the sample into a kitchen in use would corrupt it; any existing row makes fill refuse whole.
void tst_DemoKitchen::refusesKitchenWithData_data()
{
    QTest::addColumn<bool>("demoFirst");
    QTest::newRow("second fill") << true;
    QTest::newRow("kitchen's own signature") << false;
}

void tst_DemoKitchen::refusesKitchenWithData()
{
    QFETCH(bool, demoFirst);
    TestDataDir data;
    QSqlDatabase db = data.db();
    QString error;
    if (demoFirst)
        QVERIFY2(demo::fill(db, &error), qPrintable(error));
    else
        data.insert(u"Podpis"_s, {{u"Poradok"_s, 1}, {u"Fam"_s, u"Сидоров"_s}});
    const QVariant ingredients = data.scalar(u"SELECT COUNT(*) FROM Ing"_s);
    const QVariant signatures = data.scalar(u"SELECT COUNT(*) FROM Podpis"_s);

    QVERIFY(!demo::fill(db, &error));
    QVERIFY2(error.contains(u"заполнена"_s), qPrintable(error));
    QCOMPARE(data.scalar(u"SELECT COUNT(*) FROM Ing"_s), ingredients);
    QCOMPARE(data.scalar(u"SELECT COUNT(*) FROM Podpis"_s), signatures);
}

// A failure near the end must not leave a half-filled kitchen behind.
void tst_DemoKitchen::failureLeavesNothing()
{
    TestDataDir data;
    QSqlDatabase db = data.db();
    refuseWrites(db, u"Podpis"_s, u"INSERT"_s, u"disk is full"_s);
    QString error;
    QVERIFY(!demo::fill(db, &error));
    QVERIFY2(error.contains(u"disk is full"_s), qPrintable(error));
    for (const char* table : {"Edinica", "Ing", "pf", "Bludo", "Karta", "Menu", "MenuSp", "Partner"})
        QCOMPARE(data.scalar(u"SELECT COUNT(*) FROM %1"_s.arg(QLatin1String(table))).toInt(), 0);
}

QTEST_GUILESS_MAIN(tst_DemoKitchen)
#include "tst_DemoKitchen.moc"
