#include "reports/Workbook.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class tst_Workbook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void columnLetters_data();
    void columnLetters();
    void parsesAddresses_data();
    void parsesAddresses();
    void refusesAddresses_data();
    void refusesAddresses();
    void writesAndReadsValues();
    void refusesWhatACellCannotHold();
    void resolvesFormatsFromColumnRowAndCell();
    void mergeKeepsTheTitleWrittenIntoTheLastCell();
    void overlappingMergesBecomeOne();
    void bordersByEdge();
    void pageSetup();
    void sheetsAndNames();
};

void tst_Workbook::columnLetters_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("letters");
    QTest::newRow("first") << 1 << "A";
    QTest::newRow("last single") << 26 << "Z";
    QTest::newRow("first double") << 27 << "AA";
    QTest::newRow("AZ") << 52 << "AZ";
    QTest::newRow("BA") << 53 << "BA";
    QTest::newRow("II") << 243 << "II";
    QTest::newRow("last double") << 702 << "ZZ";
    QTest::newRow("first triple") << 703 << "AAA";
    QTest::newRow("last of the sheet") << 16384 << "XFD";
}

void tst_Workbook::columnLetters()
{
    QFETCH(int, column);
    QFETCH(QString, letters);
    QCOMPARE(CellArea::columnLetters(column), letters);
    QCOMPARE(CellArea::columnNumber(letters), column);
    QCOMPARE(CellArea::columnNumber(letters.toLower()), column);
}

void tst_Workbook::parsesAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("bounds"); // first row, first column, last row, last column
    QTest::addColumn<QString>("written");

    const int cells = static_cast<int>(CellArea::Kind::Cells);
    const int rows = static_cast<int>(CellArea::Kind::Rows);
    const int columns = static_cast<int>(CellArea::Kind::Columns);
    const int maxRow = CellArea::MaxRow;
    const int maxColumn = CellArea::MaxColumn;
    const int row = 17;
    QTest::newRow("cell") << "B3" << cells << QList<int>{3, 2, 3, 2} << "B3";
    QTest::newRow("block") << "A1:I1" << cells << QList<int>{1, 1, 1, 9} << "A1:I1";
    QTest::newRow("built from a row")
        << u"A%1:I%1"_s.arg(row) << cells << QList<int>{row, 1, row, 9} << "A17:I17";
    QTest::newRow("fixed") << "$A$2:$AB$40" << cells << QList<int>{2, 1, 40, 28} << "A2:AB40";
    QTest::newRow("reversed") << "c5:a1" << cells << QList<int>{1, 1, 5, 3} << "A1:C5";
    QTest::newRow("title row") << "$3:$3" << rows << QList<int>{3, 1, 3, maxColumn} << "3:3";
    QTest::newRow("rows") << "2:4" << rows << QList<int>{2, 1, 4, maxColumn} << "2:4";
    QTest::newRow("title column") << "$A:$A" << columns << QList<int>{1, 1, maxRow, 1} << "A:A";
    QTest::newRow("two-letter columns") << "A:II" << columns << QList<int>{1, 1, maxRow, 243} << "A:II";
    QTest::newRow("corner of the sheet")
        << "XFD1048576" << cells << QList<int>{maxRow, maxColumn, maxRow, maxColumn} << "XFD1048576";
}

void tst_Workbook::parsesAddresses()
{
    QFETCH(QString, address);
    QFETCH(int, kind);
    QFETCH(QList<int>, bounds);
    QFETCH(QString, written);
    const auto area = CellArea::parse(address);
    QVERIFY(area);
    QCOMPARE(static_cast<int>(area->kind), kind);
    QCOMPARE((QList<int>{area->firstRow, area->firstColumn, area->lastRow, area->lastColumn}), bounds);
    QCOMPARE(area->toString(), written);
    QCOMPARE(CellArea::parse(written), area);
}

void tst_Workbook::refusesAddresses_data()
{
    QTest::addColumn<QString>("address");
    for (const char* address :
         {"", "A", "1", "A0", "0:0", "A1:", ":A1", "A1:3", "A:3", "AAAA1", "XFE1", "A1048577", "A1:B2:C3",
          "1A", "A 1", "А1" /* Cyrillic A */, "A1$", "$$A1", "A-1"})
        QTest::newRow(address) << QString::fromUtf8(address);
}

void tst_Workbook::refusesAddresses()
{
    QFETCH(QString, address);
    QVERIFY(!CellArea::parse(address));

    // A print-out using such an address changes nothing and is told what went wrong.
    Workbook book;
    Sheet& sheet = book.sheet(1);
    Range range = sheet.range(address);
    QVERIFY(!range.isValid());
    range.setValue(u"x"_s).merge().font().setSize(12);
    QCOMPARE(sheet.rowCount(), 0);
    QCOMPARE(sheet.merges().size(), size_t(0));
    QCOMPARE(book.problems().size(), 1);
    QVERIFY(book.problems().first().startsWith(u"Лист «Лист1»: неверный адрес «%1»"_s.arg(address)));
}

