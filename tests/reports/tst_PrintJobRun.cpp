#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"

#include "reports/PrintJob.h"
#include "reports/ui/PrintJobRun.h"

#include <QApplication>
#include <QProgressBar>
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

    // Notices come first, in their order, then the refusal or the file; the page is left as it was.
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
        ScriptedJob job([refused] {
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
        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        QProgressBar progress;
        progress.setVisible(false);

        QCOMPARE(runPrintJob(nullptr, job, prompts, launcher, &progress), !refused);
        QCOMPARE(prompts.shown, shown);
        QCOMPARE(launcher.opened.size(), refused ? 0 : 1);
        if (!refused)
            QVERIFY(launcher.opened.first().contains(u"Реализация 01.03.2024_"_s));
        QCOMPARE(progress.value(), 50);
        QVERIFY(progress.isHidden());
        QVERIFY(!QApplication::overrideCursor());
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(tst_PrintJobRun)
#include "tst_PrintJobRun.moc"
