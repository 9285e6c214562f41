#include "SalesKitchen.h"

#include "reports/Workbook.h"
#include "sales/ConsumptionCalculator.h"
#include "sales/CrossTablePrint.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

struct Kitchen : MinceKitchen
{
    qlonglong borscht = dish(soups, u"Борщ"_s, 5);
    qlonglong cabbageSoup = dish(soups, u"Щи"_s, 1);
    qlonglong cutlet = dish(mains, u"Котлета"_s, 1);
    qlonglong doc = document(u"2024-03-01"_s);

    Kitchen()
    {
        // 250 g of a 1000 g unit for 5 portions at 80 %: 4 portions take 0.25.
        card(borscht, potato, 250);
        card(cabbageSoup, onion, 100);
        card(cabbageSoup, potato, 100);
        card(cutlet, mince, 100);
        card(cutlet, potato, 150, 50);
    }

    SalesPrintResult print()
    {
        progress.clear();
        return CrossTablePrint(data.db(), QLocale::c()).run(doc, [this](int percent) {
            progress << percent;
            return true;
        });
    }
    bool calculate() { return ConsumptionCalculator(data.db()).run(doc).ok; }

    QList<int> progress;
};

bool boxed(const CellFormat& format)
{
    for (Edge edge : {Edge::Left, Edge::Right, Edge::Top, Edge::Bottom}) {
        const BorderLine& line = format.border(edge);
        if (!line.isVisible() || line.lineStyle != 1 || line.weight != 2)
            return false;
    }
    return true;
}

} // namespace

class tst_CrossTablePrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void columnsRowsAndCells();
    void cellsRoundTheYieldTheTotalDoesNot_data();
    void cellsRoundTheYieldTheTotalDoesNot();
    void ingredientWithoutARowIsLeftOut();
    void columnLettersPastZ();
    void zeroDivisorRefusesBeforeTheMapIsTouched();
};

void tst_CrossTablePrint::columnsRowsAndCells()
{
    Kitchen k;
    k.line(k.doc, k.soups, k.borscht, 4, 10);
    k.line(k.doc, k.soups, k.cabbageSoup, 0, 10);
    k.line(k.doc, k.mains, k.cutlet, 2, 50);
    QVERIFY(k.calculate());
    const SalesPrintResult result = k.print();
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.workbook->sheetCount(), 1);
    const Sheet& sheet = result.workbook->sheet(1);
    QVERIFY(result.workbook->problems().isEmpty());
    QCOMPARE(sheet.name(), u"Перекрёстная таблица"_s);

    // Group, dish, dish, group, dish: 1 to 5. The potato of the cutlet comes from its card line and
    // from inside the minced meat, added in one cell; the minced meat itself has no row.
    compareCells(sheet, {{"A1", u"Раскладка ингредиентов на 01.03.2024 г."_s},
                         {"J1", none},
                         {"A2", u"№"_s},
                         {"B2", u"Наименование ингредиенты\\блюда"_s},
                         {"C2", u"Итого"_s},
                         {"D2", u"Единица измерения"_s},
                         {"E2", u"Супы"_s},
                         {"F2", u"Борщ"_s},
                         {"G2", u"Щи"_s},
                         {"H2", u"Горячее"_s},
                         {"I2", u"Котлета"_s},
                         {"J2", none},
                         {"E3", none},
                         {"F3", u"4 п."_s},
                         {"G3", u"0 п."_s},
                         {"I3", u"2 п."_s},
                         {"E4", 1.0},
                         {"F4", 2.0},
                         {"G4", 3.0},
                         {"H4", 4.0},
                         {"I4", 5.0},
                         {"J4", none},
                         {"A5", 1.0},
                         {"B5", u"Картофель"_s},
                         {"C5", 1.0125},
                         {"D5", u"кг"_s},
                         {"E5", none},
                         {"F5", 0.25},
                         {"G5", 0.0},
                         {"H5", none},
                         {"I5", 0.7625},
                         {"A6", 2.0},
                         {"B6", u"Лук"_s},
                         {"C6", 0.03},
                         {"F6", none},
                         {"G6", 0.0},
                         {"I6", 0.03},
                         {"A7", 3.0},
                         {"B7", u"Говядина"_s},
                         {"I7", 0.16 / 0.75},
                         {"A8", none}});
    QCOMPARE(sheet.merges().front().toString(), u"A1:J1"_s);
    QCOMPARE(sheet.columnWidth(1), 4.0);
    QCOMPARE(sheet.columnWidth(2), 24.5);
    QCOMPARE(sheet.columnWidth(3), 6.0);
    QCOMPARE(sheet.columnWidth(5), 2.1);
    QCOMPARE(sheet.columnWidth(8), 2.1);
    QCOMPARE(sheet.columnWidth(243), 6.0);
    QCOMPARE(sheet.columnWidth(244), std::nullopt);
    QCOMPARE(sheet.pageSetup().orientation, PageOrientation::Landscape);
    QCOMPARE(sheet.pageSetup().printTitleRows->toString(), u"4:4"_s);
    QCOMPARE(sheet.pageSetup().printTitleColumns->toString(), u"A:B"_s);

    QCOMPARE(sheet.format(2, 6).orientation, 90);
    QCOMPARE(sheet.format(2, 2).orientation, 0);
    QCOMPARE(sheet.format(2, 2).wrapText, true);
    QCOMPARE(sheet.format(2, 2).fontSize, 14.0);
    QCOMPARE(sheet.format(2, 3).bold, true);
    QCOMPARE(sheet.format(2, 5).bold, true);
    QCOMPARE(sheet.format(2, 6).bold, false);
    QCOMPARE(sheet.format(2, 6).fontSize, 10.0);
    QCOMPARE(sheet.format(2, 6).verticalAlignment, VAlign::Bottom);
    QCOMPARE(sheet.format(3, 6).horizontalAlignment, HAlign::Center);
    QCOMPARE(sheet.format(5, 1).horizontalAlignment, HAlign::Center);
    QCOMPARE(sheet.format(5, 3).numberFormat, u"0.000"_s);
    QCOMPARE(sheet.format(5, 9).numberFormat, u"0.000"_s);
    QCOMPARE(sheet.format(5, 2).fontName, u"Times New Roman"_s);
    QVERIFY(boxed(sheet.format(2, 1)) && boxed(sheet.format(7, 9)) && boxed(sheet.format(5, 8)));
    QVERIFY(!boxed(sheet.format(8, 9)) && !boxed(sheet.format(7, 10)) && !boxed(sheet.format(1, 1)));

    // The scratch map: each ingredient with its number.
    QSqlQuery map(k.data.db());
    QVERIFY(map.exec(u"SELECT Kod, Summa FROM Svodi ORDER BY Nnn"_s));
    QList<QPair<qlonglong, int>> rows;
    while (map.next())
        rows.append({map.value(0).toLongLong(), map.value(1).toInt()});
    QCOMPARE(rows, (QList<QPair<qlonglong, int>>{{k.potato, 1}, {k.onion, 2}, {k.beef, 3}}));
    QCOMPARE(k.progress, (QList<int>{33, 67, 100}));
}

