#include "GuiScript.h"
#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "app/ui/MainWindow.h"
#include "costing/ui/CostingCardPrintDialog.h"
#include "costing/ui/CostingPage.h"
#include "costing/ui/EnterpriseChoiceDialog.h"

#include <QDir>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_StatusBar : public QObject
{
    Q_OBJECT
private:
    static void printAllCards(CostingPage& page)
    {
        onNextDialog<CostingCardPrintDialog>([](CostingCardPrintDialog* dialog) {
            onNextDialog<EnterpriseChoiceDialog>(
                [](EnterpriseChoiceDialog* enterprise) { enterprise->accept(); });
            dialog->accept();
        });
        page.printButton()->click();
    }

    QTemporaryDir m_temp;

private Q_SLOTS:
    void initTestCase()
    {
        // The print-outs go to a folder under the temporary folder: keep them apart.
        QVERIFY(m_temp.isValid());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
    }

    // The status bar names the file a print wrote, and says nothing when the print was refused.
    void printOutIsToldWithItsFile()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(u"Edinica"_s, {{u"Gramm"_s, 1000}});
        const qlonglong meat = data.insert(
            u"Ing"_s, {{u"Name"_s, u"Мясо"_s}, {u"Edinica"_s, kg}, {u"Cena"_s, 50}, {u"Vih"_s, 80}});
        const qlonglong group = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
        const qlonglong soup =
            data.insert(u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Борщ"_s}, {u"Nporc"_s, 0}});
        data.insert(u"Karta"_s, {{u"Kod"_s, soup}, {u"Name"_s, meat}, {u"Kolvo"_s, 120}});
        data.insert(u"Partner"_s, {{u"Name"_s, u"Столовая №1"_s}});

        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        MainWindow window(DataLocations::resolve(data.arguments(), QString()), &prompts);
        auto& page = *static_cast<CostingPage*>(window.page(MainWindow::Costing));
        page.setSpreadsheetLauncher(&launcher);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.tabs()->setCurrentIndex(MainWindow::Costing);

        // No portions: the print is refused with a message, and the status bar does not claim a file.
        printAllCards(page);
        QVERIFY(!prompts.shown.isEmpty());
        QVERIFY(launcher.opened.isEmpty());
        QCOMPARE(window.statusBar()->currentMessage(), QString());

        data.scalar(u"UPDATE Bludo SET Nporc = 1"_s);
        prompts.shown.clear();
        printAllCards(page);
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
        QCOMPARE(launcher.opened.size(), 1);
        QVERIFY2(window.statusBar()->currentMessage().endsWith(QDir::toNativeSeparators(launcher.opened[0])),
                 qPrintable(window.statusBar()->currentMessage()));
    }
};

QTEST_MAIN(tst_StatusBar)
#include "tst_StatusBar.moc"
