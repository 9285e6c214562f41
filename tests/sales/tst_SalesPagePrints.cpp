#include "GuiScript.h"
#include "PageFixture.h"
#include "RecordingLauncher.h"
#include "SalesKitchen.h"
#include "ScriptedPrompts.h"

#include "sales/ui/SalesPage.h"
#include "sales/ui/SalesPrintChoiceDialog.h"
#include "sales/ui/SummaryPeriodDialog.h"
#include "store/TableModel.h"

#include <QDateEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

struct Fixture : SalesKitchen
{
    ScriptedPrompts prompts;
    ScriptedDatePrompt dates;
    FixedClock clock{QDate(2024, 3, 10)};
    RecordingLauncher launcher;
    qlonglong potato = ingredient(vegetables, u"Картофель"_s, kg, 20, 50, 80);
    qlonglong borscht = dish(soups, u"Борщ"_s, 5, u"300"_s);
    qlonglong doc = document(u"2024-03-01"_s);
    SalesPage page{&prompts, &dates};

    Fixture()
    {
        card(borscht, potato, 250);
        line(doc, soups, borscht, 4, 10);
        page.setClock(&clock);
        page.setSpreadsheetLauncher(&launcher);
        page.resize(1366, 700);
    }
    QString show()
    {
        const QString error = showPage(page, data.db());
        page.pageShown();
        return error;
    }
    QString strings(int file)
    {
        return QString::fromUtf8(xlsxPart(launcher.opened.at(file), u"xl/sharedStrings.xml"_s));
    }
    QString sheets(int file)
    {
        return QString::fromUtf8(xlsxPart(launcher.opened.at(file), u"xl/workbook.xml"_s));
    }
};

} // namespace

class tst_SalesPagePrints : public QObject
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

    void printsTablesThenTheCrossTable()
    {
        Fixture f;
        QCOMPARE(f.show(), QString());
        QVERIFY(f.page.printButton()->isEnabled());

        // "Отмена" prints nothing and calculates nothing.
        onNextDialog<SalesPrintChoiceDialog>([](SalesPrintChoiceDialog* dialog) { dialog->reject(); });
        f.page.printButton()->click();
        QVERIFY(f.launcher.opened.isEmpty());
        QCOMPARE(f.data.scalar(u"SELECT count(*) FROM RealItog"_s).toInt(), 0);

        bool tablesFirst = false;
        onNextDialog<SalesPrintChoiceDialog>([&](SalesPrintChoiceDialog* dialog) {
            tablesFirst = dialog->tablesButton()->isChecked() && dialog->windowTitle() == u"Печать таблиц"_s;
            dialog->accept();
        });
        f.page.printButton()->click();
        QVERIFY(tablesFirst);
        QCOMPARE(f.launcher.opened.size(), 1);
        QVERIFY(f.launcher.opened.first().contains(u"Реализация 01.03.2024"_s));
        // The calculation ran on the way, and the file holds the three sheets.
        QCOMPARE(f.data.scalar(u"SELECT Kolvo FROM RealItog"_s).toDouble(), 0.25);
        const QString sheets = f.sheets(0);
        for (const QString& name : {u"Буфетон"_s, u"Расход ингредиентов"_s, u"Технологические карты"_s})
            QVERIFY2(sheets.contains(u"name=\"%1\""_s.arg(name)), qPrintable(sheets));
        QVERIFY(f.strings(0).contains(u"Борщ 4 п. (300)"_s));
        QVERIFY(f.prompts.shown.isEmpty());

        onNextDialog<SalesPrintChoiceDialog>([](SalesPrintChoiceDialog* dialog) {
            dialog->crossTableButton()->setChecked(true);
            dialog->accept();
        });
        f.page.printButton()->click();
        QCOMPARE(f.launcher.opened.size(), 2);
        QVERIFY(f.sheets(1).contains(u"name=\"Перекрёстная таблица\""_s));
        // The dialog keeps the last choice.
        bool crossKept = false;
        onNextDialog<SalesPrintChoiceDialog>([&](SalesPrintChoiceDialog* dialog) {
            crossKept = dialog->crossTableButton()->isChecked();
            dialog->reject();
        });
        f.page.printButton()->click();
        QVERIFY(crossKept);
    }

    void postedDocumentIsPrintedWithoutCards()
    {
        Fixture f;
        f.consumed(f.doc, f.vegetables, f.potato, 0.25, 20, 30, f.kg);
        QVERIFY(QSqlQuery(f.data.db()).exec(u"UPDATE Realdoc SET Status = 4"_s));
        QCOMPARE(f.show(), QString());
        onNextDialog<SalesPrintChoiceDialog>([](SalesPrintChoiceDialog* dialog) { dialog->accept(); });
        f.page.printButton()->click();
        QCOMPARE(f.prompts.shown,
                 (QStringList{u"Ошибка расчёта реализации|Документ проведён. Расчёт не производится !!!"_s,
                              u"Ошибка печати технологических карт|Документ проведён. Печать технологических "
                              "карт не производится !!!"_s}));
        QCOMPARE(f.launcher.opened.size(), 1);
        QVERIFY(!f.sheets(0).contains(u"Технологические карты"_s));
    }

    void refusedCalculationOpensNothing()
    {
        Fixture f;
        QVERIFY(QSqlQuery(f.data.db()).exec(u"UPDATE Bludo SET Nporc = 0"_s));
        QCOMPARE(f.show(), QString());
        onNextDialog<SalesPrintChoiceDialog>([](SalesPrintChoiceDialog* dialog) { dialog->accept(); });
        f.page.printButton()->click();
        QCOMPARE(f.prompts.shown.size(), 1);
        QVERIFY(f.prompts.last().startsWith(u"Ошибка расчёта реализации|"_s));
        QVERIFY(f.launcher.opened.isEmpty());
    }

    void summaryOfAPeriod()
    {
        Fixture f;
        QCOMPARE(f.show(), QString());
        QVERIFY(f.page.summaryButton()->isEnabled());
        QDate offered;
        onNextDialog<SummaryPeriodDialog>([&](SummaryPeriodDialog* dialog) {
            offered = dialog->startEdit()->date();
            dialog->startEdit()->setDate(QDate(2024, 3, 1));
            dialog->accept();
        });
        f.page.summaryButton()->click();
        QCOMPARE(offered, QDate(2024, 3, 10));
        QCOMPARE(f.launcher.opened.size(), 1);
        QVERIFY(f.launcher.opened.first().contains(u"Свод 01.03.2024-10.03.2024"_s));
        QVERIFY(f.sheets(0).contains(u"name=\"Свод Буфетон\""_s));
        QVERIFY(f.strings(0).contains(u"за период с 01.03.2024 по 10.03.2024"_s));
        QCOMPARE(f.data.scalar(u"SELECT Kolvo FROM Svodb"_s).toDouble(), 4.0);
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(tst_SalesPagePrints)
#include "tst_SalesPagePrints.moc"
