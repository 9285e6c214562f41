#include "SalesKitchen.h"

#include "reports/Workbook.h"
#include "sales/SalesDocumentPrintJob.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

// The page and the command line print a sales document through this job alone, so what the user
// is told (and in which order) is decided here: the calculation first, then the print.
class tst_SalesDocumentPrintJob : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void calculationThenPrint_data();
    void calculationThenPrint();
};

void tst_SalesDocumentPrintJob::calculationThenPrint_data()
{
    QTest::addColumn<bool>("cross");
    QTest::addColumn<double>("status");
    QTest::addColumn<bool>("zeroPortions");
    QTest::addColumn<QString>("title");   // empty: refused
    QTest::addColumn<QString>("refusal"); // caption|error, empty when printed
    QTest::addColumn<QStringList>("notices");

    const QString calculation = u"Ошибка расчёта реализации"_s;
    const QString postedCalculation = calculation + u"|Документ проведён. Расчёт не производится !!!"_s;
    QTest::newRow("open, tables") << false << 5.0 << false << u"Реализация 01.03.2024"_s << QString()
                                  << QStringList();
    QTest::newRow("open, cross table")
        << true << 5.0 << false << u"Раскладка ингредиентов 01.03.2024"_s << QString() << QStringList();
    // The working cards cannot be computed: nothing is printed, and nothing else is said.
    QTest::newRow("open, refused by the calculation")
        << false << 5.0 << true << QString() << calculation << QStringList();
    // A posted document prints from its stored rows, after the calculation's refusal is told.
    QTest::newRow("posted, tables") << false << 4.0 << false << u"Реализация 01.03.2024"_s << QString()
                                    << QStringList{
                                           postedCalculation,
                                           u"Ошибка печати технологических карт|Документ проведён. Печать "
                                           u"технологических карт не производится !!!"_s};
    QTest::newRow("posted, cross table") << true << 4.0 << false << u"Раскладка ингредиентов 01.03.2024"_s
                                         << QString() << QStringList{postedCalculation};
}

void tst_SalesDocumentPrintJob::calculationThenPrint()
{
    QFETCH(bool, cross);
    QFETCH(double, status);
    QFETCH(bool, zeroPortions);
    QFETCH(QString, title);
    QFETCH(QString, refusal);
    QFETCH(QStringList, notices);

    SalesKitchen k;
    const qlonglong potato = k.ingredient(k.vegetables, u"Картофель"_s, k.kg, 20, 50, 80);
    const qlonglong borscht = k.dish(k.soups, u"Борщ"_s, zeroPortions ? 0 : 5, u"300"_s);
    k.card(borscht, potato, 250);
    const qlonglong doc = k.document(u"2024-03-01"_s, u"Смена 1"_s, status);
    k.line(doc, k.soups, borscht, 4, 10);
    if (status < 5)
        k.consumed(doc, k.vegetables, potato, 0.2, 20, 30, k.kg);

    const PrintedWorkbook printed = SalesDocumentPrintJob(k.data.db(), doc,
                                                          cross ? SalesDocumentPrintJob::Layout::CrossTable
                                                                : SalesDocumentPrintJob::Layout::Tables)
                                        .run({});
    QStringList told;
    for (const PrintNotice& notice : printed.notices)
        told << notice.caption + u'|' + notice.text;
    QCOMPARE(told, notices);
    QCOMPARE(bool(printed.workbook), refusal.isEmpty());
    QCOMPARE(printed.title, title);
    if (!refusal.isEmpty())
        QVERIFY2((printed.caption + u'|' + printed.error).startsWith(refusal), qPrintable(printed.error));
}

QTEST_GUILESS_MAIN(tst_SalesDocumentPrintJob)
#include "tst_SalesDocumentPrintJob.moc"
