#include "reports/PageFlow.h"
#include "reports/Workbook.h"

#include <QTest>

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
};

QTEST_GUILESS_MAIN(tst_PageFlow)
#include "tst_PageFlow.moc"
