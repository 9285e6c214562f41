#include "FaultInjection.h"
#include "GuiScript.h"
#include "PageFixture.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/ui/CompositionChooserDialog.h"
#include "reference/ui/ContextSearchBar.h"
#include "reference/ui/IngredientPickerDialog.h"
#include "reference/ui/IngredientsPage.h"
#include "reference/ui/NewIngredientDialog.h"
#include "reference/ui/PriceRecalculationDialog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/WorkerRun.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QString nameAt(const TableModel* model, int row)
{
    return model->value(row, u"Name"_s).toString();
}

int columnOf(const TableModel* model, const QString& field)
{
    for (int c = 0; c < model->columns().size(); ++c) {
        if (model->columns()[c].field == field)
            return c;
    }
    return -1;
}

bool editable(const TableModel* model, const QString& field)
{
    return model->flags(model->index(model->currentRow(), columnOf(model, field))) & Qt::ItemIsEditable;
}

// Two groups; milk is a component of the semi-finished mash, sour cream is used nowhere.
struct Kitchen
{
    TestDataDir data;
    qlonglong dairy, vegetables, kg, milk, sourCream, potato, mash;

    Kitchen()
    {
        kg = data.insert(u"Edinica"_s,
                         {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
        vegetables = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        dairy = data.insert(u"Gring"_s, {{u"Name"_s, u"Молочные"_s}});
        milk = ingredient(dairy, u"Молоко"_s, 80, false, 90);
        sourCream = ingredient(dairy, u"Сметана"_s, 200, false, 95);
        potato = ingredient(vegetables, u"Картофель"_s, 30, false, 80);
        mash = ingredient(vegetables, u"Пюре"_s, 150, true, 100);
        data.insert(u"pf"_s, {{u"Kod"_s, mash}, {u"Name"_s, potato}, {u"Kolvo"_s, 200}});
        data.insert(u"pf"_s, {{u"Kod"_s, mash}, {u"Name"_s, milk}, {u"Kolvo"_s, 50}});
    }

    qlonglong ingredient(qlonglong group, const QString& name, double price, bool semi, double yield)
    {
        return data.insert(u"Ing"_s, {{u"Kod"_s, group},
                                      {u"Name"_s, name},
                                      {u"Edinica"_s, kg},
                                      {u"Cena"_s, price},
                                      {u"Pf"_s, semi ? 1 : 0},
                                      {u"Vih"_s, yield}});
    }

    QVariant field(qlonglong ingredient, const QString& name)
    {
        return data.scalar(u"SELECT %1 FROM Ing WHERE Kod1 = ?"_s.arg(name), {ingredient});
    }
};

} // namespace

class tst_IngredientsPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void walksGroupsIngredientsAndCompositions()
    {
        Kitchen kitchen;
        ScriptedPrompts prompts;
        IngredientsPage page(&prompts);
        const QString error = showPage(page, kitchen.data.db());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        TableModel* groups = page.groups();
        TableModel* ingredients = page.ingredients();

        // Groups by name, the first one's ingredients beside them.
        QCOMPARE(nameAt(groups, 0), u"Молочные"_s);
        QCOMPARE(ingredients->rowCount(), 2);
        QCOMPARE(ingredients->data(ingredients->index(0, 1), Qt::DisplayRole).toString(), u"кг"_s);
        const auto units = IngredientsPage::unitChoices(kitchen.data.db())();
        QCOMPARE(units.size(), 1);
        QCOMPARE(units[0].first.toLongLong(), kitchen.kg);
        QCOMPARE(units[0].second, u"кг"_s);

        page.groupGrid()->setCurrentIndex(groups->index(1, 0));
        QCOMPARE(ingredients->rowCount(), 2);
        QCOMPARE(nameAt(ingredients, 0), u"Картофель"_s);
        QVERIFY(!page.compositionGrid()->isEnabled());
        QVERIFY(editable(ingredients, u"Cena"_s));

