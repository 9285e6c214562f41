#include "../sales/SalesKitchen.h"
#include "GuiScript.h"
#include "ScriptedPrompts.h"

#include "costing/DishCostCalculator.h"
#include "sales/SalesPosting.h"
#include "store/ui/WorkerRun.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>

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

// A week of open sales documents over the priced kitchen.
struct SalesWeek : PricedKitchen
{
    QList<qlonglong> days;

    SalesWeek()
    {
        for (int day = 1; day <= 3; ++day) {
            const qlonglong doc = document(u"2024-03-0%1"_s.arg(day));
            line(doc, soups, borscht, day, 120);
            line(doc, mains, cutlet, 1, 200);
            days << doc;
        }
    }
    // Every row of the tables a posting writes.
    QString postings()
    {
        QString text;
        for (const QString& table :
             {u"Realdoc"_s, u"Realsum"_s, u"RealItog"_s, u"Doc"_s, u"Move"_s, u"Ing"_s}) {
            QSqlQuery query(u"SELECT * FROM "_s + table + u" ORDER BY 1"_s, data.db());
            while (query.next()) {
                for (int k = 0; k < query.record().count(); ++k)
                    text += query.value(k).toString() + u'|';
                text += u'\n';
            }
        }
        return text;
    }
};

// Scripted prompts that note the thread each one is shown on.
struct ThreadNotingPrompts : ScriptedPrompts
{
    bool confirm(const QString& caption, const QString& text, Default byDefault) override
    {
        threads << QThread::currentThread();
        return ScriptedPrompts::confirm(caption, text, byDefault);
    }
    void inform(const QString& caption, const QString& text) override
    {
        threads << QThread::currentThread();
        ScriptedPrompts::inform(caption, text);
    }
    QList<QThread*> threads;
};

} // namespace

class tst_WorkerRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The price run on the worker stores what it stores in the window's thread; cancelled before one
    // of its groups, it stops there and nothing is stored.
    void priceRun_data()
    {
        QTest::addColumn<int>("cancelAt"); // the step; 0 runs through
        QTest::newRow("run through") << 0;
        QTest::newRow("cancelled at the first group") << 1;
        QTest::newRow("cancelled at the second group") << 2;
    }
    void priceRun()
    {
        QFETCH(int, cancelAt);
        PricedKitchen here;
        const QString before = here.prices();
        QVERIFY(DishCostCalculator(here.data.db()).run().ok);
        QVERIFY(here.prices() != before);

        PricedKitchen there;
        ScriptedPrompts prompts;
        DishCostRun run;
        const Worker::Outcome outcome = runInWorker(nullptr, prompts, u"Расчёт цен блюд"_s, there.data.db(),
                                                    [&](const QSqlDatabase& db, Worker& worker) {
                                                        int step = 0;
                                                        const auto progress =
                                                            worker.percentProgress(u"Группы блюд"_s);
                                                        run = DishCostCalculator(db).run([&](int percent) {
                                                            if (++step == cancelAt)
                                                                pressCancelOnWindowThread();
                                                            return progress(percent);
                                                        });
                                                    });
        QCOMPARE(outcome, cancelAt ? Worker::Outcome::Cancelled : Worker::Outcome::Finished);
        QVERIFY(run.ok);
        QCOMPARE(run.cancelled, cancelAt != 0);
        QCOMPARE(there.prices(), cancelAt ? before : here.prices());
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(!workerRunning());
    }

    // Posting a period on the worker stores what it stores in the window's thread; cancelled before
    // its second document, every document stays open and the warehouse untouched.
    void periodPosting_data()
    {
        QTest::addColumn<int>("cancelAt"); // the document; 0 runs through
        QTest::newRow("run through") << 0;
        QTest::newRow("cancelled at the second document") << 2;
    }
    void periodPosting()
    {
        QFETCH(int, cancelAt);
        SalesWeek here;
        ScriptedPrompts herePrompts;
        const PeriodPosting expected =
            SalesPosting(here.data.db(), herePrompts).postPeriod(QDate(2024, 3, 1), QDate(2024, 3, 31), 0);
        QVERIFY(expected.ok);
        QCOMPARE(expected.posted, 3);

        SalesWeek there;
        const QString before = there.postings();
        ScriptedPrompts prompts;
        PeriodPosting run;
        const Worker::Outcome outcome = runInWorker(
            nullptr, prompts, u"Проводка за период"_s, there.data.db(),
            [&](const QSqlDatabase& db, Worker& worker) {
                run = SalesPosting(db, worker.prompts())
                          .postPeriod(QDate(2024, 3, 1), QDate(2024, 3, 31), 0, [&](int n, int total) {
                              if (n + 1 == cancelAt)
                                  pressCancelOnWindowThread();
                              worker.report(u"Документы"_s, n, total);
                              return !worker.cancelRequested();
                          });
            });
        QCOMPARE(outcome, cancelAt ? Worker::Outcome::Cancelled : Worker::Outcome::Finished);
        QCOMPARE(run.cancelled, cancelAt != 0);
        QCOMPARE(there.postings(), cancelAt ? before : here.postings());
        QCOMPARE(prompts.shown, cancelAt ? QStringList() : herePrompts.shown);
    }

    // The worker's questions are answered on the window's thread; what it tells is shown once it is
    // over, or before its next question, in order. After "Отмена" nothing more is shown and a question
    // gets "Отмена".
    void promptsFromTheWorker()
    {
        TestDataDir kitchen;
        ThreadNotingPrompts prompts;
        prompts.queueConfirm(true);
        QList<bool> answers;
        int shownBeforeTheEnd = 0;
        QCOMPARE(runInWorker(nullptr, prompts, u"Импорт"_s, kitchen.db(),
                             [&](const QSqlDatabase&, Worker& worker) {
                                 worker.prompts().inform(u"Импорт"_s, u"первое"_s);
                                 answers << worker.prompts().confirm(u"Импорт"_s, u"Заменить?"_s);
                                 worker.prompts().inform(u"Импорт"_s, u"последнее"_s);
                                 shownBeforeTheEnd = int(prompts.shown.size());
                             }),
                 Worker::Outcome::Finished);
        QCOMPARE(shownBeforeTheEnd, 2); // the last information waited for the end
        QCOMPARE(answers, QList<bool>{true});
        QCOMPARE(prompts.shown,
                 (QStringList{u"Импорт|первое"_s, u"Импорт|Заменить?"_s, u"Импорт|последнее"_s}));
        QCOMPARE(prompts.threads, QList<QThread*>(3, QThread::currentThread()));

        ScriptedPrompts later;
        answers.clear();
        QCOMPARE(runInWorker(nullptr, later, u"Импорт"_s, kitchen.db(),
                             [&](const QSqlDatabase&, Worker& worker) {
                                 worker.prompts().inform(u"Импорт"_s, u"до отмены"_s);
                                 pressCancelOnWindowThread();
                                 answers << worker.prompts().confirm(u"Импорт"_s, u"Заменить?"_s);
                             }),
                 Worker::Outcome::Cancelled);
        QCOMPARE(answers, QList<bool>{false});
        QVERIFY(later.shown.isEmpty());
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
