#include "FaultInjection.h"
#include "SalesKitchen.h"
#include "ServerKitchen.h"

#include "reports/Workbook.h"
#include "sales/ConsumptionCalculator.h"
#include "sales/SalesSummary.h"
#include "store/ThreadConnection.h"

#include <QSemaphore>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

struct Kitchen : SalesKitchen
{
    qlonglong potato = ingredient(vegetables, u"Картофель"_s, kg, 20, 50, 80);
    qlonglong beef = ingredient(meat, u"Говядина"_s, kg, 400, 25, 75);
    qlonglong borscht = dish(soups, u"Борщ"_s, 5);
    qlonglong cutlet = dish(mains, u"Котлета"_s, 1);

    Kitchen()
    {
        card(borscht, potato, 250); // 0.0625 kg a portion
        card(cutlet, beef, 150);    // 0.2 kg a portion
    }

    SalesSummaryResult run(const QDate& start = {2024, 3, 1}, const QDate& end = {2024, 3, 3})
    {
        progress.clear();
        return SalesSummary(data.db()).run(start, end, [this](int percent) {
            progress << percent;
            return true;
        });
    }
    int count(const QString& sql, const QVariantList& values = {})
    {
        return data.scalar(sql, values).toInt();
    }

    QList<int> progress;
};

// The rows a query gives, as text.
QStringList rowsOf(const QSqlDatabase& db, const QString& sql)
{
    QStringList rows;
    QSqlQuery query(sql, db);
    while (query.next()) {
        QString row;
        for (int i = 0; i < query.record().count(); ++i)
            row += query.value(i).toString() + u'|';
        rows << row;
    }
    return rows;
}

// Two periods of one open document each, selling a dish of its own, on a kitchen of either engine
// (explicit keys, so that both give the same); the scratch tables hold an older summary's rows.
void fillTwoPeriods(const QSqlDatabase& db)
{
    const QStringList statements{
        u"INSERT INTO Edinica (Kod, Name, Shorthame, Gramm) VALUES (1, 'килограмм', 'кг', 1000)"_s,
        u"INSERT INTO Gring (Kod, Name) VALUES (1, 'Овощи')"_s,
        u"INSERT INTO Ing (Kod1, Kod, Name, Edinica, Cena, Proc, Vih, Pf) VALUES "
        "(1, 1, 'Картофель', 1, 20, 50, 80, 0), (2, 1, 'Свёкла', 1, 30, 0, 100, 0)"_s,
        u"INSERT INTO Grbludo (Kod, Name) VALUES (1, 'Супы')"_s,
        u"INSERT INTO Bludo (Kod1, Kod, Name, Nporc, Proc) VALUES (1, 1, 'Щи', 1, 0), (2, 1, 'Борщ', 1, 0)"_s,
        u"INSERT INTO Karta (Kod, Name, Kolvo, Vihod) VALUES (1, 1, 200, 100), (2, 2, 300, 100)"_s,
        u"INSERT INTO Realdoc (Kod, DateR, NameR, Status) VALUES (1, '2024-03-01', 'Смена 1', 5), "
        "(2, '2024-04-01', 'Смена 1', 5)"_s,
        u"INSERT INTO Realsum (Kod, KodGrBludo, KodBludo, Kolvo, Cumma) VALUES (1, 1, 1, 3, 10), "
        "(2, 1, 2, 7, 20)"_s,
        u"INSERT INTO Svodb (Kod, Kolvo, Summa) VALUES (1, 99, 99)"_s};
    for (const QString& sql : statements) {
        QString error;
        if (!execSql(db, sql, {}, &error))
            qFatal("%s: %s", qPrintable(sql), qPrintable(error));
    }
}

} // namespace

class tst_SalesSummary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void periodCellByCell();
    void averagePrice_data();
    void averagePrice();
    void startAfterEndGivesZeroTotals();
    void refusedCalculationStopsBeforeTheScratchTables();
    void goneDishDropsOutAndIsSaid();
    void scratchTablesAreWholeOrAsBefore();
    void onePassAsDocumentByDocument();
    void stoppedLeavesNothing();
    void twoSummariesAtOnce_data();
    void twoSummariesAtOnce();
};

