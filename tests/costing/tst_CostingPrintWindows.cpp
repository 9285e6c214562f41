#include "GuiScript.h"
#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/ui/CalculationCardDialog.h"
#include "costing/ui/CostingCardPrintDialog.h"
#include "costing/ui/CostingPage.h"
#include "costing/ui/DishRequirementsDialog.h"
#include "costing/ui/EnterpriseChoiceDialog.h"
#include "costing/ui/RecipeDialog.h"
#include "reports/SpreadsheetLauncher.h"
#include "store/TableModel.h"

#include <QApplication>
#include <QDateEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

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
        const qlonglong kg = data.insert(u"Edinica"_s, {{u"Gramm"_s, 1000}});
        const qlonglong meat = data.insert(
            u"Ing"_s, {{u"Name"_s, u"Мясо"_s}, {u"Edinica"_s, kg}, {u"Cena"_s, 50}, {u"Vih"_s, 80}});
        const qlonglong group = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
        const qlonglong soup = data.insert(
            u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Борщ"_s}, {u"Nporc"_s, 1}, {u"Print"_s, u"V"_s}});
        data.insert(u"Karta"_s, {{u"Kod"_s, soup}, {u"Name"_s, meat}, {u"Kolvo"_s, 120}});
        for (const char* partner : {"Столовая №1", "Кафе \"Уют\""})
            data.insert(u"Partner"_s, {{u"Name"_s, QString::fromUtf8(partner)}});

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
        QCOMPARE(page.dishes()->currentValue(u"Print"_s).toString(), u"V"_s);
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
                    partners << model->value(row, u"Name"_s).toString();
                sellingAtStart = enterprise->sellingButton()->isChecked();
                model->setCurrentRow(1);
                enterprise->costButton()->setChecked(true);
                enterprise->accept();
            });
            dialog->accept();
        });
        page.printButton()->click();
        QVERIFY(markedKept);
        QCOMPARE(partners, (QStringList{u"Кафе \"Уют\""_s, u"Столовая №1"_s}));
        QVERIFY(sellingAtStart);
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
        QCOMPARE(launcher.opened.size(), 1);
        QVERIFY(launcher.opened[0].contains(u"Калькуляционные карты"_s));
        // The chosen partner heads the card; the meat at its cost price.
        QVERIFY(QString::fromUtf8(xlsxPart(launcher.opened[0], u"xl/sharedStrings.xml"_s))
                    .contains(u"Столовая №1"));
        QVERIFY(QString::fromUtf8(xlsxPart(launcher.opened[0], u"xl/worksheets/sheet1.xml"_s))
                    .contains(QRegularExpression(u"r=\"G9\"[^>]*><v>50</v>"_s)));
        // The view shows the cleared mark without being moved.
        QCOMPARE(page.dishes()->currentValue(u"Print"_s).toString(), u" "_s);
        QVERIFY(!page.enterpriseDialog()->partners()->isOpen());

        // The recipe is stored before it is printed.
        onNextDialog<RecipeDialog>([](RecipeDialog* recipe) {
            recipe->textBox()->setPlainText(u"Варить 2 часа.\nПодавать со сметаной."_s);
            recipe->printButton()->click();
            recipe->exitButton()->click();
        });
        page.recipeButton()->click();
        QCOMPARE(data.scalar(u"SELECT Recept FROM Bludo WHERE Kod1 = ?"_s, {soup}).toString(),
                 u"Варить 2 часа.\nПодавать со сметаной."_s);
        QCOMPARE(launcher.opened.size(), 2);
        QVERIFY(launcher.opened[1].contains(u"Рецепт Борщ"_s));
        QVERIFY(QString::fromUtf8(xlsxPart(launcher.opened[1], u"xl/sharedStrings.xml"_s))
                    .contains(u"Подавать со сметаной."));
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
    }

    // The requirements stored with the dish, then ОП-1 of the current dish and its ТТК, which names the
    // ingredient whose nutrition is not given.
    void stateFormsOfTheCurrentDish()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(u"Edinica"_s, {{u"Gramm"_s, 1000}});
        const qlonglong meat = data.insert(
            u"Ing"_s, {{u"Name"_s, u"Мясо"_s}, {u"Edinica"_s, kg}, {u"Cena"_s, 50}, {u"Vih"_s, 80}});
        const qlonglong group = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
        const qlonglong soup =
            data.insert(u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Борщ"_s}, {u"Nporc"_s, 1}});
        data.insert(u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Щи"_s}, {u"Nporc"_s, 0}});
        data.insert(u"Karta"_s, {{u"Kod"_s, soup}, {u"Name"_s, meat}, {u"Kolvo"_s, 120}});
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
        QCOMPARE(page.dishes()->currentValue(u"Name"_s).toString(), u"Борщ"_s);

        onNextDialog<DishRequirementsDialog>([](DishRequirementsDialog* dialog) {
            dialog->servingBox()->setPlainText(u"Подают горячим."_s);
            dialog->storageBox()->setPlainText(u"Не более 3 часов."_s);
            dialog->reject();
        });
        page.requirementsButton()->click();
        QCOMPARE(
            data.scalar(u"SELECT Serving || '|' || Storage FROM Bludo WHERE Kod1 = ?"_s, {soup}).toString(),
            u"Подают горячим.|Не более 3 часов."_s);

        // Only the current dish: the other one, of zero portions, would stop a print of the group. The
        // date field offers the page's today; a day added there is a calculation of the form.
        bool dishChosen = false;
        QDate offered;
        onNextDialog<CalculationCardDialog>([&](CalculationCardDialog* dialog) {
            dishChosen = dialog->dishButton()->isChecked();
            offered = dialog->dayBox()->date();
            dialog->dayBox()->setDate(QDate(2024, 2, 1));
            dialog->addDayButton()->click();
            dialog->addDayButton()->click();
            dialog->accept();
        });
        page.calculationCardButton()->click();
        QVERIFY(dishChosen);
        QCOMPARE(offered, clock.today());
        QCOMPARE(page.calculationCardDialog()->days(), std::vector<QDate>{QDate(2024, 2, 1)});
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
        QCOMPARE(launcher.opened.size(), 1);
        QVERIFY(
            QString::fromUtf8(xlsxPart(launcher.opened[0], u"xl/workbook.xml"_s)).contains(u"name=\"ОП-1\""));
        QVERIFY(QString::fromUtf8(xlsxPart(launcher.opened[0], u"xl/sharedStrings.xml"_s))
                    .contains(u"№ 1 от 01.02.2024"_s));

        page.technicalCardButton()->click();
        QCOMPARE(launcher.opened.size(), 2);
        QVERIFY(launcher.opened[1].contains(u"ТТК Борщ"_s));
        const QString strings = QString::fromUtf8(xlsxPart(launcher.opened[1], u"xl/sharedStrings.xml"_s));
        QVERIFY(strings.contains(u"Подают горячим."_s) && strings.contains(u"Не более 3 часов."_s));
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY2(prompts.last().startsWith(u"Печать ТТК|Пищевая ценность не указана для: Мясо (белки"_s),
                 qPrintable(prompts.last()));
    }

    void recipeLinesAsShown()
    {
        TestDataDir data;
        const qlonglong group = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
        data.insert(u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Борщ"_s}});
        ScriptedPrompts prompts;
        CostingPage page(&prompts);
        QString error;
        QVERIFY(page.openViews(data.db(), &error));
        RecipeDialog dialog(page.dishes());
        dialog.resize(300, 300);
        dialog.show();
        const QString paragraph = QStringList(40, u"слово"_s).join(u' ');
        dialog.textBox()->setPlainText(u"Первая строка\n"_s + paragraph);
        const QStringList lines = dialog.shownLines();
        // The long paragraph wraps into several lines, each shown line a line of the print.
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.first(), u"Первая строка"_s);
        QCOMPARE(lines.mid(1).join(QString()).remove(u' '), QString(paragraph).remove(u' '));
    }

private:
    QTemporaryDir m_temp;
};

QTEST_MAIN(tst_CostingPrintWindows)
#include "tst_CostingPrintWindows.moc"
