#include "GuiScript.h"
#include "PageFixture.h"
#include "StockKitchen.h"

#include "sales/ui/SalesPage.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "warehouse/ui/DocumentDeletionDialog.h"
#include "warehouse/ui/InventoryDialog.h"
#include "warehouse/ui/PartnerChooserDialog.h"
#include "warehouse/ui/PriceRuleDialog.h"
#include "warehouse/ui/StockChoiceDialog.h"
#include "warehouse/ui/StockMovementDialog.h"
#include "warehouse/ui/TurnoverDialog.h"
#include "warehouse/ui/WarehousePage.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFont>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

namespace {

// The date dialog takes the focus, as the program's own does.
struct FocusTakingDates : ScriptedDatePrompt
{
    QPointer<QWidget> taker;
    std::optional<QDate> askDate(const QDate& initial) override
    {
        if (taker)
            taker->setFocus();
        return ScriptedDatePrompt::askDate(initial);
    }
};

// What a screen reader or a keyboard does: the control's own accessible action, with no mouse press
// and no change of focus before it.
void doAction(QWidget* control, const QString& action)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(action);
}

struct Fixture : StockKitchen
{
    FocusTakingDates dates;
    FixedClock clock{QDate(2024, 3, 10)};
    WarehousePage page{&prompts, &dates};
    qlonglong potato = ingredient(u"Картофель"_s, 10, 20);
    qlonglong onion = ingredient(u"Лук"_s, -2, 30);
    qlonglong salt = ingredient(u"Соль"_s, 0, 5);
    qlonglong puree = ingredient(u"Пюре"_s, 1, 1, true);

    Fixture()
    {
        data.insert(u"Partner"_s, {{u"Name"_s, u"ООО \"Ромашка\""_s}});
        page.setClock(&clock);
        page.resize(1366, 700);
    }
    QVariant cell(TableModel* model, int row, int column, int role = Qt::DisplayRole)
    {
        return model->data(model->index(row, column), role);
    }
    int rowOf(TableModel* model, qlonglong key) { return model->rowOfKey(key); }
};

// Every column and whole header in view, no sideways scrolling.
void verifyFits(DataGrid* grid)
{
    QVERIFY2(grid->horizontalScrollBar()->maximum() == 0,
             qPrintable(grid->model()->headerData(0, Qt::Horizontal).toString()));
}

} // namespace

class WarehouseWindowsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void balancesPage();
    void receiptWalk();
    void inventoryWalk();
    void salesPostingWalk();
    void newDocumentThroughItsAction_data();
    void newDocumentThroughItsAction();
    void rollBackThroughItsAction();
};

