#include "../sales/SalesKitchen.h"
#include "ScriptedPrompts.h"

#include "costing/DishCostCalculator.h"
#include "store/ui/WorkerRun.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A kitchen whose dishes are not priced yet: the price run stores a price for each.
struct PricedKitchen : MinceKitchen
{
    qlonglong borscht = dish(soups, u"Борщ"_s, 1);
    qlonglong cutlet = dish(mains, u"Котлета"_s, 2);

    PricedKitchen()
    {
        card(borscht, potato, 100);
        card(cutlet, mince, 150);
    }
    QString prices()
    {
        QStringList all;
        QString error;
        forEachRow(
            data.db(), u"SELECT Cena FROM Bludo ORDER BY Kod1"_s,
            [&](const QSqlQuery& q) { all << q.value(0).toString(); }, &error);
        return all.join(u';') + error;
    }
};

void pressCancelOnWindowThread()
{
    QMetaObject::invokeMethod(
        qApp,
        [] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* progress = qobject_cast<QProgressDialog*>(window);
                    progress && progress->isVisible())
                    progress->findChild<QPushButton*>()->click();
        },
        Qt::BlockingQueuedConnection);
}

} // namespace

class tst_WorkerRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The price run on the worker stores what it stores in the window's thread; cancelled, nothing.
    void priceRun_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("run through") << false;
        QTest::newRow("cancelled") << true;
    }
    void priceRun()
    {
        QFETCH(bool, cancel);
        PricedKitchen here;
        const QString before = here.prices();
        QVERIFY(DishCostCalculator(here.data.db()).run().ok);
        QVERIFY(here.prices() != before);

        PricedKitchen there;
        ScriptedPrompts prompts;
        DishCostRun run;
        const Worker::Outcome outcome = runInWorker(nullptr, prompts, u"Расчёт цен блюд"_s, there.data.db(),
                                                    [&](const QSqlDatabase& db, Worker&) {
                                                        if (cancel)
                                                            pressCancelOnWindowThread();
                                                        run = DishCostCalculator(db).run();
                                                    });
        QCOMPARE(outcome, cancel ? Worker::Outcome::Cancelled : Worker::Outcome::Finished);
        QVERIFY(run.ok);
        QCOMPARE(there.prices(), cancel ? before : here.prices());
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(!workerRunning());
    }

    // A kitchen the worker cannot open is told, and the next operation may run.
    void connectionRefused()
    {
        TestDataDir kitchen;
        ScriptedPrompts prompts;
        QSqlDatabase elsewhere = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"elsewhere"_s);
        elsewhere.setDatabaseName(kitchen.root() + u"/missing/kuhnemer.sqlite"_s);
        bool ran = false;
        QCOMPARE(runInWorker(nullptr, prompts, u"Свод"_s, elsewhere,
                             [&](const QSqlDatabase&, Worker&) { ran = true; }),
                 Worker::Outcome::Failed);
        QVERIFY(!ran);
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY2(prompts.last().startsWith(u"Свод|Не найден каталог данных"_s), qPrintable(prompts.last()));
        elsewhere = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"elsewhere"_s);

        QCOMPARE(runInWorker(nullptr, prompts, u"Свод"_s, kitchen.db(),
                             [&](const QSqlDatabase&, Worker&) { ran = true; }),
                 Worker::Outcome::Finished);
        QVERIFY(ran);
    }
};

QTEST_MAIN(tst_WorkerRun)
#include "tst_WorkerRun.moc"
