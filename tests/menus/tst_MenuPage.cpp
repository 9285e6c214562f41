#include "GuiScript.h"
#include "MenuKitchen.h"
#include "PageFixture.h"
#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"

#include "menus/ui/DishChooserDialog.h"
#include "menus/ui/MenuCopyDialog.h"
#include "menus/ui/MenuPage.h"
#include "reference/ui/ContextSearchBar.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/DatePromptDialog.h"
#include "store/ui/FieldEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFont>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList names(const TableModel* model, const QString& field = u"Name1"_s)
{
    QStringList result;
    for (int row = 0; row < model->rowCount(); ++row)
        result << model->value(row, field).toString();
    return result;
}

void clickRow(DataGrid* grid, int row, bool twice = false)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    if (twice)
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    else
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

bool isBold(const TableModel* model, int row)
{
    return model->data(model->index(row, 0), Qt::FontRole).value<QFont>().bold();
}

} // namespace

class tst_MenuPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // The reports folder lies in the temporary folder; keep the files of this test apart.
        QVERIFY(m_temp.isValid());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
    }

    void cookComposesPricesReleasesAndPrintsAMenu()
    {
        MenuKitchen kitchen;
        // Borscht gets a card: 1234 g of an ingredient at 40.00 a kilogram for one portion, 49.36.
        const qlonglong kg = kitchen.data.insert(u"Edinica"_s, {{u"Name"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
        const qlonglong beet = kitchen.data.insert(
            u"Ing"_s,
            {{u"Name"_s, u"Свёкла"_s}, {u"Edinica"_s, kg}, {u"Cena"_s, 40}, {u"Vih"_s, 100}, {u"Pf"_s, 0}});
        execSql(kitchen.db(), u"UPDATE Bludo SET Nporc = 1, Proc = 0"_s);
        kitchen.data.insert(
            u"Karta"_s,
            {{u"Kod"_s, kitchen.borscht}, {u"Name"_s, beet}, {u"Kolvo"_s, 1234}, {u"Vihod"_s, 100}});
        const qlonglong bakery = kitchen.group(u"Выпечка"_s, 4);
        kitchen.dish(bakery, u"Ватрушка"_s, u"80"_s, 25, false);

        ScriptedPrompts prompts;
        ScriptedDatePrompt dates;
        RecordingLauncher launcher;
        const FixedClock clock(QDate(2024, 3, 16));
        MenuPage page(&prompts);
        page.setDatePrompt(&dates);
        page.setSpreadsheetLauncher(&launcher);
        page.setClock(&clock);
        page.setDataDirectory(kitchen.data.dataDir());
        page.resize(1366, 700);
        QCOMPARE(showPage(page, kitchen.db()), QString());
        TableModel* menus = page.menus();
        TableModel* entries = page.entries();

        // The page as it opens: rounding defaults, an unreleased menu in blue bold.
        QCOMPARE(page.roundingStepBox()->currentText(), u"10коп"_s);
        QCOMPARE(page.roundingDirectionBox()->currentText(), u"Больше"_s);
        QVERIFY(page.releaseButton()->isEnabled());
        QCOMPARE(menus->data(menus->index(0, 0), Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::blue));
        QVERIFY(isBold(menus, 0));

        // Insert asks the date; "Отмена" makes nothing, OK a menu with that date to be named.
        dates.queue(std::nullopt);
        QTest::keyClick(page.menuGrid(), Qt::Key_Insert);
        QCOMPARE(menus->rowCount(), 1);
        dates.queue(QDate(2024, 3, 17));
        QTest::keyClick(page.menuGrid(), Qt::Key_Insert);
        QCOMPARE(dates.offered.last(), QDate(2024, 3, 16));
        QCOMPARE(menus->rowCount(), 2);
        QCOMPARE(menus->currentValue(u"Date"_s).toString(), u"2024-03-17"_s);
        QVERIFY(menus->currentValue(u"Name"_s).toString().isEmpty());
        // The first key opens the cell editor, which takes the rest.
        typeText(page.menuGrid(), u"У"_s);
        typeText(QApplication::focusWidget(), u"жин"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor commits and closes on a queued call
        QVERIFY(page.menuGrid()->postPending());
        QCOMPARE(kitchen.data.scalar(u"SELECT Name FROM Menu WHERE Date = '2024-03-17'"_s).toString(),
                 u"Ужин"_s);

        // The chooser: finished dishes of the current group, added by double click, Enter and Space;
        // in context search with the dish's own group; nothing from a group of unfinished dishes.
        bool chooserSeen = false;
        onNextDialog<DishChooserDialog>([&](DishChooserDialog* chooser) {
            chooserSeen = true;
            TableModel* groups = chooser->groupGrid()->tableModel();
            groups->locateKey(kitchen.drinks);
            QCOMPARE(names(chooser->dishes(), u"Name"_s), QStringList({u"Чай"_s}));
            clickRow(chooser->dishGrid(), 0, true);
            groups->locateKey(kitchen.soups);
            QCOMPARE(names(chooser->dishes(), u"Name"_s), QStringList({u"Борщ"_s, u"Щи"_s}));
            QTest::keyClick(chooser->dishGrid(), Qt::Key_Return);
            QTest::keyClick(chooser->chosenGrid(), Qt::Key_Space);
            groups->locateKey(bakery);
            QVERIFY(chooser->dishes()->isEmpty());
            QTest::keyClick(chooser->chosenGrid(), Qt::Key_Return);
            QCOMPARE(names(chooser->chosen()), QStringList({u"Чай"_s, u"Борщ"_s, u"Борщ"_s}));

            chooser->searchBar()->checkBox()->click();
            QVERIFY(chooser->searchBar()->searchBox()->isEnabled());
            typeText(chooser->searchBar()->searchBox(), u"кот"_s);
            QCOMPARE(chooser->dishes()->currentValue(u"Name"_s).toString(), u"Котлета"_s);
            QCOMPARE(chooser->groupGrid()->tableModel()->currentValue(u"Name"_s).toString(), u"Горячее"_s);
            QTest::keyClick(chooser->dishGrid(), Qt::Key_Space);

            // Removing asks first.
            chooser->chosen()->locateKey(chooser->chosen()->value(0, u"Nnn"_s));
            prompts.queueConfirm(true);
            chooser->removeButton()->click();
            QCOMPARE(prompts.last(), u"|Удалять блюдо из меню ?"_s);
            chooser->accept();
        });
        page.chooseButton()->click();
        QVERIFY(chooserSeen);
        QVERIFY(
            !kitchen.data.scalar(u"SELECT COUNT(*) FROM MenuSp WHERE Name IS NULL OR Name = 0"_s).toBool());
        QCOMPARE(kitchen.data.scalar(u"SELECT Nn FROM MenuSp WHERE Name = ?"_s, {kitchen.cutlet}).toInt(), 2);
        // Page order: by group order number, then group, then entry.
        QCOMPARE(names(entries), QStringList({u"Борщ"_s, u"Борщ"_s, u"Котлета"_s}));

        // Copying from the first menu, in the chooser of the new one.
        kitchen.entry(kitchen.menu, kitchen.tea, kitchen.drinks, 3, true, 15);
        onNextDialog<DishChooserDialog>([&](DishChooserDialog* chooser) {
            QVERIFY(chooser->copyButton()->isEnabled());
            onNextDialog<MenuCopyDialog>([&](MenuCopyDialog* copy) {
                QCOMPARE(copy->windowTitle(), u"Выбор меню для копирования"_s);
                copy->menus()->locateKey(kitchen.menu);
                copy->accept();
            });
            chooser->copyButton()->click();
            QCOMPARE(chooser->chosen()->rowCount(), 4);
        });
        page.chooseButton()->click();
        QCOMPARE(names(entries), QStringList({u"Борщ"_s, u"Борщ"_s, u"Котлета"_s, u"Чай"_s}));
        QCOMPARE(page.groupBox()->text(), u"Супы"_s);

        // Space switches the current entry off (red bold on silver) and on again; so does a double click.
        entries->setCurrentRow(2);
        QTest::keyClick(page.entryGrid(), Qt::Key_Space);
        QCOMPARE(entries->currentValue(u"Name1"_s).toString(), u"Котлета"_s);
        QVERIFY(!entries->currentValue(u"Status"_s).toBool());
        QCOMPARE(entries->data(entries->index(2, 0), Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(entries->data(entries->index(2, 0), Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::red));
        clickRow(page.entryGrid(), 2, true);
        QVERIFY(entries->currentValue(u"Status"_s).toBool());
        QTest::keyClick(page.entryGrid(), Qt::Key_Space);
        // Enter switches nothing; Insert makes no entry.
        QTest::keyClick(page.entryGrid(), Qt::Key_Return);
        QVERIFY(!entries->currentValue(u"Status"_s).toBool());
        QTest::keyClick(page.entryGrid(), Qt::Key_Insert);
        QCOMPARE(entries->rowCount(), 4);

        // The description printed under the dish.
        entries->setCurrentRow(0);
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.descriptionBox()->setFocus();
        typeText(page.descriptionBox(), u"со сметаной"_s);
        page.entryGrid()->setFocus();
        QCOMPARE(kitchen.data.scalar(u"SELECT Opis FROM MenuSp WHERE Nnn = ?"_s, {entries->currentKey()})
                     .toString(),
                 u"со сметаной"_s);

        // The price run, then the selling prices with the page's rounding: all entries on OK.
        page.roundingStepBox()->setCurrentText(u"1руб"_s);
        page.roundingDirectionBox()->setCurrentText(u"Меньше"_s);
        prompts.queueConfirm(true);
        page.priceButton()->click();
        QCOMPARE(prompts.last(), u"?|Производить перерасчёт продажных цен?"_s);
        QCOMPARE(entries->value(0, u"Cena1"_s).toDouble(), 49.36);
        QCOMPARE(entries->data(entries->index(1, 3), Qt::DisplayRole).toString(), u"49.36"_s);
        QCOMPARE(entries->value(0, u"CenaProd"_s).toDouble(), 49.0);

        // Removing an entry asks; the release then freezes the entries.
        entries->setCurrentRow(3);
        prompts.queueConfirm(true);
        page.removeEntryButton()->click();
        QCOMPARE(prompts.last(), u"Удаление записи из меню|Подтвердите удаление записи !!!"_s);
        QCOMPARE(entries->rowCount(), 3);
        page.releaseButton()->click();
        QVERIFY(!page.releaseButton()->isEnabled());
        QVERIFY(!page.removeEntryButton()->isEnabled());
        QVERIFY(!isBold(menus, menus->currentRow()));
        menus->locateKey(kitchen.menu);
        QVERIFY(page.releaseButton()->isEnabled());
        menus->last();
        QVERIFY(!page.removeEntryButton()->isEnabled());
        onNextDialog<DishChooserDialog>([&](DishChooserDialog* chooser) {
            QVERIFY(!chooser->removeButton()->isEnabled());
            QVERIFY(!chooser->copyButton()->isEnabled());
            chooser->groupGrid()->tableModel()->locateKey(kitchen.drinks);
            QTest::keyClick(chooser->dishGrid(), Qt::Key_Return);
        });
        page.chooseButton()->click();
        QCOMPARE(entries->rowCount(), 4);

        // The print: today's date, the five texts (the file made on the first run), the check box.
        QStringList shownTexts;
        bool optionsShown = false;
        onNextDialog<DatePromptDialog>([&](DatePromptDialog* dialog) {
            shownTexts = dialog->printTexts();
            optionsShown = dialog->printOptionsVisible() && dialog->underlineBox()->isChecked();
            QCOMPARE(dialog->date(), QDate(2024, 3, 16));
            dialog->textEdit(DatePromptDialog::PriceHeading)->setText(u"Цена, руб."_s);
            dialog->accept();
        });
        page.printButton()->click();
        QCOMPARE(shownTexts, QStringList({u"р"_s, u"к"_s, u"Наименование блюда"_s, u"Выход"_s, u"Цена"_s}));
        QVERIFY(optionsShown);
        QCOMPARE(launcher.opened.size(), 1);
        QVERIFY(launcher.opened.first().contains(u"Меню на 16.03.2024"_s));
        QVERIFY(QString::fromUtf8(xlsxPart(launcher.opened.first(), u"xl/sharedStrings.xml"_s))
                    .contains(u"Цена, руб."_s));
        QFile settings(kitchen.data.dataDir() + u"/Sm.db"_s);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().endsWith("\xD6\xE5\xED\xE0, \xF0\xF3\xE1.\r\n"));
        // The switched-off entry still shows on the page.
        QCOMPARE(entries->rowCount(), 4);

        // "Отмена" in the print dialog prints nothing.
        onNextDialog<DatePromptDialog>([](DatePromptDialog* dialog) { dialog->reject(); });
        page.printButton()->click();
        QCOMPARE(launcher.opened.size(), 1);

        // A menu used by a sales document stays; without one it goes after the question.
        kitchen.data.insert(u"Realdoc"_s, {{u"Nnn"_s, menus->currentKey()}});
        page.deleteMenuButton()->click();
        QCOMPARE(prompts.last(),
                 u"Удаление меню|Имеются документы использующие это меню. Удаление не возможно !!!"_s);
        QCOMPARE(menus->rowCount(), 2);
        execSql(kitchen.db(), u"DELETE FROM Realdoc"_s);
        prompts.queueConfirm(true);
        page.deleteMenuButton()->click();
        QCOMPARE(menus->rowCount(), 1);
        prompts.queueConfirm(true);
        page.deleteMenuButton()->click();
        QVERIFY(menus->isEmpty());
        QVERIFY(entries->isEmpty());

        // With no menu the chooser does not open and no entry is made.
        bool opened = false;
        onNextDialog<DishChooserDialog>([&](DishChooserDialog*) { opened = true; });
        page.chooseButton()->click();
        QTest::qWait(50);
        QVERIFY(!opened);
        QCOMPARE(kitchen.data.scalar(u"SELECT COUNT(*) FROM MenuSp"_s).toInt(), 0);
        page.closeViews();
    }

private:
    QTemporaryDir m_temp;
};

QTEST_MAIN(tst_MenuPage)
#include "tst_MenuPage.moc"