void tst_CrossTablePrint::cellsRoundTheYieldTheTotalDoesNot_data()
{
    QTest::addColumn<double>("yield");
    QTest::addColumn<double>("cell");
    QTest::addColumn<double>("total");
    // 4 portions of 0.05 kg: the cell divides by the whole yield (halves to even), the total by the
    // stored one.
    QTest::newRow("79.5 % counts as 80") << 79.5 << 0.25 << 20 / 79.5;
    QTest::newRow("78.5 % counts as 78") << 78.5 << 20 / 78.0 << 20 / 78.5;
}

void tst_CrossTablePrint::cellsRoundTheYieldTheTotalDoesNot()
{
    QFETCH(double, yield);
    QFETCH(double, cell);
    QFETCH(double, total);
    Kitchen k;
    QVERIFY(QSqlQuery(k.data.db()).exec(u"UPDATE Ing SET Vih = %1 WHERE Name = 'Картофель'"_s.arg(yield)));
    k.line(k.doc, k.soups, k.borscht, 4, 10);
    QVERIFY(k.calculate());
    const SalesPrintResult result = k.print();
    QVERIFY2(result.workbook, qPrintable(result.error));
    compareCells(result.workbook->sheet(1), {{"F5", cell}, {"C5", total}});
}

void tst_CrossTablePrint::ingredientWithoutARowIsLeftOut()
{
    // A posted document whose stored consumption knows only the potato: the components of the
    // minced meat have no row and never reach the heading rows.
    Kitchen k;
    QVERIFY(QSqlQuery(k.data.db()).exec(u"UPDATE Realdoc SET Status = 4"_s));
    k.line(k.doc, k.mains, k.cutlet, 2, 50);
    k.consumed(k.doc, k.vegetables, k.potato, 0.7625, 20, 30, k.kg);
    const SalesPrintResult result = k.print();
    QVERIFY2(result.workbook, qPrintable(result.error));
    QVERIFY(result.posted);
    QCOMPARE(result.ingredientsLeftOut, 2);
    QVERIFY(!result.notice().isEmpty());
    compareCells(
        result.workbook->sheet(1),
        {{"F2", u"Котлета"_s}, {"F3", u"2 п."_s}, {"F4", 2.0}, {"F5", 0.7625}, {"F6", none}, {"A6", none}});
}

void tst_CrossTablePrint::columnLettersPastZ()
{
    Kitchen k;
    for (int i = 0; i < 30; ++i)
        k.line(k.doc, k.soups, k.borscht, 1, 10);
    QVERIFY(k.calculate());
    const SalesPrintResult result = k.print();
    QVERIFY2(result.workbook, qPrintable(result.error));
    const Sheet& sheet = result.workbook->sheet(1);
    // E is the group, F to AI the thirty lines.
    compareCells(sheet, {{"AI4", 31.0}, {"AI3", u"1 п."_s}, {"AI5", 0.0625}, {"AJ4", none}});
    QVERIFY(boxed(sheet.format(5, 35)));
    QVERIFY(!boxed(sheet.format(5, 36)));
}

void tst_CrossTablePrint::zeroDivisorRefusesBeforeTheMapIsTouched()
{
    Kitchen k;
    k.line(k.doc, k.mains, k.cutlet, 2, 50);
    QVERIFY(k.calculate());
    k.data.insert(u"Svodi"_s, {{u"Kod"_s, 99}, {u"Summa"_s, 7}});
    QVERIFY(QSqlQuery(k.data.db()).exec(u"UPDATE Bludo SET Nporc = 0.4"_s));
    const SalesPrintResult result = k.print();
    QVERIFY(!result.workbook);
    QCOMPARE(result.error,
             u"Перекрёстная таблица не напечатана: в блюде \"Котлета\" (группа \"Горячее\"): число "
             "порций (Порций) равно нулю (0.4 после округления до целого)."_s);
    QCOMPARE(k.data.scalar(u"SELECT count(*) FROM Svodi WHERE Kod = 99"_s).toInt(), 1);
}

QTEST_GUILESS_MAIN(tst_CrossTablePrint)
#include "tst_CrossTablePrint.moc"
