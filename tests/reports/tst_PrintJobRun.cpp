#include "../sales/SalesKitchen.h"
#include "FaultInjection.h"
#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"

#include "costing/CostingCardPrintJob.h"
#include "reports/PrintJob.h"
#include "reports/ui/PrintJobRun.h"
#include "sales/SalesDocumentPrintJob.h"
#include "sales/SalesSummaryPrintJob.h"
#include "warehouse/TurnoverPrintJob.h"

#include <QApplication>
#include <QDirIterator>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A job that reports half way and gives back what it was told to.
class ScriptedJob : public PrintJob
{
public:
    explicit ScriptedJob(std::function<PrintedWorkbook()> result) : m_result(std::move(result)) {}

    PrintedWorkbook run(const Progress& progress) override
    {
        if (progress)
            progress(50);
        return m_result();
    }

private:
    std::function<PrintedWorkbook()> m_result;
};

// Every cell of every sheet, with its place, for comparing two workbooks.
QStringList cells(const Workbook& workbook)
{
    QStringList list;
    for (int s = 1; s <= workbook.sheetCount(); ++s) {
        const Sheet& sheet = workbook.sheet(s);
        for (int r = 1; r <= sheet.rowCount(); ++r)
            for (int c = 1; c <= sheet.columnCount(); ++c)
                if (const QVariant value = sheet.value(r, c); value.isValid())
                    list << u"%1!%2:%3=%4"_s.arg(sheet.name()).arg(r).arg(c).arg(value.toString());
    }
    return list;
}

// Runs a job and keeps the cells of its workbook: what the worker computed, before the file is written.
class CellRecorder : public PrintJob
{
public:
    CellRecorder(std::unique_ptr<PrintJob> job, QStringList* cells) : m_job(std::move(job)), m_cells(cells) {}

    PrintedWorkbook run(const Progress& progress) override
    {
        PrintedWorkbook printed = m_job->run(progress);
        if (printed.workbook)
            *m_cells = cells(*printed.workbook);
        return printed;
    }

private:
    std::unique_ptr<PrintJob> m_job;
    QStringList* m_cells;
};

// Runs the action on the window's thread while the worker's thread waits: what the user would do while
// the operation runs, at a point that does not depend on timing.
void onWindowThread(const std::function<void()>& action)
{
    QMetaObject::invokeMethod(qApp, action, Qt::BlockingQueuedConnection);
}

void pressCancel()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(window); progress && progress->isVisible())
            progress->findChild<QPushButton*>()->click();
}

// A kitchen where each print-out below stores something: marked dishes, an open sales document
// whose consumption is calculated, the scratch tables of the summary and the cross table.
struct PrintKitchen : MinceKitchen
{
    qlonglong borscht = dish(soups, u"Борщ"_s, 1);
    qlonglong cutlet = dish(mains, u"Котлета"_s, 2);
    qlonglong shift = document(u"2024-03-01"_s);
    FixedClock clock{QDate(2024, 3, 5)};

    PrintKitchen()
    {
        card(borscht, potato, 100);
        card(borscht, onion, 20);
        card(cutlet, mince, 150);
        line(shift, soups, borscht, 4, 120);
        line(shift, mains, cutlet, 2, 200);
        QSqlQuery(data.db()).exec(u"UPDATE Bludo SET Print = 'V'"_s);
    }
};

// Presses "Отмена" when the job it runs reaches its second step, noting every step reported.
class CancelAtSecondStep : public PrintJob
{
public:
    CancelAtSecondStep(std::unique_ptr<PrintJob> job, QList<int>* steps)
        : m_job(std::move(job)), m_steps(steps)
    {
    }

    PrintedWorkbook run(const Progress& progress) override
    {
        return m_job->run(PrintProgress(progress, [this, &progress](const QString& what, int n, int total) {
            m_steps->append(n);
            if (n == 2)
                onWindowThread(pressCancel);
            return progress.step(what, n, total);
        }));
    }

private:
    std::unique_ptr<PrintJob> m_job;
    QList<int>* m_steps;
};

using JobMaker = std::function<std::unique_ptr<PrintJob>(PrintKitchen& kitchen, const QSqlDatabase& db)>;

struct NamedJob
{
    const char* name;
    JobMaker make;
    bool stores; // whether running it through changes a table
};