void tst_SalesSummary::periodCellByCell()
{
    Kitchen k;
    // Open: recalculated from its lines with portions sold, so the cutlet of 0 portions adds nothing.
    const qlonglong open = k.document(u"2024-03-01"_s);
    k.line(open, k.soups, k.borscht, 2, 10);
    k.line(open, k.mains, k.cutlet, 0, 50);
    // Posted: counts with the consumption it stored.
    const qlonglong posted = k.document(u"2024-03-02"_s, u"Смена 2"_s, 4);
    k.line(posted, k.soups, k.borscht, 2, 12);
    k.line(posted, k.mains, k.cutlet, 1, 50);
    k.consumed(posted, k.meat, k.beef, 0.2, 400, 500, k.kg);
    k.consumed(posted, k.vegetables, k.potato, 0.125, 20, 30, k.kg);
    // Open but not of status 5, on the last day: its lines count, it is not recalculated.
    const qlonglong other = k.document(u"2024-03-03"_s, u"Смена 3"_s, 6);
    k.line(other, k.soups, k.borscht, 1, 10);
    // After the period.
    k.line(k.document(u"2024-03-04"_s), k.soups, k.borscht, 100, 10);

    const SalesSummaryResult result = k.run();
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.documents, 3);
    QCOMPARE(result.recalculated, 1);
    QCOMPARE(k.count(u"SELECT count(*) FROM RealItog WHERE Kod = ?"_s, {open}), 1);
    QCOMPARE(k.count(u"SELECT count(*) FROM RealItog WHERE Kod = ?"_s, {other}), 0);
    QCOMPARE(result.workbook->sheetCount(), 2);
    QVERIFY(result.workbook->problems().isEmpty());

    // Groups and dishes by name: the main course before the soups; 54.00 for 5 portions is 10.80.
    const Sheet& dishes = result.workbook->sheet(1);
    QCOMPARE(dishes.name(), u"Свод Буфетон"_s);
    compareCells(dishes, {{"A1", u"Сводная таблица Буфетон"_s},
                          {"A2", u"за период с 01.03.2024 по 03.03.2024"_s},
                          {"B3", none},
                          {"B4", u"Наименование блюда"_s},
                          {"I4", u"Сумма"_s},
                          {"A5", u"Горячее"_s},
                          {"B6", u"Котлета"_s},
                          {"G6", 1.0},
                          {"H6", 50.0},
                          {"I6", 50.0},
                          {"F7", u"Всего за группу:"_s},
                          {"I7", 50.0},
                          {"A8", u"Супы"_s},
                          {"B9", u"Борщ"_s},
                          {"G9", 5.0},
                          {"H9", 10.8},
                          {"I9", 54.0},
                          {"F10", u"Всего за группу:"_s},
                          {"I10", 54.0},
                          {"F11", u"Итого реализовано:"_s},
                          {"I11", 104.0},
                          {"F12", none}});
    QCOMPARE(dishes.pageSetup().printTitleRows->toString(), u"4:4"_s);
    QCOMPARE(dishes.format(9, 9).numberFormat, u"0.00"_s);
    QCOMPARE(dishes.format(9, 8).numberFormat, std::nullopt);
    QCOMPARE(dishes.format(2, 1).fontSize, 18.0);
    QCOMPARE((QStringList{dishes.merges().at(0).toString(), dishes.merges().at(1).toString()}),
             (QStringList{u"A1:I1"_s, u"A2:I2"_s}));
    QVERIFY(ruled(dishes.format(9, 2)));

    const Sheet& issue = result.workbook->sheet(2);
    QCOMPARE(issue.name(), u"Расход ингредиентов"_s);
    compareCells(issue, {{"A1", u"Сводная таблица расхода ингредиентов"_s},
                         {"A2", u"за период с 01.03.2024 по 03.03.2024"_s},
                         {"A3", u"№"_s},
                         {"E3", none},
                         {"F3", u"Кол-во"_s},
                         {"G3", u"Ед.изм"_s},
                         {"E4", u"Мясо"_s},
                         {"A5", 1.0},
                         {"B5", u"Говядина"_s},
                         {"F5", 0.2},
                         {"G5", u"кг"_s},
                         {"H5", 80.0},
                         {"I5", 100.0},
                         {"C6", u"Всего за группу:"_s},
                         {"H6", 80.0},
                         {"I6", 100.0},
                         {"E7", u"Овощи"_s},
                         {"A8", 2.0},
                         {"B8", u"Картофель"_s},
                         {"F8", 0.25},
                         {"H8", 5.0},
                         {"I8", 7.5},
                         {"C10", u"Итого реализовано:"_s},
                         {"H10", 85.0},
                         {"I10", 107.5}});
    QCOMPARE(issue.format(5, 6).numberFormat, u"0.000"_s);
    QCOMPARE(issue.format(5, 8).numberFormat, std::nullopt);
    QCOMPARE(issue.format(2, 1).fontSize, 18.0);
    QCOMPARE(issue.pageSetup().printTitleRows->toString(), u"3:3"_s);

    // The scratch tables keep the result.
    QCOMPARE(k.data.scalar(u"SELECT Kolvo FROM Svodb WHERE Kod = ?"_s, {k.borscht}).toDouble(), 5.0);
    QCOMPARE(k.data.scalar(u"SELECT Summa1 FROM Svodi WHERE Kod = ?"_s, {k.potato}).toDouble(), 7.5);
    QCOMPARE(k.count(u"SELECT count(*) FROM Svodb"_s), 2);
    QCOMPARE(k.progress.last(), 100);
    QVERIFY(k.progress.contains(50));
}

