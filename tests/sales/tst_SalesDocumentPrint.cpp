#include "SalesKitchen.h"

#include "reports/Workbook.h"
#include "sales/ConsumptionCalculator.h"
#include "sales/SalesDocumentPrint.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// Potatoes, onions and beef; minced meat made of all three. Borscht (5 portions on its card) and
// cabbage soup are soups, the cutlet with its minced meat and a side of potatoes is a main course.
struct Kitchen : MinceKitchen
{
    qlonglong borscht = dish(soups, u"Борщ"_s, 5, u"300"_s);
    qlonglong cabbageSoup = dish(soups, u"Щи"_s, 1);
    qlonglong cutlet = dish(mains, u"Котлета"_s, 1, u"100/50"_s);
    qlonglong doc = document(u"2024-03-01"_s);

    Kitchen()
    {
        card(borscht, potato, 250);
        card(cabbageSoup, onion, 100);
        card(cutlet, mince, 100);
        card(cutlet, potato, 150, 50);
    }

    SalesPrintResult print(const QLocale& locale = QLocale::c())
    {
        progress.clear();
        return SalesDocumentPrint(data.db(), locale).run(doc, [this](int percent) {
            progress << percent;
            return true;
        });
    }

    QList<int> progress;
};

} // namespace

class tst_SalesDocumentPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void threeSheetsCellByCell();
    void nothingSold();
    void postedDocumentAddsUnroundedSumsAndHasNoCards();
    void zeroDivisorRefusesTheWholePrint_data();
    void zeroDivisorRefusesTheWholePrint();
    void lineOfAGoneDishIsLeftOut();
    void portionsInTheCardTitle_data();
    void portionsInTheCardTitle();
};

