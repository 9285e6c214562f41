#include "TestDataDir.h"

#include "reports/Workbook.h"
#include "warehouse/InventoryFormsPrint.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Kitchen
{
    TestDataDir data;
    qlonglong kg = data.insert(u"Edinica"_s,
                               {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong inventory = data.insert(u"invdok"_s, {{u"Date"_s, u"2026-12-10"_s}, {u"Provodka"_s, 0}});

    qlonglong line(const QString& name, QVariant book, QVariant found, double price)
    {
        const qlonglong ingredient = data.insert(u"Ing"_s, {{u"Name"_s, name}, {u"Edinica"_s, kg}});
        data.insert(u"inv"_s, {{u"Kod"_s, inventory},
                               {u"Ing"_s, ingredient},
                               {u"Ing22"_s, name},
                               {u"Oldkolvo"_s, book},
                               {u"NewKolvo"_s, found},
                               {u"Newprice"_s, price}});
        return ingredient;
    }
    void organisation()
    {
        data.insert(u"Org"_s, {{u"Kod"_s, 1},
                               {u"Name"_s, u"Столовая №1"_s},
                               {u"Form"_s, u"ООО"_s},
                               {u"Inn"_s, u"7707083893"_s},
                               {u"Okpo"_s, u"12345678"_s},
                               {u"Commission1"_s, u"шеф-повар Иванов И.И."_s},
                               {u"Commission3"_s, u"кладовщик Петрова А.А."_s}});
    }
};

// The first row whose cell in the column holds the text.
int rowOf(const Sheet& sheet, int column, const QString& text)
{
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        if (sheet.value(row, column) == QVariant(text))
            return row;
    }
    return 0;
}

void compareRow(const Sheet& sheet, int row, const QVariantList& expected)
{
    for (int column = 1; column <= expected.size(); ++column) {
        QVERIFY2(sheet.value(row, column) == expected[column - 1],
                 qPrintable(u"row %1, column %2: %3"_s.arg(row).arg(column).arg(
                     sheet.value(row, column).toString())));
    }
}

} // namespace

class tst_InventoryFormsPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listLinesTotalsAndWords();
    void listClosesEveryPageWithItsTotals();
    void comparisonHoldsOnlyDifferences();
    void missingDocumentIsRefused();
};