        // A semi-finished product: its composition is editable, its price and yield are not.
        page.ingredientGrid()->setCurrentIndex(ingredients->index(1, 0));
        QVERIFY(page.semiFinishedBox()->isChecked());
        QVERIFY(page.compositionGrid()->isEnabled());
        QVERIFY(page.compositionButton()->isEnabled());
        QVERIFY(page.deleteComponentButton()->isEnabled());
        QVERIFY(!editable(ingredients, u"Cena"_s));
        QVERIFY(!editable(ingredients, u"Vih"_s));
        TableModel* composition = page.composition();
        QCOMPARE(composition->rowCount(), 2);
        QCOMPARE(composition->value(0, u"Name1"_s).toString(), u"Картофель"_s);
        page.compositionGrid()->setFocus();
        QTest::keyClick(page.compositionGrid(), Qt::Key_Insert);
        QTest::keyClick(page.compositionGrid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(composition->rowCount(), 2);

        // Potato is a component: the button refuses, Ctrl+Delete does nothing.
        page.ingredientGrid()->setCurrentIndex(ingredients->index(0, 0));
        QVERIFY(!page.compositionGrid()->isEnabled());
        page.ingredientGrid()->setFocus();
        QTest::keyClick(page.ingredientGrid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(ingredients->rowCount(), 2);
        prompts.queueConfirm(true);
        page.deleteIngredientButton()->click();
        QCOMPARE(prompts.last(), u"Ошибка удаления ингредиента|Ингредиент не удалён, он используется в "
                                 "блюдах или составляющих полуфабрикатов !!!"_s);
        QCOMPARE(kitchen.data.scalar(u"SELECT count(*) FROM Ing"_s).toInt(), 4);

        // Context search: all ingredients by name, Insert adds nothing, the group follows the ingredient.
        page.contextSearch()->checkBox()->setChecked(true);
        QCOMPARE(ingredients->rowCount(), 4);
        QVERIFY(!page.deleteGroupButton()->isEnabled());
        QVERIFY(!editable(ingredients, u"Name"_s));
        typeText(page.contextSearch()->searchBox(), u"сме"_s);
        QCOMPARE(ingredients->currentValue(u"Name"_s).toString(), u"Сметана"_s);
        QCOMPARE(groups->rowCount(), 1);
        QCOMPARE(nameAt(groups, 0), u"Молочные"_s);
        page.ingredientGrid()->setFocus();
        QTest::keyClick(page.ingredientGrid(), Qt::Key_Insert);
        QCOMPARE(ingredients->rowCount(), 4);
        QTest::keyClick(page.groupGrid(), Qt::Key_Insert);
        QCOMPARE(groups->rowCount(), 1);

        // Leaving the page restores the groups, staying on the ingredient found.
        page.pageHidden();
        QVERIFY(!page.contextSearch()->checkBox()->isChecked());
        QVERIFY(!page.contextSearch()->searchBox()->isEnabled());
        QCOMPARE(groups->rowCount(), 2);
        QCOMPARE(groups->currentValue(u"Name"_s).toString(), u"Молочные"_s);
        QCOMPARE(ingredients->rowCount(), 2);
        QCOMPARE(ingredients->currentValue(u"Name"_s).toString(), u"Сметана"_s);
        QVERIFY(page.deleteGroupButton()->isEnabled());

        // An unused ingredient goes.
        prompts.queueConfirm(true);
        page.deleteIngredientButton()->click();
        QCOMPARE(prompts.last(), u"Информация|Ингредиент успешно удалён !!!"_s);
        QCOMPARE(ingredients->rowCount(), 1);
        QCOMPARE(kitchen.data.scalar(u"SELECT count(*) FROM Ing"_s).toInt(), 3);
    }

    void flagSetsYieldOnlyAfterAChange_data()
    {
        QTest::addColumn<bool>("throughAction");
        QTest::newRow("mouse") << false;
        QTest::newRow("toggle action") << true; // a keyboard or a screen reader
    }
    void flagSetsYieldOnlyAfterAChange()
    {
        QFETCH(bool, throughAction);
        Kitchen kitchen;
        ScriptedPrompts prompts;
        IngredientsPage page(&prompts);
        const QString error = showPage(page, kitchen.data.db());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(page.ingredients()->currentValue(u"Name"_s).toString(), u"Молоко"_s);

        // Passing through the box without a change stores nothing.
        page.semiFinishedBox()->setFocus();
        page.ingredientGrid()->setFocus();
        QCOMPARE(kitchen.field(kitchen.milk, u"Vih"_s).toDouble(), 90.0);

        if (throughAction) {
            QAccessible::queryAccessibleInterface(page.semiFinishedBox())
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::toggleAction());
        } else {
            QTest::mouseClick(page.semiFinishedBox(), Qt::LeftButton, {},
                              QPoint(5, page.semiFinishedBox()->height() / 2));
        }
        QVERIFY(page.ingredientGrid()->hasFocus());
        QCOMPARE(kitchen.field(kitchen.milk, u"Pf"_s).toInt(), 1);
        QCOMPARE(kitchen.field(kitchen.milk, u"Vih"_s).toDouble(), 100.0);
        QVERIFY(page.compositionGrid()->isEnabled());
        QVERIFY(!editable(page.ingredients(), u"Cena"_s));
    }