void tst_SalesSummary::averagePrice_data()
{
    QTest::addColumn<double>("secondPrice");
    QTest::addColumn<double>("average");
    QTest::addColumn<double>("sum");
    QTest::newRow("same price") << 10.0 << 10.0 << 40.0;
    QTest::newRow("10.00 and 12.00") << 12.0 << 11.0 << 44.0;
}

void tst_SalesSummary::averagePrice()
{
    QFETCH(double, secondPrice);
    QFETCH(double, average);
    QFETCH(double, sum);
    Kitchen k;
    k.line(k.document(u"2024-03-01"_s), k.soups, k.borscht, 2, 10);
    k.line(k.document(u"2024-03-02"_s, u"Смена 2"_s, 4), k.soups, k.borscht, 2, secondPrice);
    const SalesSummaryResult result = k.run();
    QVERIFY2(result.workbook, qPrintable(result.error));
    compareCells(result.workbook->sheet(1), {{"G6", 4.0}, {"H6", average}, {"I6", sum}, {"I8", sum}});
}

void tst_SalesSummary::startAfterEndGivesZeroTotals()
{
    Kitchen k;
    k.line(k.document(u"2024-03-01"_s), k.soups, k.borscht, 2, 10);
    k.data.insert(u"Svodb"_s, {{u"Kod"_s, k.borscht}, {u"Kolvo"_s, 9}});
    const SalesSummaryResult result = k.run({2024, 3, 3}, {2024, 3, 1});
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.documents, 0);
    compareCells(result.workbook->sheet(1),
                 {{"F5", u"Всего за группу:"_s}, {"I5", 0.0}, {"F6", u"Итого реализовано:"_s}, {"I6", 0.0}});
    compareCells(result.workbook->sheet(2), {{"C4", u"Всего за группу:"_s}, {"H4", 0.0}, {"I5", 0.0}});
    QCOMPARE(k.count(u"SELECT count(*) FROM Svodb"_s), 0);
}

void tst_SalesSummary::refusedCalculationStopsBeforeTheScratchTables()
{
    Kitchen k;
    k.line(k.document(u"2024-03-01"_s), k.mains, k.cutlet, 2, 50);
    k.data.insert(u"Svodb"_s, {{u"Kod"_s, k.borscht}, {u"Kolvo"_s, 9}});
    QVERIFY(QSqlQuery(k.data.db()).exec(u"UPDATE Bludo SET Nporc = 0"_s));
    const SalesSummaryResult result = k.run();
    QVERIFY(!result.workbook);
    QCOMPARE(result.caption, u"Ошибка расчёта реализации"_s);
    QVERIFY2(result.error.contains(u"Котлета"_s), qPrintable(result.error));
    QCOMPARE(k.count(u"SELECT Kolvo FROM Svodb"_s), 9);
}

void tst_SalesSummary::goneDishDropsOutAndIsSaid()
{
    Kitchen k;
    const qlonglong doc = k.document(u"2024-03-01"_s);
    k.line(doc, k.soups, k.borscht, 2, 10);
    k.line(doc, k.mains, k.cutlet, 1, 50);
    QVERIFY(QSqlQuery(k.data.db()).exec(u"DELETE FROM Bludo WHERE Name = 'Котлета'"_s));
    const SalesSummaryResult result = k.run();
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.linesSkipped, 1);
    QCOMPARE(result.dishesLeftOut, 1);
    QVERIFY(!result.notice().isEmpty());
    compareCells(result.workbook->sheet(1),
                 {{"A5", u"Супы"_s}, {"B6", u"Борщ"_s}, {"I8", 20.0}, {"A9", none}});
}