void tst_InventoryFormsPrint::listLinesTotalsAndWords()
{
    Kitchen k;
    k.organisation();
    const qlonglong salt = k.line(u"Соль"_s, 2, 2, 15.5);
    const qlonglong apples = k.line(u"Яблоки"_s, 10, 7.5, 120.333);  // 902.4975 rounds to 902.50
    const qlonglong butter = k.line(u"Масло"_s, 3, QVariant(), 800); // not counted: 0 found
    Workbook book;
    QString error;
    QVERIFY2(InventoryFormsPrint(k.data.db()).fill(book, k.inventory, InventoryForm::List, &error),
             qPrintable(error));
    const Sheet& sheet = book.sheet(1);
    QCOMPARE(sheet.name(), u"ИНВ-3"_s);

    // The head: codes, organisation, an empty unit stays an empty line, the document's number and date.
    QCOMPARE(sheet.value(rowOf(sheet, 12, u"Форма по ОКУД"_s), 13).toString(), u"0317004"_s);
    const int okpo = rowOf(sheet, 12, u"по ОКПО"_s);
    QCOMPARE(sheet.value(okpo, 13).toString(), u"12345678"_s);
    QCOMPARE(sheet.value(okpo, 1).toString(), u"ООО Столовая №1, ИНН 7707083893"_s);
    const int unitCaption = rowOf(sheet, 1, u"структурное подразделение"_s);
    QVERIFY(unitCaption > 0);
    QVERIFY(sheet.value(unitCaption - 1, 1).isNull());
    QCOMPARE(sheet.value(rowOf(sheet, 12, u"Дата начала инвентаризации"_s), 13).toString(), u"10.12.2026"_s);
    const int title = rowOf(sheet, 2, u"ИНВЕНТАРИЗАЦИОННАЯ ОПИСЬ"_s);
    QCOMPARE(sheet.value(title, 12).toDouble(), double(k.inventory));
    QCOMPARE(sheet.value(title, 13).toString(), u"10.12.2026"_s);

    // The table, in name order, with the heading repeated on every page.
    const int heading = rowOf(sheet, 1, u"Номер по порядку"_s);
    QVERIFY(heading > title);
    QCOMPARE(sheet.pageSetup().printTitleRows->toString(), u"%1:%2"_s.arg(heading).arg(heading + 2));
    QCOMPARE(sheet.pageSetup().pageBreaksBefore, (std::vector<int>{heading}));
    QCOMPARE(sheet.value(heading + 1, 10).toString(), u"количество"_s);
    QCOMPARE(sheet.value(heading + 2, 13).toDouble(), 13.0);
    const QVariant none;
    const int first = heading + 3;
    compareRow(
        sheet, first,
        {1.0, none, u"Масло"_s, double(butter), none, u"кг"_s, 800.0, none, none, 0.0, 0.0, 3.0, 2400.0});
    compareRow(sheet, first + 1,
               {2.0, none, u"Соль"_s, double(salt), none, u"кг"_s, 15.5, none, none, 2.0, 31.0, 2.0, 31.0});
    compareRow(sheet, first + 2,
               {3.0, none, u"Яблоки"_s, double(apples), none, u"кг"_s, 120.333, none, none, 7.5, 902.5, 10.0,
                1203.33});
    compareRow(
        sheet, first + 3,
        {none, none, u"Итого по странице"_s, none, none, none, none, none, none, 9.5, 933.5, 15.0, 3634.33});

    // The words of the page, then of the whole list: the same figures here.
    for (const QString& label :
         {u"а) количество порядковых номеров"_s, u"б) общее количество единиц, фактически"_s,
          u"в) на сумму, руб. коп., фактически"_s}) {
        const int row = rowOf(sheet, 2, label);
        QVERIFY2(row > first + 3, qPrintable(label));
        QCOMPARE(sheet.value(row + 1, 7).toString(), u"прописью"_s);
    }
    const int count = rowOf(sheet, 2, u"а) количество порядковых номеров"_s);
    QCOMPARE(sheet.value(count, 7).toString(), u"три"_s);
    QCOMPARE(sheet.value(count + 2, 7).toString(), u"9,5"_s);
    QCOMPARE(sheet.value(count + 4, 7).toString(), u"девятьсот тридцать три рубля 50 копеек"_s);
    const int total = rowOf(sheet, 2, u"Итого по описи:"_s);
    QVERIFY(total > count);
    QCOMPARE(sheet.value(total + 1, 7).toString(), u"три"_s);
    QCOMPARE(sheet.value(total + 5, 7).toString(), u"девятьсот тридцать три рубля 50 копеек"_s);

    // The commission as stored; a member not given is an empty line, never made up.
    const int chair = rowOf(sheet, 3, u"Председатель комиссии"_s);
    QCOMPARE(sheet.value(chair, 4).toString(), u"шеф-повар Иванов И.И."_s);
    QCOMPARE(sheet.value(chair + 1, 4).toString(), u"должность, фамилия, инициалы"_s);
    QCOMPARE(sheet.value(chair + 2, 3).toString(), u"Члены комиссии"_s);
    QVERIFY(sheet.value(chair + 2, 4).isNull());
    QCOMPARE(sheet.value(chair + 4, 4).toString(), u"кладовщик Петрова А.А."_s);
    QVERIFY(
        sheet.value(chair + 7, 1)
            .toString()
            .startsWith(u"Все ценности, поименованные в настоящей инвентаризационной описи с № 1 по № 3,"_s));
    QCOMPARE(sheet.pageSetup().orientation, PageOrientation::Landscape);
    QCOMPARE(sheet.pageSetup().paperSize, 9);
    QVERIFY(book.problems().isEmpty());
}