void tst_Workbook::writesAndReadsValues()
{
    Workbook book;
    Sheet& sheet = book.sheet(1);
    QVERIFY(!sheet.cell(1, 1).value().isValid());

    sheet.cell(2, 2).setValue(u"Картофель молодой"_s);
    sheet.cell(2, 3).setValue(7.25);
    sheet.cell(2, 1).setValue(1); // written out of column order
    QCOMPARE(sheet.cell(2, 2).value(), QVariant(u"Картофель молодой"_s));
    QCOMPARE(sheet.range(u"C2").value(), QVariant(7.25));
    QCOMPARE(sheet.value(2, 1), QVariant(1.0));
    QCOMPARE(sheet.cellsOfRow(2).size(), size_t(3));

    // A cross table adds to what a cell holds, an empty cell counting as 0.
    for (double quantity : {0.25, 0.5, 0.125})
        sheet.cell(5, 6).setValue(sheet.cell(5, 6).value().toDouble() + quantity);
    QCOMPARE(sheet.value(5, 6), QVariant(0.875));

    // Texts replaced by shorter and longer ones, by a number and by nothing.
    sheet.cell(2, 2).setValue(u"Лук"_s);
    QCOMPARE(sheet.value(2, 2), QVariant(u"Лук"_s));
    sheet.cell(2, 2).setValue(u"Лук репчатый очищенный"_s);
    QCOMPARE(sheet.value(2, 2), QVariant(u"Лук репчатый очищенный"_s));
    sheet.cell(2, 2).setValue(3);
    QCOMPARE(sheet.value(2, 2), QVariant(3.0));
    sheet.cell(2, 2).setValue(QString());
    QVERIFY(!sheet.value(2, 2).isValid());

    // A block takes the value in every cell, each keeping its own copy.
    sheet.range(u"A7:C8").setValue(u"—"_s);
    sheet.cell(7, 2).setValue(u"+"_s);
    QCOMPARE(sheet.value(8, 3), QVariant(u"—"_s));
    QCOMPARE(sheet.value(7, 1), QVariant(u"—"_s));
    QCOMPARE(sheet.value(7, 2), QVariant(u"+"_s));
    QVERIFY(book.problems().isEmpty());
}

void tst_Workbook::refusesWhatACellCannotHold()
{
    Workbook book;
    Sheet& sheet = book.sheet(1);
    sheet.cell(1, 1).setValue(5);
    // A division by a zero yield must not reach the file as a value no application reads.
    sheet.cell(1, 1).setValue(std::numeric_limits<double>::infinity());
    sheet.cell(1, 2).setValue(std::numeric_limits<double>::quiet_NaN());
    sheet.cell(1, 3).setValue(QString(32768, u'x'));
    sheet.row(2).setValue(1);
    sheet.cell(0, 1).setValue(1);
    sheet.cell(1, CellArea::MaxColumn + 1).setValue(1);
    sheet.range(u"A1:B1").setOrientation(120);
    sheet.range(u"A1").font().setSize(0);
    sheet.range(u"A1").borders().setWeight(7);
    sheet.columns(1, 2).merge();
    sheet.setColumnWidth(1, 300);

    QCOMPARE(sheet.value(1, 1), QVariant(5.0));
    QVERIFY(!sheet.value(1, 2).isValid());
    QVERIFY(!sheet.value(1, 3).isValid());
    QVERIFY(sheet.cellsOfRow(2).empty());
    QCOMPARE(sheet.format(1, 1), CellFormat{});
    QVERIFY(sheet.merges().empty());
    QVERIFY(!sheet.columnWidth(1));
    const QStringList problems = book.problems();
    QCOMPARE(problems.size(), 11);
    QVERIFY(problems[0].contains(u"A1"));
    QVERIFY(problems[0].contains(u"inf"));
    QVERIFY(problems[2].contains(u"C1"));
}