// The print-outs over the kitchen, with more than one step each.
QList<NamedJob> jobs()
{
    using Job = std::unique_ptr<PrintJob>;
    return {
        {"costing cards, marks cleared",
         [](PrintKitchen& k, const QSqlDatabase& db) -> Job {
             return std::make_unique<CostingCardPrintJob>(
                 db, k.clock, CostingCardOptions{CardPrintScope::MarkedDishes, 0, CardPrices::Cost, {}});
         },
         true},
        {"sales tables, consumption calculated",
         [](PrintKitchen& k, const QSqlDatabase& db) -> Job {
             return std::make_unique<SalesDocumentPrintJob>(db, k.shift,
                                                            SalesDocumentPrintJob::Layout::Tables);
         },
         true},
        {"cross table, its map stored",
         [](PrintKitchen& k, const QSqlDatabase& db) -> Job {
             return std::make_unique<SalesDocumentPrintJob>(db, k.shift,
                                                            SalesDocumentPrintJob::Layout::CrossTable);
         },
         true},
        {"sales summary, its totals stored",
         [](PrintKitchen&, const QSqlDatabase& db) -> Job {
             return std::make_unique<SalesSummaryPrintJob>(db, QDate(2024, 3, 1), QDate(2024, 3, 31));
         },
         true},
        {"turnover, reads only",
         [](PrintKitchen&, const QSqlDatabase& db) -> Job {
             return std::make_unique<TurnoverPrintJob>(
                 db, TurnoverOptions{TurnoverScope::AllGroups, true, QDate(2024, 3, 1), QDate(2024, 3, 31)});
         },
         false},
    };
}

// How a job ended: whether it filled a workbook, and its refusal.
struct JobEnd
{
    bool workbook = false;
    QString error;
};

// Presses "Отмена" when the job reports its n-th step, as the user would while it runs, and keeps
// how the job then ended.
class CancelAtStep : public PrintJob
{
public:
    CancelAtStep(std::unique_ptr<PrintJob> job, int step, std::optional<JobEnd>* result)
        : m_job(std::move(job)), m_step(step), m_result(result)
    {
    }

    PrintedWorkbook run(const Progress& progress) override
    {
        int steps = 0;
        PrintedWorkbook printed = m_job->run([&](int percent) {
            if (++steps == m_step)
                onWindowThread(pressCancel);
            return progress(percent);
        });
        *m_result = JobEnd{printed.workbook != nullptr, printed.error};
        return printed;
    }

private:
    std::unique_ptr<PrintJob> m_job;
    int m_step;
    std::optional<JobEnd>* m_result;
};

} // namespace

