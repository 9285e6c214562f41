#include "GuiScript.h"
#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/ui/CostingCardPrintDialog.h"
#include "costing/ui/CostingPage.h"
#include "costing/ui/EnterpriseChoiceDialog.h"
#include "costing/ui/RecipeDialog.h"
#include "reports/SpreadsheetLauncher.h"
#include "store/TableModel.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

} // namespace

class tst_CostingPrintWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // The reports folder lies in the temporary folder; keep the files of this test apart.
        QVERIFY(m_temp.isValid());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
    }

    void printButtonsHandOverWorkbooks()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Gramm"), 1000}});
        const qlonglong meat =
            data.insert(QStringLiteral("Ing"), {{QStringLiteral("Name"), QStringLiteral("Мясо")},
                                                {QStringLiteral("Edinica"), kg},
                                                {QStringLiteral("Cena"), 50},
                                                {QStringLiteral("Vih"), 80}});
        const qlonglong group =
            data.insert(QStringLiteral("Grbludo"), {{QStringLiteral("Name"), QStringLiteral("Супы")}});
        const qlonglong soup =
            data.insert(QStringLiteral("Bludo"), {{QStringLiteral("Kod"), group},
                                                  {QStringLiteral("Name"), QStringLiteral("Борщ")},
                                                  {QStringLiteral("Nporc"), 1},
                                                  {QStringLiteral("Print"), QStringLiteral("V")}});
        data.insert(
            QStringLiteral("Karta"),
            {{QStringLiteral("Kod"), soup}, {QStringLiteral("Name"), meat}, {QStringLiteral("Kolvo"), 120}});
        for (const char* partner : {"Столовая №1", "Кафе \"Уют\""})
            data.insert(QStringLiteral("Partner"), {{QStringLiteral("Name"), QString::fromUtf8(partner)}});

        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        FixedClock clock(QDate(2024, 3, 5));
        CostingPage page(&prompts);
        page.setSpreadsheetLauncher(&launcher);
        page.setClock(&clock);
        QString error;
        QVERIFY(page.openViews(data.db(), &error));
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));

        // Cancelling the second dialog prints nothing and keeps the marks.
        bool groupChosenAtStart = false;
        onNextDialog<CostingCardPrintDialog>([&](CostingCardPrintDialog* dialog) {
            groupChosenAtStart = dialog->chosenGroupButton()->isChecked();
            dialog->markedButton()->setChecked(true);
            onNextDialog<EnterpriseChoiceDialog>(
                [](EnterpriseChoiceDialog* enterprise) { enterprise->reject(); });
            dialog->accept();
        });
        page.printButton()->click();
        QVERIFY(groupChosenAtStart);
        QVERIFY(launcher.opened.isEmpty());
        QCOMPARE(page.dishes()->currentValue(QStringLiteral("Print")).toString(), QStringLiteral("V"));
        QVERIFY(!page.enterpriseDialog()->partners()->isOpen());

        // The choice of the first dialog stays; the partners are listed by name; cost prices chosen.
        bool markedKept = false;
        QStringList partners;
        bool sellingAtStart = false;
        onNextDialog<CostingCardPrintDialog>([&](CostingCardPrintDialog* dialog) {
            markedKept = dialog->markedButton()->isChecked();
            onNextDialog<EnterpriseChoiceDialog>([&](EnterpriseChoiceDialog* enterprise) {
                TableModel* model = enterprise->partners();
                for (int row = 0; row < model->rowCount(); ++row)
                    partners << model->value(row, QStringLiteral("Name")).toString();
                sellingAtStart = enterprise->sellingButton()->isChecked();
                model->setCurrentRow(1);
                enterprise->costButton()->setChecked(true);
                enterprise->accept();
            });
            dialog->accept();
        });
        page.printButton()->click();
        QVERIFY(markedKept);
        QCOMPARE(partners, (QStringList{QStringLiteral("Кафе \"Уют\""), QStringLiteral("Столовая №1")}));
        QVERIFY(sellingAtStart);
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
        QCOMPARE(launcher.opened.size(), 1);
        QVERIFY(launcher.opened[0].contains(QStringLiteral("Калькуляционные карты")));
        // The chosen partner heads the card; the meat at its cost price.
        QVERIFY(
            QString::fromUtf8(xlsxPart(launcher.opened[0], QStringLiteral("xl/sharedStrings.xml"))).contains(u"Столовая №1"));
        QVERIFY(QString::fromUtf8(xlsxPart(launcher.opened[0], QStringLiteral("xl/worksheets/sheet1.xml")))
                    .contains(QRegularExpression(QStringLiteral("r=\"G9\"[^>]*><v>50</v>"))));
        QVERIFY(!page.progressBar()->isVisible());
        QCOMPARE(page.progressBar()->value(), 100);
        // The view shows the cleared mark without being moved.
        QCOMPARE(page.dishes()->currentValue(QStringLiteral("Print")).toString(), QStringLiteral(" "));
        QVERIFY(!page.enterpriseDialog()->partners()->isOpen());

        // The recipe is stored before it is printed.
        onNextDialog<RecipeDialog>([](RecipeDialog* recipe) {
            recipe->textBox()->setPlainText(QStringLiteral("Варить 2 часа.\nПодавать со сметаной."));
            recipe->printButton()->click();
            recipe->exitButton()->click();
        });
        page.recipeButton()->click();
        QCOMPARE(data.scalar(QStringLiteral("SELECT Recept FROM Bludo WHERE Kod1 = ?"), {soup}).toString(),
                 QStringLiteral("Варить 2 часа.\nПодавать со сметаной."));
        QCOMPARE(launcher.opened.size(), 2);
        QVERIFY(launcher.opened[1].contains(QStringLiteral("Рецепт Борщ")));
        QVERIFY(QString::fromUtf8(xlsxPart(launcher.opened[1], QStringLiteral("xl/sharedStrings.xml")))
                    .contains(u"Подавать со сметаной."));
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
    }

    void recipeLinesAsShown()
    {
        TestDataDir data;
        const qlonglong group =
            data.insert(QStringLiteral("Grbludo"), {{QStringLiteral("Name"), QStringLiteral("Супы")}});
        data.insert(QStringLiteral("Bludo"),
                    {{QStringLiteral("Kod"), group}, {QStringLiteral("Name"), QStringLiteral("Борщ")}});
        ScriptedPrompts prompts;
        CostingPage page(&prompts);
        QString error;
        QVERIFY(page.openViews(data.db(), &error));
        RecipeDialog dialog(page.dishes());
        dialog.resize(300, 300);
        dialog.show();
        const QString paragraph = QStringList(40, QStringLiteral("слово")).join(u' ');
        dialog.textBox()->setPlainText(QStringLiteral("Первая строка\n") + paragraph);
        const QStringList lines = dialog.shownLines();
        // The long paragraph wraps into several lines, each shown line a line of the print.
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.first(), QStringLiteral("Первая строка"));
        QCOMPARE(lines.mid(1).join(QString()).remove(u' '), QString(paragraph).remove(u' '));
    }

private:
    QTemporaryDir m_temp;
};

QTEST_MAIN(tst_CostingPrintWindows)
#include "tst_CostingPrintWindows.moc"