void tst_SalesDocumentPrint::threeSheetsCellByCell()
{
    Kitchen k;
    // Soups, then the main course, then soups again; a line of 0 portions never shows.
    k.line(k.doc, k.soups, k.borscht, 1, 0.125);
    k.line(k.doc, k.soups, k.cabbageSoup, 1, 0.125);
    k.line(k.doc, k.mains, k.cutlet, 2, 50);
    k.line(k.doc, k.soups, k.borscht, 4, 10);
    k.line(k.doc, k.soups, k.cabbageSoup, 0, 5);
    QVERIFY(ConsumptionCalculator(k.data.db()).run(k.doc, SalesLines::Sold).ok);

    const SalesPrintResult result = k.print();
    QVERIFY2(result.workbook, qPrintable(result.error));
    QVERIFY(!result.posted);
    const Workbook& book = *result.workbook;
    QCOMPARE(book.sheetCount(), 3);
    QVERIFY(book.problems().isEmpty());

    // Line sums are whole kopecks as read (0.125 is 0.12), and the group adds them: 0.24.
    const Sheet& dishes = book.sheet(1);
    QCOMPARE(dishes.name(), u"Буфетон"_s);
    compareCells(dishes, {{"A1", u"Буфетон 01.03.2024 г."_s},
                          {"I1", none},
                          {"B3", u"Наименование блюда"_s},
                          {"G3", u"Кол-во"_s},
                          {"H3", u"Цена"_s},
                          {"I3", u"Сумма"_s},
                          {"A4", u"Супы"_s},
                          {"B5", u"Борщ"_s},
                          {"G5", 1.0},
                          {"H5", 0.12},
                          {"I5", 0.12},
                          {"B6", u"Щи"_s},
                          {"I6", 0.12},
                          {"F7", u"Всего за группу:"_s},
                          {"I7", 0.24},
                          {"A8", u"Горячее"_s},
                          {"B9", u"Котлета"_s},
                          {"G9", 2.0},
                          {"H9", 50.0},
                          {"I9", 100.0},
                          {"F10", u"Всего за группу:"_s},
                          {"I10", 100.0},
                          {"A11", u"Супы"_s},
                          {"B12", u"Борщ"_s},
                          {"G12", 4.0},
                          {"I12", 40.0},
                          {"F13", u"Всего за группу:"_s},
                          {"I13", 40.0},
                          {"F14", u"Итого реализовано:"_s},
                          {"I14", 140.24},
                          {"A15", none},
                          {"B15", none}});
    QCOMPARE(dishes.merges().size(), 1u);
    QCOMPARE(dishes.merges().front().toString(), u"A1:I1"_s);
    QCOMPARE(dishes.pageSetup().printTitleRows->toString(), u"3:3"_s);
    QCOMPARE(dishes.columnWidth(1), 8.3);
    QCOMPARE(dishes.columnWidth(9), 8.3);
    QCOMPARE(dishes.format(9, 8).numberFormat, u"0.00"_s);
    QCOMPARE(dishes.format(9, 7).numberFormat, std::nullopt);
    QCOMPARE(dishes.format(1, 1).fontSize, 18.0);
    QCOMPARE(dishes.format(1, 1).horizontalAlignment, HAlign::Center);
    QCOMPARE(dishes.format(3, 8).horizontalAlignment, HAlign::Right);
    QCOMPARE(dishes.format(4, 1).fontSize, 14.0);
    QCOMPARE(dishes.format(9, 2).fontSize, 12.0);
    QCOMPARE(dishes.format(9, 2).bold, false);
    QCOMPARE(dishes.format(9, 9).fontSize, 10.0);
    QCOMPARE(dishes.format(10, 6).bold, true);
    QCOMPARE(dishes.format(9, 2).fontName, u"Times New Roman"_s);
    QVERIFY(ruled(dishes.format(9, 2)) && ruled(dishes.format(9, 9)));
    QVERIFY(!ruled(dishes.format(9, 1)) && !ruled(dishes.format(10, 9)));

    // Running numbers through the groups; the totals add unrounded values (85.333... and 106.666...).
    const Sheet& issue = book.sheet(2);
    QCOMPARE(issue.name(), u"Расход ингредиентов"_s);
    compareCells(issue, {{"A1", u"Расход ингредиентов со склада 01.03.2024 г."_s},
                         {"A2", u"Смена 1"_s},
                         {"A3", u"№"_s},
                         {"B3", u"Наименование ингредиента"_s},
                         {"E3", u"Кол-во"_s},
                         {"F3", u"Выдано"_s},
                         {"G3", u"Ед.изм"_s},
                         {"H3", u"Сумма скл."_s},
                         {"I3", u"Сумма отп."_s},
                         {"E4", u"Овощи"_s},
                         {"A5", 1.0},
                         {"B5", u"Картофель"_s},
                         {"E5", 1.075},
                         {"F5", none},
                         {"G5", u"кг"_s},
                         {"H5", 21.5},
                         {"I5", 32.25},
                         {"A6", 2.0},
                         {"B6", u"Лук"_s},
                         {"E6", 0.13},
                         {"H6", 3.9},
                         {"I6", 3.9},
                         {"C7", u"Всего за группу:"_s},
                         {"H7", 25.4},
                         {"I7", 36.15},
                         {"E8", u"Мясо"_s},
                         {"A9", 3.0},
                         {"B9", u"Говядина"_s},
                         {"E9", 0.8 / 3.75 * 1.0},
                         {"H9", 85.33},
                         {"I9", 106.67},
                         {"C10", u"Всего за группу:"_s},
                         {"H10", 85.33},
                         {"I10", 106.67},
                         {"C11", u"Итого реализовано:"_s},
                         {"H11", 110.73},
                         {"I11", 142.82}});
    QCOMPARE(issue.columnWidth(1), 3.3);
    QCOMPARE(issue.columnWidth(7), 8.1);
    QCOMPARE(issue.columnWidth(8), 11.0);
    QCOMPARE(issue.format(5, 5).numberFormat, u"0.000"_s);
    QCOMPARE(issue.format(5, 9).numberFormat, u"0.00"_s);
    QCOMPARE(issue.format(5, 7).horizontalAlignment, HAlign::Center);
    QCOMPARE(issue.format(3, 6).horizontalAlignment, HAlign::Right);
    QCOMPARE(issue.format(2, 1).fontSize, 16.0);
    QCOMPARE(issue.format(4, 5).fontSize, 12.0);
    QVERIFY(ruled(issue.format(5, 1)) && ruled(issue.format(5, 9)));

    // The minced meat shows its own net and gross and then a row per component: four rows.
    const Sheet& cards = book.sheet(3);
    QCOMPARE(cards.name(), u"Технологические карты"_s);
    compareCells(cards, {{"A1", u"Технологические карты на приготовление блюд 01.03.2024 г."_s},
                         {"A2", none},
                         {"A3", u"Супы"_s},
                         {"A4", u"Борщ 1 п. (300)"_s},
                         {"B5", u"Ингредиенты"_s},
                         {"F5", u"Брутто"_s},
                         {"G5", u"Нетто"_s},
                         {"H5", u"Ед.Изм."_s},
                         {"B6", u"Картофель"_s},
                         {"F6", 0.0625},
                         {"G6", 0.05},
                         {"H6", u"кг"_s},
                         {"A7", u"Щи 1 п. (250)"_s},
                         {"B9", u"Лук"_s},
                         {"F9", 0.1},
                         {"G9", 0.1},
                         {"A10", none},
                         {"A11", u"Горячее"_s},
                         {"A12", u"Котлета 2 п. (100/50)"_s},
                         {"B14", u"П.Ф. - \"Фарш\""_s},
                         {"F14", 0.2},
                         {"G14", 0.2},
                         {"B15", u"  - Говядина"_s},
                         {"F15", 0.16 / 0.75},
                         {"G15", 0.16},
                         {"B16", u"  - Лук"_s},
                         {"F16", 0.03},
                         {"G16", 0.03},
                         {"B17", u"  - Картофель"_s},
                         {"F17", 0.0125},
                         {"G17", 0.01},
                         {"B18", u"Картофель"_s},
                         {"F18", 0.75},
                         {"G18", 0.3},
                         {"A19", none},
                         {"A20", u"Супы"_s},
                         {"A21", u"Борщ 4 п. (300)"_s},
                         {"F23", 0.25},
                         {"G23", 0.2},
                         {"A24", none}});
    QCOMPARE(cards.columnWidth(1), 8.4);
    QCOMPARE(cards.format(6, 6).numberFormat, u"0.000"_s);
    QCOMPARE(cards.format(6, 8).numberFormat, std::nullopt);
    QCOMPARE(cards.format(12, 1).fontSize, 16.0);
    QCOMPARE(cards.format(12, 1).bold, false);
    QCOMPARE(cards.format(11, 1).bold, true);
    QCOMPARE(cards.format(13, 2).verticalAlignment, VAlign::Center);
    QVERIFY(ruled(cards.format(13, 2)) && ruled(cards.format(17, 8)) && !ruled(cards.format(17, 9)));
    QVERIFY(!cards.pageSetup().printTitleRows);

    // A third of the bar per sheet, up to the end.
    QVERIFY(!k.progress.isEmpty());
    QVERIFY(std::is_sorted(k.progress.cbegin(), k.progress.cend()));
    QCOMPARE(k.progress.last(), 100);
    QVERIFY(k.progress.contains(33) && k.progress.contains(67));
}