    void chooserAddsComponentsAndResetsPrice()
    {
        Kitchen kitchen;
        ScriptedPrompts prompts;
        IngredientsPage page(&prompts);
        const QString error = showPage(page, kitchen.data.db());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        page.groupGrid()->setCurrentIndex(page.groups()->index(1, 0));
        page.ingredientGrid()->setCurrentIndex(page.ingredients()->index(1, 0));
        QCOMPARE(page.ingredients()->currentValue(u"Name"_s).toString(), u"Пюре"_s);

        // Without a price an ingredient is never offered, in either arrangement.
        kitchen.ingredient(kitchen.dairy, u"Творог"_s, 0, false, 100);
        QString heading;
        // The steps run inside the modal chooser; it is closed even when a check fails.
        QTimer::singleShot(0, &page, [&] {
            CompositionChooserDialog* chooser = page.compositionChooser();
            [&] {
                heading = chooser->heading()->text();
                DataGrid* candidates = chooser->candidateGrid();
                QCOMPARE(candidates->model()->rowCount(), 2);
                chooser->contextSearch()->checkBox()->setChecked(true);
                QCOMPARE(candidates->model()->rowCount(), 4);
                typeText(chooser->contextSearch()->searchBox(), u"сме"_s);
                QCOMPARE(candidates->tableModel()->currentValue(u"Name"_s).toString(), u"Сметана"_s);
                QCOMPARE(chooser->groupGrid()->model()->rowCount(), 1);
                QVERIFY(!chooser->groupGrid()->isEnabled());
                chooser->contextSearch()->checkBox()->setChecked(false);
                QCOMPARE(chooser->groupGrid()->model()->rowCount(), 2);
                candidates->setCurrentIndex(candidates->model()->index(0, 0));
                // The groups are by name: "Молочные" first, milk its first candidate.
                candidates->setFocus();
                QTest::keyClick(candidates, Qt::Key_Return);
                QTest::keyClick(candidates, Qt::Key_Return);
                chooser->groupGrid()->setCurrentIndex(chooser->groupGrid()->model()->index(1, 0));
                candidates->setCurrentIndex(candidates->model()->index(1, 0));
                QTest::keyClick(candidates, Qt::Key_Return);
            }();
            chooser->accept();
        });
        page.compositionButton()->click();
        QCOMPARE(heading, u"Ингредиенты полуфабриката \"Пюре\""_s);
        QCOMPARE(prompts.last(), u"Ошибка выбора|Полуфабрикат не может входить сам в себя"_s);
        QCOMPARE(kitchen.data.scalar(u"SELECT count(*) FROM pf WHERE Name = ?"_s, {kitchen.milk}).toInt(), 3);
        QCOMPARE(page.composition()->rowCount(), 4);
        QCOMPARE(kitchen.field(kitchen.mash, u"Cena"_s).toDouble(), 0.0);
        QCOMPARE(page.ingredients()->currentValue(u"Cena"_s).toDouble(), 0.0);
    }