class tst_PrintJobRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The reports folder lies in the documents folder: keep this test's files apart.
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Notices come first, in their order, then the refusal or the file.
    void noticesThenRefusalOrFile_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("printed") << false << QStringList{u"Расчёт|пропущено"_s, u"Печать|проведён"_s};
        QTest::newRow("refused after a notice")
            << true << QStringList{u"Расчёт|пропущено"_s, u"Печать|проведён"_s, u"Печать таблиц|ноль"_s};
    }
    void noticesThenRefusalOrFile()
    {
        QFETCH(bool, refused);
        QFETCH(QStringList, shown);
        TestDataDir kitchen;
        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        const auto makeJob = [refused](const QSqlDatabase&) {
            return std::make_unique<ScriptedJob>([refused] {
                PrintedWorkbook printed =
                    refused ? PrintedWorkbook::refused(u"Печать таблиц"_s, u"ноль"_s) : PrintedWorkbook();
                printed.inform(u"Расчёт"_s, u"пропущено"_s);
                printed.warn(u"Печать"_s, u"проведён"_s);
                if (!refused) {
                    printed.workbook = std::make_unique<Workbook>();
                    printed.workbook->sheet(1).cell(1, 1).setValue(u"Итого"_s);
                    printed.title = u"Реализация 01.03.2024"_s;
                }
                return printed;
            });
        };

        QCOMPARE(runPrintJob(nullptr, u"Печать"_s, kitchen.db(), makeJob, prompts, launcher), !refused);
        QCOMPARE(prompts.shown, shown);
        QCOMPARE(launcher.opened.size(), refused ? 0 : 1);
        if (!refused) {
            QVERIFY(launcher.opened.first().contains(u"Реализация 01.03.2024_"_s));
            QFile::remove(launcher.opened.first());
        }
    }

    // Each print-out, cancelled at its n-th step: the job stops there by itself (its own refusal, no
    // workbook), every table is as it was, nothing is told and no file is written; run through, the
    // ones that store something do store, so the rollback undid something.
    void cancelledAtAStep_data()
    {
        QTest::addColumn<JobMaker>("makeJob");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("stores");
        for (const auto& [name, make, stores] : jobs()) {
            // The first step, and one after a first stretch of the print-out has been filled.
            QTest::addRow("%s, step 1", name) << make << 1 << stores;
            QTest::addRow("%s, step 2", name) << make << 2 << stores;
        }
    }
    void cancelledAtAStep()
    {
        QFETCH(JobMaker, makeJob);
        QFETCH(int, step);
        QFETCH(bool, stores);
        PrintKitchen kitchen;
        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        const QString before = databaseSnapshot(kitchen.data.db());

        std::optional<JobEnd> stopped;
        const bool printed = runPrintJob(
            nullptr, u"Печать"_s, kitchen.data.db(),
            [&](const QSqlDatabase& db) {
                return std::make_unique<CancelAtStep>(makeJob(kitchen, db), step, &stopped);
            },
            prompts, launcher);
        QVERIFY(!printed);
        QVERIFY(stopped);
        QVERIFY(!stopped->workbook);
        QCOMPARE(stopped->error, PrintJob::cancelledText());
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
        QVERIFY(launcher.opened.isEmpty());
        QVERIFY(
            !QDirIterator(m_home.path(), {u"*.xlsx"_s}, QDir::Files, QDirIterator::Subdirectories).hasNext());
        QCOMPARE(databaseSnapshot(kitchen.data.db()), before);

        QVERIFY(runPrintJob(
            nullptr, u"Печать"_s, kitchen.data.db(),
            [&](const QSqlDatabase& db) { return makeJob(kitchen, db); }, prompts, launcher));
        QCOMPARE(launcher.opened.size(), 1);
        QCOMPARE(databaseSnapshot(kitchen.data.db()) != before, stores);
        QFile::remove(launcher.opened.first());
    }

    // "Отмена" during the summary's second of three open documents stops it there: nothing it calculated
    // or emptied stays, and no file is written.
    void summaryStopsBetweenDocuments()
    {
        PrintKitchen kitchen;
        for (const QString& day : {u"2024-03-02"_s, u"2024-03-03"_s})
            kitchen.line(kitchen.document(day), kitchen.soups, kitchen.borscht, 3, 120);
        kitchen.data.insert(u"Svodb"_s, {{u"Kod"_s, kitchen.borscht}, {u"Kolvo"_s, 9}});
        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        const QString before = databaseSnapshot(kitchen.data.db());
        QList<int> steps;
        const bool printed = runPrintJob(
            nullptr, u"Свод"_s, kitchen.data.db(),
            [&](const QSqlDatabase& db) {
                return std::make_unique<CancelAtSecondStep>(
                    std::make_unique<SalesSummaryPrintJob>(db, QDate(2024, 3, 1), QDate(2024, 3, 31)),
                    &steps);
            },
            prompts, launcher);
        QVERIFY(!printed);
        QCOMPARE(steps, (QList<int>{1, 2}));
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
        QVERIFY(launcher.opened.isEmpty());
        QVERIFY(
            !QDirIterator(m_home.path(), {u"*.xlsx"_s}, QDir::Files, QDirIterator::Subdirectories).hasNext());
        QCOMPARE(databaseSnapshot(kitchen.data.db()), before);
    }

    // Each print-out on the worker fills the same cells and stores the same rows as in the window's
    // thread, on two equal kitchens.
    void workerPrintsAsTheWindowThread_data()
    {
        QTest::addColumn<JobMaker>("makeJob");
        for (const auto& [name, make, stores] : jobs())
            QTest::newRow(name) << make;
    }
    void workerPrintsAsTheWindowThread()
    {
        QFETCH(JobMaker, makeJob);
        PrintKitchen here;
        const PrintedWorkbook expected = makeJob(here, here.data.db())->run({});
        QVERIFY(expected.workbook);

        PrintKitchen there;
        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        QStringList printedCells;
        QVERIFY(runPrintJob(
            nullptr, u"Печать"_s, there.data.db(),
            [&](const QSqlDatabase& db) {
                return std::make_unique<CellRecorder>(makeJob(there, db), &printedCells);
            },
            prompts, launcher));
        QVERIFY(!printedCells.isEmpty());
        QCOMPARE(printedCells, cells(*expected.workbook));
        QCOMPARE(databaseSnapshot(there.data.db()), databaseSnapshot(here.data.db()));
        QFile::remove(launcher.opened.first());
    }

    // While one operation runs, a second one is refused and stores nothing; the first finishes.
    void secondOperationRefused()
    {
        PrintKitchen kitchen;
        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        const auto cards = [&kitchen](const QSqlDatabase& db) {
            return std::make_unique<CostingCardPrintJob>(
                db, kitchen.clock, CostingCardOptions{CardPrintScope::MarkedDishes, 0, CardPrices::Cost, {}});
        };
        bool second = true;
        QVERIFY(runPrintJob(
            nullptr, u"Печать калькуляционных карт"_s, kitchen.data.db(),
            [&](const QSqlDatabase& db) {
                onWindowThread([&] {
                    second = runPrintJob(nullptr, u"Свод"_s, kitchen.data.db(), cards, prompts, launcher);
                });
                return cards(db);
            },
            prompts, launcher));
        QVERIFY(!second);
        QCOMPARE(prompts.shown,
                 QStringList{
                     u"Свод|Дождитесь окончания операции «Печать калькуляционных карт» или отмените её."_s});
        QCOMPARE(launcher.opened.size(), 1);
        QCOMPARE(kitchen.data.scalar(u"SELECT count(*) FROM Bludo WHERE Print = 'V'"_s).toInt(), 0);
        QFile::remove(launcher.opened.first());
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(tst_PrintJobRun)
#include "tst_PrintJobRun.moc"
