#include "reports/PageFlow.h"
#include "reports/Workbook.h"

#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

// Blocks of rows (costing cards, a table's end with its totals) are moved whole onto the next page
// when they would be split, and only then.
class tst_PageFlow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void blockThatWouldBeSplitBeginsAPage_data()
    {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("blockRows");
        QTest::addColumn<QList<int>>("breaks");
        // A4 portrait holds 46 rows of the default 15 points, the title row repeated on each page.
        QTest::newRow("third card would be split") << false << 20 << QList<int>{42};
        // Landscape holds 30: every second card of 14 rows goes over.
        QTest::newRow("landscape") << true << 14 << QList<int>{30, 58};
        // A block taller than a page is split anyway: no break in front of it would help.
        QTest::newRow("taller than a page") << false << 60 << QList<int>{};
    }

    void blockThatWouldBeSplitBeginsAPage()
    {
        QFETCH(bool, landscape);
        QFETCH(int, blockRows);
        QFETCH(QList<int>, breaks);
        Workbook book;
        Sheet& sheet = book.sheet(1);
        if (landscape)
            sheet.setPageOrientation(PageOrientation::Landscape);
        sheet.setPrintTitleRows(u"$1:$1");
        std::vector<std::pair<int, int>> blocks;
        for (int first = 2; first + blockRows - 1 <= 81; first += blockRows)
            blocks.emplace_back(first, first + blockRows - 1);
        for (int row = 1; row <= blocks.back().second; ++row)
            sheet.cell(row, 1).setValue(row);
        pageflow::keepTogether(sheet, blocks);
        const std::vector<int>& set = sheet.pageSetup().pageBreaksBefore;
        QCOMPARE(QList<int>(set.begin(), set.end()), breaks);
        QVERIFY(sheet.problems().isEmpty());
    }

    // A table written under a heading of two rows: where a line would not fit, a page break goes above
    // it and the heading is written again; the lines taken back are not left behind.
    void tableLongerThanAPageRepeatsItsHeading_data()
    {
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QList<int>>("breaks");
        // A4 portrait holds 46 rows of 15 points.
        QTest::newRow("fits its page") << 1 << 44 << QList<int>{};
        QTest::newRow("three pages") << 1 << 100 << QList<int>{47, 93};
        // Rows above fill all but two rows of the page: the heading goes on with its first line.
        QTest::newRow("heading at the foot of a page") << 45 << 10 << QList<int>{45};
    }

    void tableLongerThanAPageRepeatsItsHeading()
    {
        QFETCH(int, firstRow);
        QFETCH(int, lines);
        QFETCH(QList<int>, breaks);
        Workbook book;
        Sheet& sheet = book.sheet(1);
        for (int row = 1; row < firstRow; ++row)
            sheet.cell(row, 2).setValue(u"выше"_s);
        pageflow::Pages pages(sheet, pageflow::Pages::Ends::Breaks);
        const auto heading = [&](int row) {
            sheet.cell(row, 1).setValue(u"№"_s);
            sheet.range(row, 1, row + 1, 1).merge();
            sheet.cell(row + 1, 2).setValue(u"наименование"_s);
            return row + 2;
        };
        const auto line = [&](int row, int n) {
            sheet.cell(row, 1).setValue(n + 1);
            return row + 1;
        };
        const int end = pageflow::continuedTable(pages, firstRow, lines, heading, line);

        const std::vector<int>& set = sheet.pageSetup().pageBreaksBefore;
        QCOMPARE(QList<int>(set.begin(), set.end()), breaks);
        // Every page of the table begins with the heading, and the lines run on 1, 2, ... once each.
        for (const int row : set)
            QCOMPARE(sheet.value(row, 1), QVariant(u"№"_s));
        int expected = 1;
        int headings = 0;
        for (int row = firstRow; row < end; ++row) {
            const QVariant value = sheet.value(row, 1);
            if (value == QVariant(u"№"_s))
                ++headings;
            else if (value.isValid())
                QCOMPARE(value.toInt(), expected++);
        }
        QCOMPARE(expected, lines + 1);
        QCOMPARE(headings,
                 1 + int(std::count_if(set.begin(), set.end(), [&](int row) { return row > firstRow; })));
        QCOMPARE(sheet.rowCount(), end - 1);
        QCOMPARE(sheet.merges().size(), std::size_t(headings));
        QVERIFY(sheet.problems().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_PageFlow)
#include "tst_PageFlow.moc"