void WarehouseWindowsTest::balancesPage()
{
    Fixture f;
    const qlonglong doc = f.document(u"2024-03-01"_s, true);
    f.line(doc, f.potato, 4, 20, u"P"_s, true);
    f.line(doc, f.potato, 1.5, 20, u"R"_s, true);
    f.line(f.document(), f.potato, 7, 20);
    QCOMPARE(showPage(f.page, f.data.db()), QString());
    f.page.pageShown();
    TableModel* ingredients = f.page.ingredients();
    QCOMPARE(ingredients->rowCount(), 3); // no semi-finished product
    const int onion = f.rowOf(ingredients, f.onion);
    QCOMPARE(f.cell(ingredients, onion, 3).toString(), u"-2.000"_s);
    QCOMPARE(f.cell(ingredients, onion, 0, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QVERIFY(f.cell(ingredients, onion, 0, Qt::FontRole).value<QFont>().bold());
    QCOMPARE(f.cell(ingredients, f.rowOf(ingredients, f.salt), 0, Qt::BackgroundRole).value<QColor>(),
             QColor(192, 192, 192));
    QVERIFY(!f.cell(ingredients, f.rowOf(ingredients, f.potato), 0, Qt::BackgroundRole).isValid());

    QVERIFY(ingredients->locateKey(f.potato));
    TableModel* movements = f.page.movements();
    QCOMPARE(movements->rowCount(), 3);
    QStringList ledger;
    for (int row = 0; row < 3; ++row)
        ledger << f.cell(movements, row, 4).toString() + u'/' + f.cell(movements, row, 5).toString() + u'/' +
                      (f.cell(movements, row, 0, Qt::BackgroundRole).isValid() ? u"silver"_s : u"-"_s);
    QCOMPARE(ledger, (QStringList{u"4.000//-"_s, u"/1.500/-"_s, u"//silver"_s}));
    for (DataGrid* grid : {f.page.groupGrid(), f.page.ingredientGrid(), f.page.movementGrid()})
        verifyFits(grid);

    for (const QString& caption : {u"Остатки"_s, u"Статистика"_s})
        QVERIFY(!f.page.button(caption)->isEnabled());
    bool asked = false;
    onNextDialog<TurnoverDialog>([&](TurnoverDialog* dialog) {
        asked = true;
        dialog->reject();
    });
    QTest::mouseClick(f.page.button(u"Оборотка"_s), Qt::LeftButton);
    QVERIFY(asked);
}

void WarehouseWindowsTest::receiptWalk()
{
    Fixture f;
    QCOMPARE(showPage(f.page, f.data.db()), QString());
    f.page.pageShown();
    f.dates.queue(QDate(2024, 3, 9));
    QObject::connect(&f.page, &WarehousePage::windowOpened, [&](QDialog* dialog) {
        auto* window = qobject_cast<StockMovementDialog*>(dialog);
        QVERIFY(window);
        QTimer::singleShot(0, window, [&f, window] {
            const auto script = [&f, window] {
                for (DataGrid* grid : {window->documentGrid(), window->ingredientGrid(), window->lineGrid()})
                    verifyFits(grid);
                QTest::mouseClick(window->button(u"Новый документ"_s), Qt::LeftButton);
                TableModel* documents = window->documents();
                QCOMPARE(documents->rowCount(), 1);
                QCOMPARE(documents->currentValue(u"Date"_s).toString(), u"2024-03-09"_s);
                QCOMPARE(f.cell(documents, 0, 0, Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));

                // No partner yet: the line is refused. The search box finds the partner by lower case.
                window->ingredients()->locateKey(f.potato);
                Q_EMIT window->ingredientGrid()->rowChosen(window->ingredients()->currentRow());
                QCOMPARE(f.prompts.last(), u"Ошибка|Определите партнёра !!!"_s);
                onNextDialog<PartnerChooserDialog>([](PartnerChooserDialog* chooser) {
                    typeText(chooser->searchBox(), u"ромаш"_s);
                    QCOMPARE(chooser->list()->rowCount(), 1);
                    chooser->accept();
                });
                QTest::mouseClick(window->button(u"Выбор партнёра"_s), Qt::LeftButton);
                QCOMPARE(window->partnerBox()->text(), u"ООО \"Ромашка\""_s);

                // Enter in the chooser adds the line; the quantity and price are typed into the lines grid.
                window->ingredientGrid()->setFocus();
                window->ingredientGrid()->setCurrentIndex(
                    window->ingredientGrid()->model()->index(window->ingredients()->rowOfKey(f.potato), 0));
                QTest::keyClick(window->ingredientGrid(), Qt::Key_Return);
                TableModel* lines = window->lines();
                QCOMPARE(lines->rowCount(), 1);
                QVERIFY(lines->setData(lines->index(0, 2), u"10"_s, Qt::EditRole));
                QVERIFY(lines->setData(lines->index(0, 1), u"26"_s, Qt::EditRole));

                onNextDialog<PriceRuleDialog>([](PriceRuleDialog* rule) {
                    QVERIFY(rule->button(PriceRule::Average)->isChecked());
                    rule->accept();
                });
                QTest::mouseClick(window->button(u"Принять на склад"_s), Qt::LeftButton);
                QCOMPARE(f.balance(f.potato), 20.0);
                QCOMPARE(f.price(f.potato), 23.0);
                QCOMPARE(f.cell(documents, 0, 2).toString(), u"Приход"_s);
                QVERIFY(!f.cell(documents, 0, 0, Qt::BackgroundRole).isValid());
                for (const QString& caption :
                     {u"Принять на склад"_s, u"Снять со склада"_s, u"Удалить ингредиент"_s})
                    QVERIFY(!window->button(caption)->isEnabled());
                QVERIFY(!(lines->flags(lines->index(0, 2)) & Qt::ItemIsEditable));

                // Deleted with roll-back: the balance returns, the price stays.
                onNextDialog<DocumentDeletionDialog>([](DocumentDeletionDialog* deletion) {
                    QVERIFY(deletion->rollBackBox()->isVisible());
                    deletion->rollBackBox()->click();
                    QVERIFY(deletion->rollBackBox()->isChecked());
                    deletion->accept();
                });
                QTest::mouseClick(window->button(u"Удалить документ"_s), Qt::LeftButton);
                QCOMPARE(f.prompts.questions.last(),
                         u"Удаление документа|Подтвердите удаление документа !!!"_s);
                QCOMPARE(f.balance(f.potato), 10.0);
                QCOMPARE(f.price(f.potato), 23.0);
                QCOMPARE(documents->rowCount(), 0);
            };
            script();
            window->accept();
        });
    });
    QTest::mouseClick(f.page.button(u"Движение по складу"_s), Qt::LeftButton);
    QVERIFY(f.prompts.questions.first().startsWith(u"В Н И М А Н И Е !!!|"_s));
    QCOMPARE(f.page.ingredients()->number(f.page.ingredients()->rowOfKey(f.potato), u"Kolvo"_s), 10.0);
}

void WarehouseWindowsTest::inventoryWalk()
{
    Fixture f;
    QCOMPARE(showPage(f.page, f.data.db()), QString());
    f.page.pageShown();
    f.dates.queue(QDate(2024, 3, 10));
    QObject::connect(&f.page, &WarehousePage::windowOpened, [&](QDialog* dialog) {
        auto* window = qobject_cast<InventoryDialog*>(dialog);
        QVERIFY(window);
        QTimer::singleShot(0, window, [&f, window] {
            const auto script = [&f, window] {
                QVERIFY(!window->button(u"Печать акта инвентаризации"_s)->isEnabled());
                QTest::mouseClick(window->button(u"Новый документ"_s), Qt::LeftButton);
                onNextDialog<StockChoiceDialog>([](StockChoiceDialog* choice) {
                    choice->reject(); // cannot be cancelled
                    QVERIFY(choice->isVisible());
                    choice->balanceButton()->setChecked(true);
                    choice->accept();
                });
                QTest::mouseClick(window->button(u"Перенести состояние склада"_s), Qt::LeftButton);
                TableModel* lines = window->lines();
                QCOMPARE(lines->rowCount(), 3);
                verifyFits(window->lineGrid());
                QVERIFY(!window->button(u"Перенести состояние склада"_s)->isEnabled());
                const int onion =
                    lines->rowOfKey(f.data.scalar(u"SELECT Nnn FROM inv WHERE Ing = ?"_s, {f.onion}));
                QCOMPARE(f.cell(lines, onion, 0, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
                QCOMPARE(f.cell(lines, onion, 1).toString(), u"кг"_s);
                QVERIFY(lines->setData(lines->index(onion, 4), u"0"_s, Qt::EditRole));
                QVERIFY(lines->post());
                QVERIFY(f.cell(lines, onion, 0, Qt::FontRole).value<QFont>().bold());
                for (int i = 0; i < 3; ++i)
                    f.prompts.queueConfirm(i != 1); // post, without clearing
                QTest::mouseClick(window->button(u"Провести на склад"_s), Qt::LeftButton);
                QCOMPARE(f.balance(f.onion), 0.0);
                QCOMPARE(f.balance(f.potato), 10.0);
                QVERIFY(!window->button(u"Провести на склад"_s)->isEnabled());
                QVERIFY(lines->isReadOnly());
                QCOMPARE(f.cell(lines, 0, 0, Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
            };
            script();
            window->accept();
        });
    });
    QTest::mouseClick(f.page.button(u"Инвентаризация"_s), Qt::LeftButton);
    QCOMPARE(f.data.scalar(u"SELECT count(*) FROM Move WHERE Kod = ?"_s, {f.onion}).toInt(), 1);
    QCOMPARE(f.data.scalar(u"SELECT Oper FROM Move WHERE Kod = ?"_s, {f.onion}).toString(), u"P"_s);
    QCOMPARE(f.data.scalar(u"SELECT Kolvo FROM Move WHERE Kod = ?"_s, {f.onion}).toDouble(), 2.0);
}

void WarehouseWindowsTest::salesPostingWalk()
{
    Fixture f;
    const qlonglong group = f.data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
    const qlonglong soup =
        f.data.insert(u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Суп"_s}, {u"Nporc"_s, 1}});
    f.data.insert(u"Karta"_s,
                  {{u"Kod"_s, soup}, {u"Name"_s, f.potato}, {u"Kolvo"_s, 500}, {u"Vihod"_s, 100}});
    f.data.scalar(u"UPDATE Ing SET Vih = 100"_s);
    const qlonglong doc =
        f.data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-05"_s}, {u"NameR"_s, u"Обед"_s}});
    for (const double portions : {2.0, 0.0})
        f.data.insert(
            u"Realsum"_s,
            {{u"Kod"_s, doc}, {u"KodGrBludo"_s, group}, {u"KodBludo"_s, soup}, {u"Kolvo"_s, portions}});
    ScriptedDatePrompt dates;
    SalesPage sales(&f.prompts, &dates);
    QCOMPARE(showPage(sales, f.data.db()), QString());
    sales.pageShown();
    QVERIFY(sales.postButton()->isEnabled());
    onNextDialog<PartnerChooserDialog>([](PartnerChooserDialog* chooser) { chooser->reject(); });
    QTest::mouseClick(sales.postButton(), Qt::LeftButton);
    QCOMPARE(f.data.count(u"Doc"_s), 0);
    onNextDialog<PartnerChooserDialog>([](PartnerChooserDialog* chooser) {
        typeText(chooser->searchBox(), u"нет такого"_s);
        chooser->accept();
    });
    QTest::mouseClick(sales.postButton(), Qt::LeftButton);
    QCOMPARE(f.data.scalar(u"SELECT Partner FROM Doc"_s).toDouble(), 0.0);
    QCOMPARE(f.balance(f.potato), 9.0);
    QCOMPARE(sales.lines()->rowCount(), 1);
    QVERIFY(!sales.postButton()->isEnabled());

    onNextDialog<DocumentDeletionDialog>([](DocumentDeletionDialog* deletion) {
        QVERIFY(!deletion->rollBackBox()->isVisible());
        QVERIFY(deletion->currentButton()->isChecked());
        deletion->accept();
    });
    QTest::mouseClick(sales.deleteButton(), Qt::LeftButton);
    QCOMPARE(f.data.count(u"Realdoc"_s), 0);
    QCOMPARE(f.data.count(u"Doc"_s), 1); // the warehouse keeps its issue
    QCOMPARE(f.balance(f.potato), 9.0);
}

void WarehouseWindowsTest::newDocumentThroughItsAction_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("opener");
    QTest::newRow("receipts and issues") << u"Doc"_s << u"Движение по складу"_s;
    QTest::newRow("inventory") << u"invdok"_s << u"Инвентаризация"_s;
}

// "Новый документ" pressed while the focus stays in the documents grid makes a new document and
// leaves the posted one as it is.
void WarehouseWindowsTest::newDocumentThroughItsAction()
{
    QFETCH(QString, table);
    QFETCH(QString, opener);
    Fixture f;
    const bool stock = table == u"Doc"_s;
    const qlonglong posted =
        stock ? f.document(u"2024-03-01"_s, true)
              : f.data.insert(u"invdok"_s, {{u"Date"_s, u"2024-03-01"_s}, {u"Provodka"_s, 2}});
    const QString keyField = stock ? u"Nnn"_s : u"Kod"_s;
    const QString stateOf = u"SELECT Date || '/' || Provodka FROM %1 WHERE %2 = ?"_s.arg(table, keyField);
    const QString before = f.data.scalar(stateOf, {posted}).toString();
    QCOMPARE(showPage(f.page, f.data.db()), QString());
    f.page.pageShown();
    f.dates.queue(QDate(2024, 3, 9));
    QObject::connect(&f.page, &WarehousePage::windowOpened, [&](QDialog* dialog) {
        QTimer::singleShot(0, dialog, [&f, dialog, stock] {
            const auto script = [&f, dialog, stock] {
                auto* movement = qobject_cast<StockMovementDialog*>(dialog);
                auto* inventory = qobject_cast<InventoryDialog*>(dialog);
                DataGrid* grid = stock ? movement->documentGrid() : inventory->documentGrid();
                TableModel* documents = stock ? movement->documents() : inventory->documents();
                QPushButton* button =
                    stock ? movement->button(u"Новый документ"_s) : inventory->button(u"Новый документ"_s);
                f.dates.taker = button;
                grid->setFocus();
                QTRY_VERIFY(grid->hasFocus());
                doAction(button, QAccessibleActionInterface::pressAction());
                QTRY_COMPARE(documents->rowCount(), 2);
                QCOMPARE(documents->currentValue(u"Date"_s).toString(), u"2024-03-09"_s);
                QCOMPARE(documents->currentValue(u"Provodka"_s).toInt(), 0);
            };
            script();
            dialog->accept();
        });
    });
    QTest::mouseClick(f.page.button(opener), Qt::LeftButton);
    QCOMPARE(f.data.scalar(stateOf, {posted}).toString(), before);
    QCOMPARE(f.data.count(table), 2);
}

// Ticking the roll-back through its toggle action asks as a click does; "Отмена" leaves it off.
void WarehouseWindowsTest::rollBackThroughItsAction()
{
    ScriptedPrompts prompts;
    DocumentDeletionDialog deletion(&prompts);
    prompts.queueConfirm(false);
    doAction(deletion.rollBackBox(), QAccessibleActionInterface::toggleAction());
    QCOMPARE(prompts.questions.size(), 1);
    QVERIFY(prompts.questions.first().startsWith(u"В Н И М А Н И Е !!!|"_s));
    QVERIFY(!deletion.rollBackBox()->isChecked());
    prompts.queueConfirm(true);
    doAction(deletion.rollBackBox(), QAccessibleActionInterface::toggleAction());
    QVERIFY(deletion.rollBackBox()->isChecked());
}

QTEST_MAIN(WarehouseWindowsTest)
#include "tst_WarehouseWindows.moc"