void tst_SalesDocumentPrint::nothingSold()
{
    Kitchen k;
    k.line(k.doc, k.soups, k.borscht, 0, 10);
    QVERIFY(ConsumptionCalculator(k.data.db()).run(k.doc, SalesLines::Sold).ok);
    const SalesPrintResult result = k.print();
    QVERIFY2(result.workbook, qPrintable(result.error));
    compareCells(result.workbook->sheet(1), {{"A4", none},
                                             {"F4", u"Всего за группу:"_s},
                                             {"I4", 0.0},
                                             {"F5", u"Итого реализовано:"_s},
                                             {"I5", 0.0},
                                             {"F6", none}});
    compareCells(result.workbook->sheet(2), {{"E4", none},
                                             {"C4", u"Всего за группу:"_s},
                                             {"H4", 0.0},
                                             {"I4", 0.0},
                                             {"C5", u"Итого реализовано:"_s},
                                             {"H5", 0.0},
                                             {"I5", 0.0}});
    const Sheet& cards = result.workbook->sheet(3);
    QCOMPARE(cards.rowCount(), 1);
}

void tst_SalesDocumentPrint::postedDocumentAddsUnroundedSumsAndHasNoCards()
{
    Kitchen k;
    QSqlQuery(k.data.db()).exec(u"UPDATE Realdoc SET Status = 4"_s);
    k.line(k.doc, k.soups, k.borscht, 1, 10);
    // Two rows of 0.125 each: each shows 0.12, their group 0.25.
    k.consumed(k.doc, k.vegetables, k.potato, 1, 0.125, 0.125, k.kg);
    k.consumed(k.doc, k.vegetables, k.onion, 0.5, 0.25, 0.25, k.kg);
    const SalesPrintResult result = k.print();
    QVERIFY2(result.workbook, qPrintable(result.error));
    QVERIFY(result.posted);
    QCOMPARE(result.workbook->sheetCount(), 2);
    compareCells(result.workbook->sheet(2), {{"H5", 0.12},
                                             {"H6", 0.12},
                                             {"C7", u"Всего за группу:"_s},
                                             {"H7", 0.25},
                                             {"I7", 0.25},
                                             {"H8", 0.25}});
}

