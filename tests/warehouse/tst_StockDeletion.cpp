#include "FaultInjection.h"
#include "StockKitchen.h"

#include "warehouse/StockDeletion.h"

#include <QTest>

class StockDeletionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rollBack_data();
    void rollBack();
    void period_data();
    void period();
    void refusalsDeleteNothing();
    void faultAtEveryStepChangesNothing();
};

void StockDeletionTest::rollBack_data()
{
    QTest::addColumn<bool>("rollBack");
    QTest::addColumn<bool>("posted");
    QTest::addColumn<double>("balance");
    QTest::newRow("posted, rolled back: 10 - 5 + 2") << true << true << 7.0;
    QTest::newRow("posted, kept") << false << true << 10.0;
    QTest::newRow("unposted, roll-back changes nothing") << true << false << 10.0;
}

void StockDeletionTest::rollBack()
{
    QFETCH(bool, rollBack);
    QFETCH(bool, posted);
    QFETCH(double, balance);
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 10, 13);
    const qlonglong gone = k.ingredient(u"Репа"_s, 0, 1);
    const qlonglong other = k.ingredient(u"Лук"_s, 4, 1);
    const qlonglong receipt = k.document(u"2024-03-01"_s, posted);
    k.line(receipt, potato, 5, 15, u"P"_s, posted);
    k.line(receipt, gone, 8, 15, u"P"_s, posted);
    const qlonglong issue = k.document(u"2024-03-02"_s, posted);
    // The document's flag counts, not the line's.
    k.line(issue, potato, 2, 15, u"R"_s, false);
    k.data.scalar(u"DELETE FROM Ing WHERE Kod1 = ?"_s, {gone});

    StockDeletion deletion(k.data.db(), k.prompts);
    QString error;
    QVERIFY(deletion.deleteDocument(receipt, rollBack, &error));
    QVERIFY(deletion.deleteDocument(issue, rollBack, &error));
    QCOMPARE(k.balance(potato), balance);
    QCOMPARE(k.price(potato), 13.0); // prices are never rolled back
    QCOMPARE(k.balance(other), 4.0);
    QCOMPARE(k.data.count(u"Ing"_s), 2); // the line of the vanished ingredient made no new one
    QCOMPARE(k.data.count(u"Doc"_s), 0);
    QCOMPARE(k.data.count(u"Move"_s), 0);
}

void StockDeletionTest::period_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("both end dates included")
        << QDate(2024, 3, 1) << QDate(2024, 3, 31) << QStringList{u"2024-02-29"_s, u"2024-04-01"_s};
    QTest::newRow("one day") << QDate(2024, 3, 31) << QDate(2024, 3, 31)
                             << QStringList{u"2024-02-29"_s, u"2024-03-01"_s, u"2024-03-15"_s,
                                            u"2024-04-01"_s};
    QTest::newRow("no documents") << QDate(2023, 1, 1) << QDate(2023, 1, 2)
                                  << QStringList{u"2024-02-29"_s, u"2024-03-01"_s, u"2024-03-15"_s,
                                                 u"2024-03-31"_s, u"2024-04-01"_s};
}

void StockDeletionTest::period()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, left);
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 0, 1);
    for (const QString& date :
         {u"2024-03-31"_s, u"2024-02-29"_s, u"2024-03-01"_s, u"2024-04-01"_s, u"2024-03-15"_s})
        k.line(k.document(date, true), potato, 1, 1, u"P"_s, true);
    const int expected = 5 - int(left.size());
    QCOMPARE(StockDeletion(k.data.db(), k.prompts).remove({true, from, to, true}, 0), expected);
    QCOMPARE(k.prompts.questions.size(), 1);
    QCOMPARE(k.prompts.last(),
             u"Удаление документов за период|Подтвердите удаление документов за период c %1 по %2 !!!"_s.arg(
                 from.toString(u"dd.MM.yyyy"_s), to.toString(u"dd.MM.yyyy"_s)));
    QStringList dates;
    QSqlQuery query(u"SELECT Date FROM Doc ORDER BY Date"_s, k.data.db());
    while (query.next())
        dates << query.value(0).toString();
    QCOMPARE(dates, left);
    QCOMPARE(k.data.count(u"Move"_s), int(left.size()));
    QCOMPARE(k.balance(potato), -double(expected));
}

void StockDeletionTest::refusalsDeleteNothing()
{
    StockKitchen k;
    const qlonglong doc = k.document(u"2024-03-10"_s, true);
    k.line(doc, k.ingredient(u"Картофель"_s, 1, 1), 1, 1, u"P"_s, true);
    StockDeletion deletion(k.data.db(), k.prompts);
    QCOMPARE(deletion.remove({true, QDate(2024, 3, 31), QDate(2024, 3, 1), true}, doc), -1);
    QCOMPARE(k.prompts.last(),
             u"Удаление документов за период|Дата начала периода больше даты конца периода !!!"_s);
    k.prompts.queueConfirm(false);
    QCOMPARE(deletion.remove({false, {}, {}, true}, doc), -1);
    QCOMPARE(k.prompts.last(), u"Удаление документа|Подтвердите удаление документа !!!"_s);
    QCOMPARE(k.data.count(u"Doc"_s), 1);
    QCOMPARE(deletion.remove({false, {}, {}, false}, doc), 1);
    QCOMPARE(k.data.count(u"Doc"_s) + k.data.count(u"Move"_s), 0);
}

void StockDeletionTest::faultAtEveryStepChangesNothing()
{
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 10, 1);
    for (const QString& date : {u"2024-03-01"_s, u"2024-03-02"_s}) {
        const qlonglong doc = k.document(date, true);
        k.line(doc, potato, 5, 1, u"P"_s, true);
        k.line(doc, k.ingredient(u"Лук"_s, 1, 1), 2, 1, u"R"_s, true);
    }
    StockDeletion deletion(k.data.db(), k.prompts);
    FaultInjection faults(k.data.db());
    QString changed;
    const int failures = faults.everyStep(
        [&] {
            return deletion.remove({true, QDate(2024, 3, 1), QDate(2024, 3, 2), true}, 0) == 2;
        },
        &changed);
    QVERIFY2(failures >= 8, qPrintable(changed));
    QCOMPARE(k.balance(potato), 0.0);
}

QTEST_GUILESS_MAIN(StockDeletionTest)
#include "tst_StockDeletion.moc"