    void priceDialogKeepsItsChoicesForTheRun()
    {
        Kitchen kitchen;
        ScriptedPrompts prompts;
        IngredientsPage page(&prompts);
        const QString error = showPage(page, kitchen.data.db());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        page.groupGrid()->setCurrentIndex(page.groups()->index(1, 0)); // "Овощи"
        PriceRecalculationDialog* dialog = page.priceDialog();
        QCOMPARE(dialog->windowTitle(), u"Пересчет цен"_s);
        QCOMPARE(dialog->percentCounter()->text(), u"0%"_s);

        QTimer::singleShot(0, dialog, [dialog] {
            dialog->scopeButton(PriceRecalculation::Scope::Group)->setChecked(true);
            for (int i = 0; i < 10; ++i)
                dialog->percentCounter()->stepUp();
            dialog->accept();
        });
        page.recalculateButton()->click();
        QCOMPARE(dialog->percentCounter()->text(), u"10%"_s);
        QCOMPARE(prompts.questions.last(),
                 u"Предупреждение пересчёта|Вы уверены что хотите увеличить цену группе ингредиентов "
                 "\"Овощи\" на 10%"_s);
        QCOMPARE(kitchen.field(kitchen.potato, u"Cena"_s).toDouble(), 33.0);
        QCOMPARE(page.ingredients()->value(0, u"Cena"_s).toDouble(), 33.0);
        QCOMPARE(kitchen.field(kitchen.mash, u"Cena"_s).toDouble(), 150.0);
        QCOMPARE(kitchen.field(kitchen.milk, u"Cena"_s).toDouble(), 80.0);

        // Shown again, the dialog offers the same choices; a refused confirmation changes nothing.
        QTimer::singleShot(0, dialog, [dialog] {
            [dialog] {
                QVERIFY(dialog->scopeButton(PriceRecalculation::Scope::Group)->isChecked());
                QCOMPARE(dialog->percentCounter()->value(), 10);
            }();
            dialog->actionButton(PriceRecalculation::Action::Lower)->setChecked(true);
            dialog->accept();
        });
        prompts.queueConfirm(false);
        page.recalculateButton()->click();
        QVERIFY(prompts.questions.last().contains(u"уменьшить цену"_s));
        QCOMPARE(kitchen.field(kitchen.potato, u"Cena"_s).toDouble(), 33.0);
    }