// More rows than one statement writes, so that a fault can strike in the middle of the batches.
void tst_SalesSummary::scratchTablesAreWholeOrAsBefore()
{
    Kitchen k;
    const qlonglong doc = k.document(u"2024-03-01"_s, u"Смена 1"_s, 1);
    for (int i = 0; i < 150; ++i) {
        const qlonglong dish = k.dish(k.soups, u"Суп %1"_s.arg(i), 1);
        k.line(doc, k.soups, dish, 1, 10);
        const qlonglong vegetable = k.ingredient(k.vegetables, u"Овощ %1"_s.arg(i), k.kg, 10, 0, 100);
        k.consumed(doc, k.vegetables, vegetable, 0.5, 10, 11, k.kg);
    }
    k.data.insert(u"Svodb"_s, {{u"Kod"_s, k.borscht}, {u"Kolvo"_s, 9}});
    FaultInjection faults(k.data.db());
    QString changed;
    const int failures = faults.everyStep([&] { return k.run().workbook != nullptr; }, &changed);
    QVERIFY2(failures > 300, qPrintable(changed));
    QCOMPARE(k.count(u"SELECT count(*) FROM Svodb"_s), 150);
    QCOMPARE(k.count(u"SELECT count(*) FROM Svodi"_s), 150);
}

// The summary calculates all its open documents at once; what it stores (consumption rows, their order,
// dish prices) is what the calculation of each document in date order stores.
void tst_SalesSummary::onePassAsDocumentByDocument()
{
    const auto build = [](SalesKitchen& k) {
        const qlonglong potato = k.ingredient(k.vegetables, u"Картофель"_s, k.kg, 20, 50, 80);
        const qlonglong onion = k.ingredient(k.vegetables, u"Лук"_s, k.kg, 30.5, 12.5, 100);
        const qlonglong beef = k.ingredient(k.meat, u"Говядина"_s, k.kg, 400, 25, 75);
        const qlonglong mince = k.ingredient(k.meat, u"Фарш"_s, k.kg, 0, 0, 100, true);
        k.component(mince, beef, 800);
        k.component(mince, onion, 150);
        const qlonglong borscht = k.dish(k.soups, u"Борщ"_s, 5);
        const qlonglong cutlet = k.dish(k.mains, u"Котлета"_s, 2);
        k.card(borscht, potato, 250);
        k.card(borscht, onion, 40, 90);
        k.card(cutlet, mince, 150);
        k.card(cutlet, potato, 100);
        // Not in date order by key; a stored row to be replaced; a line of 0 portions; a posted one.
        const qlonglong third = k.document(u"2024-03-03"_s);
        const qlonglong first = k.document(u"2024-03-01"_s);
        const qlonglong posted = k.document(u"2024-03-02"_s, u"Смена 2"_s, 4);
        k.line(first, k.soups, borscht, 3, 10);
        k.line(first, k.mains, cutlet, 0, 50);
        k.line(third, k.mains, cutlet, 4, 50);
        k.line(third, k.soups, borscht, 1, 10);
        k.line(posted, k.soups, borscht, 2, 10);
        k.consumed(third, k.meat, beef, 9, 1, 1, k.kg);
        k.consumed(posted, k.vegetables, potato, 0.1, 20, 30, k.kg);
        return std::vector<qlonglong>{first, third};
    };
    SalesKitchen byDocument;
    for (qlonglong document : build(byDocument))
        QVERIFY(ConsumptionCalculator(byDocument.data.db()).run(document, SalesLines::Sold).ok);
    SalesKitchen inOnePass;
    build(inOnePass);
    const SalesSummaryResult result = SalesSummary(inOnePass.data.db()).run({2024, 3, 1}, {2024, 3, 3});
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.recalculated, 2);
    for (const QString& sql : {u"SELECT * FROM RealItog ORDER BY NNN"_s, u"SELECT Kod1, Cena FROM Bludo"_s}) {
        const QStringList expected = rowsOf(byDocument.data.db(), sql);
        QVERIFY(expected.size() >= 2);
        QCOMPARE(rowsOf(inOnePass.data.db(), sql), expected);
    }
}

