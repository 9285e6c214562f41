#include "TestDataDir.h"

#include "reports/Workbook.h"
#include "warehouse/InventoryActPrint.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Kitchen
{
    TestDataDir data;
    qlonglong kg = data.insert(u"Edinica"_s,
                               {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong piece =
        data.insert(u"Edinica"_s, {{u"Name"_s, u"штука"_s}, {u"Shorthame"_s, u"шт"_s}, {u"Gramm"_s, 50}});
    qlonglong inventory = data.insert(u"invdok"_s, {{u"Date"_s, u"2024-03-31"_s}, {u"Provodka"_s, 1}});

    void line(const QString& name, qlonglong unit, QVariant documented, QVariant found, double price)
    {
        const qlonglong ingredient = data.insert(u"Ing"_s, {{u"Name"_s, name}, {u"Edinica"_s, unit}});
        data.insert(u"inv"_s, {{u"Kod"_s, inventory},
                               {u"Ing"_s, ingredient},
                               {u"Ing22"_s, name},
                               {u"Oldkolvo"_s, documented},
                               {u"NewKolvo"_s, found},
                               {u"Newprice"_s, price}});
    }
};

bool ruledBelow(const CellFormat& format, int weight)
{
    const BorderLine& bottom = format.border(Edge::Bottom);
    return bottom.isVisible() && bottom.lineStyle == 1 && bottom.weight == weight && bottom.colorIndex == 1 &&
           !format.border(Edge::Top).isVisible() && !format.border(Edge::Left).isVisible() &&
           !format.border(Edge::Right).isVisible();
}

} // namespace

class tst_InventoryActPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void surplusShortageAndEqualRows();
    void documentWithoutLines();
};

void tst_InventoryActPrint::surplusShortageAndEqualRows()
{
    Kitchen k;
    // Stored out of order: "Ё" before "Д" by code point, after it in Russian.
    k.line(u"Ёрш"_s, k.piece, 4, 4, 2.5);         // counted as documented
    k.line(u"Яйцо"_s, k.piece, 10, 7.5, 8);       // shortage
    k.line(u"Дыня"_s, k.kg, 10, 12, 5);           // surplus
    k.line(u"Масло"_s, k.kg, 3, QVariant(), 100); // not counted yet
    k.line(u"Соль"_s, k.kg, -2, 0, 10);           // below zero by the documents
    Workbook book;
    QString error;
    QList<int> progress;
    QVERIFY2(InventoryActPrint(k.data.db())
                 .fill(book, k.inventory, &error,
                       [&](int p) {
                           progress << p;
                           return true;
                       }),
             qPrintable(error));
    const Sheet& sheet = book.sheet(1);
    QCOMPARE(sheet.name(), u"Акт инвентаризации"_s);
    const QVariant none;
    const QList<QVariantList> expected = {
        {u"Акт инвентаризации"_s, none, none, none, none, none, none, none, none, none},
        {},
        {u"№"_s, u"Наименование"_s, u"Ед.изм."_s, u"К-во по документам"_s, u"В наличии"_s, u"Излишки"_s,
         u"Недостача"_s, u"Цена за ед."_s, u"Сумма"_s, u"Сумма недостачи / излишка"_s},
        {1.0, u"Дыня"_s, u"кг"_s, 10.0, 12.0, 2.0, none, 5.0, 60.0, 10.0},
        {2.0, u"Ёрш"_s, u"шт"_s, 4.0, 4.0, none, none, 2.5, 10.0, 0.0},
        {3.0, u"Масло"_s, u"кг"_s, 3.0, 0.0, none, 3.0, 100.0, 0.0, -300.0},
        {4.0, u"Соль"_s, u"кг"_s, -2.0, 0.0, 2.0, none, 10.0, 0.0, 20.0},
        {5.0, u"Яйцо"_s, u"шт"_s, 10.0, 7.5, none, 2.5, 8.0, 60.0, -20.0},
        {},
    };
    for (int row = 1; row <= expected.size(); ++row) {
        for (int column = 1; column <= 11; ++column) {
            const QVariant want = expected[row - 1].value(column - 1);
            QVERIFY2(sheet.value(row, column) == want,
                     qPrintable(u"row %1, column %2: %3"_s.arg(row).arg(column).arg(
                         sheet.value(row, column).toString())));
        }
    }
    QCOMPARE(sheet.merges().front().toString(), u"A1:I1"_s);
    QCOMPARE(sheet.format(1, 1).fontSize, 26.0);
    QCOMPARE(sheet.format(1, 1).bold, true);
    QCOMPARE(sheet.format(3, 4).wrapText, true);
    QCOMPARE(sheet.format(3, 4).fontSize, 10.0);
    QCOMPARE(sheet.format(3, 4).verticalAlignment, VAlign::Center);
    QCOMPARE(sheet.format(4, 3).horizontalAlignment, HAlign::Center);
    QCOMPARE(sheet.format(4, 4).numberFormat, u"0.000"_s);
    QCOMPARE(sheet.format(4, 7).numberFormat, u"0.000"_s);
    QCOMPARE(sheet.format(4, 9).numberFormat, u"0.00"_s);
    QCOMPARE(sheet.format(4, 10).numberFormat, std::nullopt);
    QCOMPARE(sheet.columnWidth(2), 35.0);
    QCOMPARE(sheet.columnWidth(4), 10.5);
    QCOMPARE(sheet.columnWidth(9), 9.0);
    QCOMPARE(sheet.columnWidth(10), std::nullopt);
    QVERIFY(ruledBelow(sheet.format(3, 1), BorderWeight::Medium) &&
            ruledBelow(sheet.format(3, 10), BorderWeight::Medium));
    QVERIFY(ruledBelow(sheet.format(8, 1), 2) && ruledBelow(sheet.format(8, 10), 2));
    QVERIFY(!ruledBelow(sheet.format(8, 11), 2));
    QCOMPARE(sheet.pageSetup().orientation, PageOrientation::Landscape);
    QCOMPARE(sheet.pageSetup().printTitleRows->toString(), u"3:3"_s);
    QCOMPARE(progress, (QList<int>{20, 40, 60, 80, 100}));
}

void tst_InventoryActPrint::documentWithoutLines()
{
    Kitchen k;
    Workbook book;
    QString error;
    QVERIFY(InventoryActPrint(k.data.db()).fill(book, k.inventory, &error));
    QCOMPARE(book.sheet(1).rowCount(), 3);
    QCOMPARE(book.sheet(1).value(3, 10).toString(), u"Сумма недостачи / излишка"_s);
}

QTEST_GUILESS_MAIN(tst_InventoryActPrint)
#include "tst_InventoryActPrint.moc"
