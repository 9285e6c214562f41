#include "GuiScript.h"
#include "PageFixture.h"
#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "store/TableModel.h"
#include "warehouse/ui/InventoryDialog.h"
#include "warehouse/ui/TurnoverDialog.h"
#include "warehouse/ui/WarehousePage.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_WarehousePrints : public QObject
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

    void turnoverAndActFromTheStockPage()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(u"Edinica"_s, {{u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
        const qlonglong group = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        const qlonglong potato = data.insert(
            u"Ing"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Картофель"_s}, {u"Edinica"_s, kg}, {u"Pf"_s, 0}});
        data.insert(u"Move"_s, {{u"Kod"_s, potato},
                                {u"Date"_s, u"2024-03-05"_s},
                                {u"Oper"_s, u"P"_s},
                                {u"Cena"_s, 12.3456},
                                {u"Kolvo"_s, 10},
                                {u"Provodka"_s, 1}});
        const qlonglong inventory =
            data.insert(u"invdok"_s, {{u"Date"_s, u"2024-03-10"_s}, {u"Provodka"_s, 1}});
        data.insert(u"inv"_s, {{u"Kod"_s, inventory},
                               {u"Ing"_s, potato},
                               {u"Ing22"_s, u"Картофель"_s},
                               {u"Oldkolvo"_s, 10},
                               {u"NewKolvo"_s, 9},
                               {u"Newprice"_s, 12}});

        ScriptedPrompts prompts;
        ScriptedDatePrompt dates;
        RecordingLauncher launcher;
        const FixedClock clock(QDate(2024, 3, 31));
        WarehousePage page(&prompts, &dates);
        page.setClock(&clock);
        page.setSpreadsheetLauncher(&launcher);
        page.resize(1366, 700);
        QCOMPARE(showPage(page, data.db()), QString());
        page.pageShown();
        QVERIFY(page.button(u"Оборотка"_s)->isEnabled());

        // The whole month, all groups, full variant; the dialog offers today and keeps its choices.
        onNextDialog<TurnoverDialog>([](TurnoverDialog* dialog) {
            QVERIFY(dialog->scopeButton(TurnoverScope::Ingredient)->isChecked());
            QVERIFY(dialog->shortBox()->isChecked());
            QCOMPARE(dialog->endEdit()->date(), QDate(2024, 3, 31));
            dialog->startEdit()->setDate(QDate(2024, 3, 1));
            dialog->scopeButton(TurnoverScope::AllGroups)->setChecked(true);
            dialog->shortBox()->setChecked(false);
            dialog->accept();
        });
        page.button(u"Оборотка"_s)->click();
        QCOMPARE(launcher.opened.size(), 1);
        QVERIFY(launcher.opened.first().contains(u"Оборотная ведомость 01.03.2024-31.03.2024"_s));
        const QString strings =
            QString::fromUtf8(xlsxPart(launcher.opened.first(), u"xl/sharedStrings.xml"_s));
        QVERIFY(strings.contains(u"Картофель (кг)"_s) && strings.contains(u"Итого за склад:"_s));
        bool kept = false;
        onNextDialog<TurnoverDialog>([&](TurnoverDialog* dialog) {
            kept = dialog->scopeButton(TurnoverScope::AllGroups)->isChecked() &&
                   !dialog->shortBox()->isChecked();
            dialog->reject();
        });
        page.button(u"Оборотка"_s)->click();
        QVERIFY(kept);
        QCOMPARE(launcher.opened.size(), 1);

        // The act from the inventory window.
        connect(&page, &WarehousePage::windowOpened, this, [](QDialog* window) {
            auto* inventoryWindow = qobject_cast<InventoryDialog*>(window);
            if (!inventoryWindow)
                return;
            QTimer::singleShot(0, inventoryWindow, [inventoryWindow] {
                inventoryWindow->documents()->first();
                // The act and, beside it, the state's two forms of the same document.
                for (const QString& caption :
                     {u"Печать акта инвентаризации"_s, u"Печать ИНВ-3"_s, u"Печать ИНВ-19"_s}) {
                    QPushButton* print = inventoryWindow->button(caption);
                    QVERIFY2(print->isEnabled(), qPrintable(caption));
                    print->click();
                }
                inventoryWindow->reject();
            });
        });
        page.button(u"Инвентаризация"_s)->click();
        QCOMPARE(launcher.opened.size(), 4);
        const QString sheets[] = {u"Акт инвентаризации"_s, u"ИНВ-3"_s, u"ИНВ-19"_s};
        for (int k = 0; k < 3; ++k)
            QVERIFY(QString::fromUtf8(xlsxPart(launcher.opened[k + 1], u"xl/workbook.xml"_s))
                        .contains(u"name=\"%1\""_s.arg(sheets[k])));
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(tst_WarehousePrints)
#include "tst_WarehousePrints.moc"