void tst_InventoryFormsPrint::listClosesEveryPageWithItsTotals()
{
    Kitchen k;
    const int lines = InventoryFormsPrint::linesPerPage + 1;
    for (int n = 1; n <= lines; ++n)
        k.line(u"Товар %1"_s.arg(n, 2, 10, QChar(u'0')), 1, 2, 1000);
    Workbook book;
    QString error;
    QVERIFY(InventoryFormsPrint(k.data.db()).fill(book, k.inventory, InventoryForm::List, &error));
    const Sheet& sheet = book.sheet(1);
    // Empty details: no organisation and no ОКПО are made up.
    QVERIFY(sheet.value(rowOf(sheet, 12, u"по ОКПО"_s), 13).isNull());
    QVERIFY(sheet.value(rowOf(sheet, 1, u"организация"_s) - 1, 1).isNull());

    const int heading = rowOf(sheet, 1, u"Номер по порядку"_s);
    const int firstPageTotal = heading + 3 + InventoryFormsPrint::linesPerPage;
    QCOMPARE(sheet.value(firstPageTotal, 3).toString(), u"Итого по странице"_s);
    QCOMPARE(sheet.value(firstPageTotal, 11).toDouble(), 40000.0);
    QCOMPARE(sheet.value(firstPageTotal + 1, 7).toString(), u"двадцать"_s);
    QCOMPARE(sheet.value(firstPageTotal + 3, 7).toString(), u"сорок"_s);
    QCOMPARE(sheet.value(firstPageTotal + 5, 7).toString(), u"сорок тысяч рублей 00 копеек"_s);
    // The second page starts with its first line and closes with its own totals.
    const int secondPage = firstPageTotal + 7;
    QCOMPARE(sheet.pageSetup().pageBreaksBefore, (std::vector<int>{heading, secondPage}));
    QCOMPARE(sheet.value(secondPage, 1).toDouble(), double(lines));
    QCOMPARE(sheet.value(secondPage + 1, 3).toString(), u"Итого по странице"_s);
    QCOMPARE(sheet.value(secondPage + 1, 11).toDouble(), 2000.0);
    QCOMPARE(sheet.value(secondPage + 2, 7).toString(), u"один"_s);
    QCOMPARE(sheet.value(secondPage + 6, 7).toString(), u"две тысячи рублей 00 копеек"_s);
    const int total = rowOf(sheet, 2, u"Итого по описи:"_s);
    QCOMPARE(sheet.value(total + 1, 7).toString(), u"двадцать один"_s);
    QCOMPARE(sheet.value(total + 5, 7).toString(), u"сорок две тысячи рублей 00 копеек"_s);
}

void tst_InventoryFormsPrint::comparisonHoldsOnlyDifferences()
{
    Kitchen k;
    k.organisation();
    k.line(u"Соль"_s, 2, 2.0000000001, 15.5); // no difference to the gram
    const qlonglong apples = k.line(u"Яблоки"_s, 10, 7.5, 120.333);
    const qlonglong flour = k.line(u"Мука"_s, 4, 5.25, 40);
    k.line(u"Масло"_s, 0, QVariant(), 800); // nothing either way
    Workbook book;
    QString error;
    QVERIFY2(InventoryFormsPrint(k.data.db()).fill(book, k.inventory, InventoryForm::Comparison, &error),
             qPrintable(error));
    const Sheet& sheet = book.sheet(1);
    QCOMPARE(sheet.name(), u"ИНВ-19"_s);
    QCOMPARE(sheet.value(rowOf(sheet, 10, u"Форма по ОКУД"_s), 11).toString(), u"0317021"_s);
    QVERIFY(rowOf(sheet, 2, u"СЛИЧИТЕЛЬНАЯ ВЕДОМОСТЬ"_s) > 0);
    const int heading = rowOf(sheet, 1, u"Номер по порядку"_s);
    QCOMPARE(sheet.pageSetup().printTitleRows->toString(), u"%1:%2"_s.arg(heading).arg(heading + 2));
    const QVariant none;
    const int first = heading + 3;
    compareRow(sheet, first,
               {1.0, u"Мука"_s, double(flour), none, u"кг"_s, none, none, 1.25, 50.0, none, none});
    compareRow(sheet, first + 1,
               {2.0, u"Яблоки"_s, double(apples), none, u"кг"_s, none, none, none, none, 2.5, 300.83});
    compareRow(sheet, first + 2, {none, u"Итого"_s, none, none, none, none, none, none, 50.0, none, 300.83});
    QCOMPARE(sheet.value(rowOf(sheet, 2, u"Излишек на сумму"_s), 5).toString(),
             u"пятьдесят рублей 00 копеек"_s);
    QCOMPARE(sheet.value(rowOf(sheet, 2, u"Недостача на сумму"_s), 5).toString(),
             u"триста рублей 83 копейки"_s);
    QCOMPARE(sheet.value(rowOf(sheet, 2, u"Председатель комиссии"_s), 3).toString(),
             u"шеф-повар Иванов И.И."_s);
}

void tst_InventoryFormsPrint::missingDocumentIsRefused()
{
    Kitchen k;
    Workbook book;
    QString error;
    QVERIFY(!InventoryFormsPrint(k.data.db()).fill(book, k.inventory + 1, InventoryForm::List, &error));
    QCOMPARE(error, u"Инвентаризация %1 не найдена."_s.arg(k.inventory + 1));
    QCOMPARE(book.sheet(1).rowCount(), 0);
}

QTEST_GUILESS_MAIN(tst_InventoryFormsPrint)
#include "tst_InventoryFormsPrint.moc"