void tst_Workbook::resolvesFormatsFromColumnRowAndCell()
{
    Workbook book;
    Sheet& sheet = book.sheet(1);
    // As a costing card sets up its sheet: column A centred, a bold title row, cells of their own.
    sheet.column(1).setHorizontalAlignment(HAlign::Center).setVerticalAlignment(VAlign::Center);
    sheet.columns(6, 8).setNumberFormat(u"0.00"_s);
    sheet.cell(3, 1).setValue(u"Супы"_s).setHorizontalAlignment(HAlign::Left);
    sheet.row(3).font().setName(u"Times New Roman"_s).setSize(16).setBold(true).setColor(0);
    sheet.cell(3, 2).font().setSize(10); // before the row: the cell's own size still wins
    sheet.row(5).setHorizontalAlignment(HAlign::Right);
    sheet.range(u"F3:H3").setNumberFormat(u"0"_s);
    sheet.cell(3, 9).setValue(u"written after the row was formatted"_s);

    CellFormat centred;
    centred.horizontalAlignment = HAlign::Center;
    centred.verticalAlignment = VAlign::Center;
    CellFormat title;
    title.fontName = u"Times New Roman"_s;
    title.fontSize = 16;
    title.bold = true;
    title.fontColor = 0;
    const auto with = [](CellFormat format, auto change) {
        change(format);
        return format;
    };
    const CellFormat money = with(CellFormat{}, [](CellFormat& f) { f.numberFormat = u"0.00"_s; });

    const struct
    {
        int row;
        int column;
        CellFormat expected;
    } cases[] = {
        {1, 1, centred},
        {3, 1,
         with(with(centred, [&](CellFormat& f) { f.overlay(title); }),
              [](CellFormat& f) { f.horizontalAlignment = HAlign::Left; })},
        {3, 2, with(title, [](CellFormat& f) { f.fontSize = 10; })},
        {3, 9, title},
        {3, 6, with(title, [](CellFormat& f) { f.numberFormat = u"0"_s; })},
        {4, 7, money},
        {5, 1, with(centred, [](CellFormat& f) { f.horizontalAlignment = HAlign::Right; })},
        {5, 8, with(money, [](CellFormat& f) { f.horizontalAlignment = HAlign::Right; })},
        {5, 9, with(CellFormat{}, [](CellFormat& f) { f.horizontalAlignment = HAlign::Right; })},
        {6, 2, CellFormat{}},
    };
    for (const auto& check : cases) {
        const QByteArray where =
            CellArea{CellArea::Kind::Cells, check.row, check.column, check.row, check.column}
                .toString()
                .toLatin1();
        QVERIFY2(sheet.format(check.row, check.column) == check.expected, where.constData());
    }
}

void tst_Workbook::mergeKeepsTheTitleWrittenIntoTheLastCell()
{
    Workbook book;
    Sheet& sheet = book.sheet(1);
    // Written as a print-out would, with plain literals.
    sheet.cell(1, 9).setValue("Меню");
    sheet.range("A1:I1").merge();
    QCOMPARE(sheet.value(1, 1), QVariant(u"Меню"_s));
    QVERIFY(!sheet.value(1, 9).isValid());
    QCOMPARE(sheet.merges(), std::vector<CellArea>{*CellArea::parse(u"A1:I1")});

    // With several values, the first in reading order stays, as a spreadsheet keeps it.
    sheet.cell(3, 2).setValue(12.5);
    sheet.cell(3, 3).setValue(u"second"_s);
    sheet.cell(4, 1).setValue(u"third"_s);
    sheet.range(u"A3:C4").merge();
    QCOMPARE(sheet.value(3, 1), QVariant(12.5));
    for (const auto& [row, column] : {std::pair{3, 2}, {3, 3}, {4, 1}})
        QVERIFY(!sheet.value(row, column).isValid());

    // Merging one cell changes nothing.
    sheet.cell(6, 2).setValue(1);
    sheet.cell(6, 2).merge();
    QCOMPARE(sheet.merges().size(), size_t(2));
    QVERIFY(book.problems().isEmpty());
}

void tst_Workbook::overlappingMergesBecomeOne()
{
    Workbook book;
    Sheet& sheet = book.sheet(1);
    sheet.range(u"A3:C3").merge();
    sheet.range(u"E3:F3").merge();
    sheet.range(u"A10:B10").merge();
    sheet.range(u"C3:E4").merge(); // bridges the first two
    sheet.range(u"A3:C3").merge(); // already inside
    QCOMPARE(sheet.merges().size(), size_t(2));
    QVERIFY(std::find(sheet.merges().begin(), sheet.merges().end(), *CellArea::parse(u"A3:F4")) !=
            sheet.merges().end());
}