// Stopped before its second document, the summary leaves every table as it was: the first document's
// consumption and the emptied scratch tables too.
void tst_SalesSummary::stoppedLeavesNothing()
{
    Kitchen k;
    k.line(k.document(u"2024-03-01"_s), k.soups, k.borscht, 2, 10);
    k.line(k.document(u"2024-03-02"_s), k.mains, k.cutlet, 1, 50);
    k.line(k.document(u"2024-03-03"_s), k.mains, k.cutlet, 1, 50);
    k.data.insert(u"Svodb"_s, {{u"Kod"_s, k.borscht}, {u"Kolvo"_s, 9}});
    const QString before = databaseSnapshot(k.data.db());
    QList<int> steps;
    const SalesSummaryResult result =
        SalesSummary(k.data.db()).run({2024, 3, 1}, {2024, 3, 3}, {}, [&steps](int n, int total) {
            steps << n << total;
            return n < 2;
        });
    QVERIFY(result.stopped);
    QVERIFY(!result.workbook);
    QCOMPARE(steps, (QList<int>{1, 3, 2, 3}));
    QCOMPARE(databaseSnapshot(k.data.db()), before);
}

void tst_SalesSummary::twoSummariesAtOnce_data()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("file kitchen") << false;
    QTest::newRow("server kitchen") << true;
}

// Two users print the summaries of two periods at once, each on a connection of its own in a
// transaction of its own, as a worker runs it. The first finishes and keeps its transaction open while
// the second starts: the second waits for the scratch tables and goes on once the first commits. Each
// prints its own period, and the tables hold the later summary's rows alone.
void tst_SalesSummary::twoSummariesAtOnce()
{
    QFETCH(bool, server);
    if (server && ServerKitchen::server().isEmpty())
        QSKIP("no test server named (KUHNEMER_TEST_SERVER)");
    std::unique_ptr<TestDataDir> file;
    std::unique_ptr<ServerKitchen> onServer;
    QSqlDatabase kitchen;
    if (server) {
        onServer = std::make_unique<ServerKitchen>();
        kitchen = onServer->db();
    } else {
        file = std::make_unique<TestDataDir>();
        kitchen = file->db();
    }
    fillTwoPeriods(kitchen);

    struct User
    {
        QDate start;
        ThreadConnection connection;
        QStringList cells; // B6, G6, I8 of the dishes' sheet
        QString error;
    };
    User march{{2024, 3, 1}, ThreadConnection(kitchen), {}, {}};
    User april{{2024, 4, 1}, ThreadConnection(kitchen), {}, {}};
    QSemaphore marchDone;
    QSemaphore aprilStarted;
    const auto summarise = [](User& user, const std::function<void()>& beforeCommit) {
        if (!user.connection.open(&user.error))
            return;
        {
            const QSqlDatabase db = user.connection.db();
            Transaction transaction(db);
            const SalesSummaryResult result = SalesSummary(db).run(user.start, user.start.addDays(27));
            if (result.workbook) {
                const Sheet& dishes = result.workbook->sheet(1);
                user.cells = {dishes.value(6, 2).toString(), dishes.value(6, 7).toString(),
                              dishes.value(8, 9).toString()};
            }
            user.error = result.error;
            beforeCommit();
            if (!transaction.commit())
                user.error = sqlErrorText(db.lastError());
        }
        user.connection.close();
    };
    QThread* first = QThread::create([&] {
        summarise(march, [&] {
            marchDone.release();
            aprilStarted.acquire();
            QThread::msleep(300); // the second is then waiting for the tables
        });
    });
    QThread* second = QThread::create([&] {
        marchDone.acquire();
        aprilStarted.release();
        summarise(april, [] {});
    });
    first->start();
    second->start();
    QVERIFY(first->wait(30000) && second->wait(30000));
    delete first;
    delete second;
    QVERIFY2(march.error.isEmpty(), qPrintable(march.error));
    QVERIFY2(april.error.isEmpty(), qPrintable(april.error));
    QCOMPARE(march.cells, (QStringList{u"Щи"_s, u"3"_s, u"30"_s}));
    QCOMPARE(april.cells, (QStringList{u"Борщ"_s, u"7"_s, u"140"_s}));
    QCOMPARE(rowsOf(kitchen, u"SELECT Kod, Kolvo, Summa FROM Svodb"_s), QStringList{u"2|7|140|"_s});
    QCOMPARE(rowsOf(kitchen, u"SELECT Kod FROM Svodi"_s), QStringList{u"2|"_s});
}

QTEST_GUILESS_MAIN(tst_SalesSummary)
#include "tst_SalesSummary.moc"