void tst_SalesDocumentPrint::zeroDivisorRefusesTheWholePrint_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("fault");
    const QString rounded = u" (0.4 после округления до целого)."_s;
    // Zero after rounding to a whole number, where the working cards round.
    QTest::newRow("ingredient yield 0.4")
        << u"UPDATE Ing SET Vih = 0.4 WHERE Name = 'Картофель'"_s
        << u"у ингредиента \"Картофель\" в составе полуфабриката \"Фарш\" выход (% Вых) равен нулю"_s +
               rounded;
    QTest::newRow("card line yield 0.4")
        << u"UPDATE Karta SET Vihod = 0.4 WHERE Vihod = 50"_s
        << u"в строке ингредиента \"Картофель\" выход строки (% Вых) равен нулю"_s + rounded;
    QTest::newRow("portions 0.4") << u"UPDATE Bludo SET Nporc = 0.4 WHERE Name = 'Котлета'"_s
                                  << u"число порций (Порций) равно нулю"_s + rounded;
    QTest::newRow("product yield 0.4") << u"UPDATE Ing SET Vih = 0.4 WHERE Name = 'Фарш'"_s
                                       << u"у полуфабриката \"Фарш\" выход (% Вых) равен нулю"_s + rounded;
    QTest::newRow("unit of no weight")
        << u"UPDATE Edinica SET Gramm = 0"_s
        << u"у полуфабриката \"Фарш\" вес единицы измерения (Грамм) равен нулю."_s;
    QTest::newRow("ingredient gone") << u"DELETE FROM Ing WHERE Name = 'Фарш'"_s
                                     << u"в карте указан ингредиент, которого больше нет (код {mince})."_s;
}

void tst_SalesDocumentPrint::zeroDivisorRefusesTheWholePrint()
{
    QFETCH(QString, change);
    QFETCH(QString, fault);
    Kitchen k;
    k.line(k.doc, k.mains, k.cutlet, 2, 50);
    QVERIFY(QSqlQuery(k.data.db()).exec(change));
    const SalesPrintResult result = k.print();
    QVERIFY(!result.workbook);
    QCOMPARE(result.error,
             u"Технологические карты не напечатаны: в блюде \"Котлета\" (группа \"Горячее\"): "_s +
                 fault.replace(u"{mince}"_s, QString::number(k.mince)));
    QVERIFY(k.progress.isEmpty());
}

void tst_SalesDocumentPrint::lineOfAGoneDishIsLeftOut()
{
    Kitchen k;
    k.line(k.doc, k.soups, k.borscht, 1, 10);
    k.line(k.doc, k.soups, k.cabbageSoup, 2, 10);
    QVERIFY(QSqlQuery(k.data.db()).exec(u"DELETE FROM Bludo WHERE Name = 'Щи'"_s));
    const SalesPrintResult result = k.print();
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.linesSkipped, 1);
    QVERIFY(result.notice().contains(u"1"_s));
    compareCells(result.workbook->sheet(1), {{"B5", u"Борщ"_s}, {"F6", u"Всего за группу:"_s}, {"I6", 10.0}});
    compareCells(result.workbook->sheet(3), {{"A4", u"Борщ 1 п. (300)"_s}, {"A7", none}});
}

void tst_SalesDocumentPrint::portionsInTheCardTitle_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("portions");
    QTest::addColumn<QString>("title");
    QTest::newRow("point") << QLocale::c() << 2.5 << u"Борщ 2.5 п. (300)"_s;
    QTest::newRow("comma") << QLocale(QLocale::Russian) << 2.5 << u"Борщ 2,5 п. (300)"_s;
    QTest::newRow("whole") << QLocale(QLocale::Russian) << 4.0 << u"Борщ 4 п. (300)"_s;
    QTest::newRow("thousands") << QLocale(QLocale::Russian) << 1200.0 << u"Борщ 1200 п. (300)"_s;
}

void tst_SalesDocumentPrint::portionsInTheCardTitle()
{
    QFETCH(QLocale, locale);
    QFETCH(double, portions);
    QFETCH(QString, title);
    Kitchen k;
    k.line(k.doc, k.soups, k.borscht, portions, 10);
    const SalesPrintResult result = k.print(locale);
    QVERIFY2(result.workbook, qPrintable(result.error));
    compareCells(result.workbook->sheet(3), {{"A4", title}});
}

QTEST_GUILESS_MAIN(tst_SalesDocumentPrint)
#include "tst_SalesDocumentPrint.moc"