void tst_Workbook::bordersByEdge()
{
    Workbook book;
    Sheet& sheet = book.sheet(1);
    // A data row of a print-out: all lines thin and continuous, then the bottom black and the other
    // edges without a line.
    Range row = sheet.range(u"A%1:H%1"_s.arg(7));
    row.borders().setLineStyle(LineStyle::Continuous);
    row.borders().setWeight(BorderWeight::Thin);
    row.borders(Edge::Bottom).setColorIndex(ColorIndex::Black);
    for (Edge edge : {Edge::Left, Edge::Right, Edge::Top})
        row.borders(edge).setColorIndex(XlNone);
    // A table of the cross table: every line of every cell.
    sheet.range(u"B9:C10").borders().setLineStyle(1);
    sheet.range(u"B9:C10").borders().setWeight(2);
    sheet.range(u"B9:C10").borders().setColorIndex(0);

    for (int column = 1; column <= 8; ++column) {
        const CellFormat format = sheet.format(7, column);
        QVERIFY(format.border(Edge::Bottom).isVisible());
        QCOMPARE(format.border(Edge::Bottom).colorIndex, std::optional<int>(1));
        QCOMPARE(format.border(Edge::Bottom).weight, std::optional<int>(2));
        for (Edge edge : {Edge::Left, Edge::Right, Edge::Top})
            QVERIFY(!format.border(edge).isVisible());
    }
    QVERIFY(!sheet.format(7, 9).border(Edge::Bottom).isVisible());
    QVERIFY(!sheet.format(8, 1).border(Edge::Top).isVisible());
    for (Edge edge : {Edge::Left, Edge::Right, Edge::Top, Edge::Bottom})
        QVERIFY(sheet.format(10, 3).border(edge).isVisible());

    // Only a colour makes a line; "no line" as a style removes it whatever the colour.
    sheet.cell(12, 1).borders(Edge::Top).setColorIndex(3);
    QVERIFY(sheet.format(12, 1).border(Edge::Top).isVisible());
    sheet.cell(12, 1).borders(Edge::Top).setLineStyle(XlNone);
    QVERIFY(!sheet.format(12, 1).border(Edge::Top).isVisible());
    // Empty formatted cells are kept, so their lines reach the file.
    QCOMPARE(sheet.cellsOfRow(7).size(), size_t(8));
    QVERIFY(!sheet.value(7, 1).isValid());
}

void tst_Workbook::pageSetup()
{
    Workbook book;
    Sheet& sheet = book.sheet(1);
    QVERIFY(sheet.setPrintTitleRows(u"$4:$4"));
    QVERIFY(sheet.setPrintTitleColumns(u"$A:$A"));
    sheet.setPageOrientation(PageOrientation::Landscape);
    sheet.setLeftMargin(10);
    sheet.setRightMargin(10);
    sheet.setColumnWidth(2, 10.2);
    sheet.range(u"C:E").setColumnWidth(8.3);
    sheet.columns(4, 4).setColumnWidth(12.5);

    const PageSetup& page = sheet.pageSetup();
    QCOMPARE(page.printTitleRows, CellArea::rows(4, 4));
    QCOMPARE(page.printTitleColumns, CellArea::columns(1, 1));
    QCOMPARE(page.orientation, PageOrientation::Landscape);
    QCOMPARE(page.leftMargin, std::optional<double>(10));
    QCOMPARE(page.rightMargin, std::optional<double>(10));
    QCOMPARE(sheet.columnWidth(2), std::optional<double>(10.2));
    QCOMPARE(sheet.columnWidth(3), std::optional<double>(8.3));
    QCOMPARE(sheet.columnWidth(4), std::optional<double>(12.5));
    QCOMPARE(sheet.columnWidth(1), std::nullopt);
    QCOMPARE(sheet.columnWidth(6), std::nullopt);

    // Rows where columns are wanted and the other way round are refused and keep the titles.
    QVERIFY(!sheet.setPrintTitleRows(u"$A:$A"));
    QVERIFY(!sheet.setPrintTitleColumns(u"$3:$3"));
    QCOMPARE(page.printTitleRows, CellArea::rows(4, 4));
    QCOMPARE(book.problems().size(), 2);
    QVERIFY(sheet.setPrintTitleRows(u""));
    QCOMPARE(page.printTitleRows, std::nullopt);
}

void tst_Workbook::sheetsAndNames()
{
    Workbook book;
    QCOMPARE(book.sheetCount(), 1);
    QCOMPARE(book.sheet(1).name(), u"Лист1"_s);
    QVERIFY(book.sheet(1).setName(u"Лист3"_s));
    book.sheet(3).cell(1, 1).setValue(1);
    QCOMPARE(book.sheetCount(), 3);
    QCOMPARE(book.sheet(2).name(), u"Лист2"_s);
    QCOMPARE(book.sheet(3).name(), u"Лист4"_s);

    Sheet& sheet = book.sheet(2);
    QVERIFY(sheet.setName(u"Меню на 01.02.2024 г."_s));
    const QString refused[] = {QString(), u"лист3"_s,    u"Итого: май"_s,
                               u"а/б"_s,  u"'кавычка"_s, QString(32, u'я')};
    for (const QString& name : refused)
        QVERIFY2(!sheet.setName(name), qPrintable(name));
    QCOMPARE(sheet.name(), u"Меню на 01.02.2024 г."_s);
    QVERIFY(sheet.setName(QString(31, u'я')));
    QCOMPARE(book.problems().size(), 6);
}

QTEST_APPLESS_MAIN(tst_Workbook)
#include "tst_Workbook.moc"