    void movingAnIngredientTakesItToTheChosenGroup()
    {
        Kitchen kitchen;
        ScriptedPrompts prompts;
        IngredientsPage page(&prompts);
        const QString error = showPage(page, kitchen.data.db());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(page.ingredients()->currentValue(u"Name"_s).toString(), u"Молоко"_s);
        QTimer::singleShot(0, &page, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), u"Выбор новой группы для ингредиента"_s);
            auto* grid = dialog->findChild<DataGrid*>();
            grid->setCurrentIndex(grid->model()->index(1, 0)); // "Овощи"
            dialog->accept();
        });
        page.moveButton()->click();
        QCOMPARE(kitchen.field(kitchen.milk, u"Kod"_s).toLongLong(), kitchen.vegetables);
        QCOMPARE(page.ingredients()->rowCount(), 1);
        QCOMPARE(page.ingredients()->currentValue(u"Name"_s).toString(), u"Сметана"_s);
    }

    void newIngredientDialogReadsThePriceInTheSystemFormat_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("comma") << u"12,50"_s << true << QString();
        QTest::newRow("point") << u"12.50"_s << false << u"|Введите в поле \"Цена\" число в формате XX,XX"_s;
        QTest::newRow("two commas") << u"1,2,3"_s << false << u"Ошибка|\"1,2,3\" не является числом."_s;
    }

    void newIngredientDialogReadsThePriceInTheSystemFormat()
    {
        QFETCH(QString, price);
        QFETCH(bool, stored);
        QFETCH(QString, message);
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::Russian));
        Kitchen kitchen;
        ScriptedPrompts prompts;
        NewIngredientDialog dialog(&prompts, kitchen.data.db(), PriceHistory::Source::NewIngredient);
        QString error;
        QVERIFY2(dialog.openViews(&error), qPrintable(error));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.groupGrid()->setCurrentIndex(dialog.groupGrid()->model()->index(1, 0)); // "Овощи"
        typeText(dialog.nameBox(), u"Морковь"_s);
        typeText(dialog.priceBox(), price);
        dialog.okButton()->click();
        const QVariant price2 = kitchen.data.scalar(u"SELECT Cena FROM Ing WHERE Name = ?"_s, {u"Морковь"_s});
        QLocale::setDefault(previous);
        if (stored) {
            QVERIFY(prompts.shown.isEmpty());
            QCOMPARE(price2.toDouble(), 12.5);
            QCOMPARE(
                kitchen.data.scalar(u"SELECT Kod FROM Ing WHERE Name = ?"_s, {u"Морковь"_s}).toLongLong(),
                kitchen.vegetables);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.addedKey().isNull());
        } else {
            QCOMPARE(prompts.last(), message);
            QVERIFY(price2.isNull());
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.priceBox()->hasFocus());
        }
    }

    void pickerKeepsTheCursorOnARowWithoutUnit()
    {
        Kitchen kitchen;
        kitchen.data.insert(u"Ing"_s, {{u"Kod"_s, kitchen.dairy}, {u"Name"_s, u"Кефир"_s}, {u"Cena"_s, 60}});
        ScriptedPrompts prompts;
        IngredientsPage page(&prompts);
        QString error;
        QVERIFY2(page.openViews(kitchen.data.db(), &error), qPrintable(error));
        IngredientPickerDialog picker(&prompts, kitchen.data.db(), page.groups());
        QVERIFY2(picker.openViews(&error), qPrintable(error));
        picker.show();
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        TableModel* ingredients = picker.ingredients();
        QCOMPARE(ingredients->rowCount(), 3);

        DataGrid* grid = picker.ingredientGrid();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down); // milk passes
        QVERIFY(prompts.shown.isEmpty());
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(nameAt(ingredients, ingredients->currentRow()), u"Кефир"_s);
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(prompts.last(), u"Ошибка|Поставьте единицу измерения ингредиенту"_s);
        QCOMPARE(nameAt(ingredients, ingredients->currentRow()), u"Кефир"_s);
        QCOMPARE(grid->currentIndex().row(), ingredients->currentRow());

        picker.chooseButton()->click();
        QCOMPARE(picker.chosenName(), u"Кефир"_s);
        picker.closeViews();
    }

    // "Пересчёт цен" on the worker stores what the same repricing stores in the window's thread, its
    // history included; cancelled, every table stays as it was.
    void repricingOnTheWorker_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("run through") << false;
        QTest::newRow("cancelled") << true;
    }
    void repricingOnTheWorker()
    {
        QFETCH(bool, cancel);
        const PriceRecalculation::Settings settings{PriceRecalculation::Scope::All,
                                                    PriceRecalculation::Action::Raise, 10};
        Kitchen here;
        ScriptedPrompts herePrompts;
        QVERIFY(PriceRecalculation(here.data.db()).run(settings, here.milk, here.dairy, herePrompts));

        Kitchen there;
        const QString before = databaseSnapshot(there.data.db());
        ScriptedPrompts prompts;
        PriceRecalculation::Outcome outcome;
        QStringList progress;
        const Worker::Outcome run = runInWorker(
            nullptr, prompts, u"Пересчёт цен"_s, there.data.db(), [&](const QSqlDatabase& db, Worker&) {
                outcome =
                    PriceRecalculation(db).apply(settings, there.milk, there.dairy, [&](int n, int total) {
                        progress << u"%1/%2"_s.arg(n).arg(total);
                        if (cancel)
                            pressCancelOnWindowThread();
                        return !cancel;
                    });
            });
        QCOMPARE(run, cancel ? Worker::Outcome::Cancelled : Worker::Outcome::Finished);
        QCOMPARE(progress, cancel ? QStringList{u"0/3"_s} : (QStringList{u"0/3"_s, u"3/3"_s}));
        QCOMPARE(databaseSnapshot(there.data.db()), cancel ? before : databaseSnapshot(here.data.db()));
        QCOMPARE(outcome.stored, !cancel);
        QCOMPARE(PriceRecalculation::tell(outcome, prompts), !cancel);
        QCOMPARE(outcome.prices, 3);
    }
};

QTEST_MAIN(tst_IngredientsPage)
#include "tst_IngredientsPage.moc"
