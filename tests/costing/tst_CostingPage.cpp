#include "GuiScript.h"
#include "PageFixture.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/ui/CopyDishDialog.h"
#include "costing/ui/CostingPage.h"
#include "costing/ui/IngredientChooserDialog.h"
#include "costing/ui/RecipeDialog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int columnOf(const TableModel* model, const QString& field)
{
    for (int c = 0; c < model->columns().size(); ++c) {
        if (model->columns()[c].field == field)
            return c;
    }
    return -1;
}

bool editable(const TableModel* model, int row, const QString& field)
{
    return model->flags(model->index(row, columnOf(model, field))) & Qt::ItemIsEditable;
}

} // namespace

class tst_CostingPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cookBuildsPricesFinishesAndCopiesADish()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(u"Edinica"_s, {{u"Name"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
        const qlonglong veg = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        const qlonglong potato = data.insert(u"Ing"_s, {{u"Kod"_s, veg},
                                                        {u"Name"_s, u"Картофель"_s},
                                                        {u"Edinica"_s, kg},
                                                        {u"Pf"_s, 0},
                                                        {u"Cena"_s, 40},
                                                        {u"Proc"_s, 10},
                                                        {u"Vih"_s, 80}});
        // An ordinary ingredient without a price is no candidate; a semi-finished one without a price is.
        data.insert(u"Ing"_s, {{u"Kod"_s, veg},
                               {u"Name"_s, u"Морковь"_s},
                               {u"Edinica"_s, kg},
                               {u"Pf"_s, 0},
                               {u"Cena"_s, 0},
                               {u"Vih"_s, 100}});
        const qlonglong sauce = data.insert(
            u"Ing"_s,
            {{u"Kod"_s, veg}, {u"Name"_s, u"Соус"_s}, {u"Edinica"_s, kg}, {u"Pf"_s, 1}, {u"Cena"_s, 0}});
        const qlonglong sides = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Гарниры"_s}, {u"N"_s, 1}});
        const qlonglong soups = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}, {u"N"_s, 2}});
        const qlonglong mash = data.insert(
            u"Bludo"_s, {{u"Kod"_s, sides}, {u"Name"_s, u"Пюре"_s}, {u"Nporc"_s, 5}, {u"Proc"_s, 20}});
        data.insert(u"Bludo"_s, {{u"Kod"_s, sides}, {u"Name"_s, u"Рагу"_s}, {u"Nporc"_s, 1}});

        ScriptedPrompts prompts;
        CostingPage page(&prompts);
        const QString error = showPage(page, data.db());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(page.groups()->currentKey().toLongLong(), sides);
        QVERIFY(page.dishes()->locateKey(mash));
        QVERIFY(page.ingredientsButton()->isEnabled());

        // The chooser: Enter takes the potato, a double click the sauce; grams typed into its card.
        QStringList candidates;
        QString heading;
        onNextDialog<IngredientChooserDialog>([&](IngredientChooserDialog* chooser) {
            for (int row = 0; row < chooser->candidates()->rowCount(); ++row)
                candidates << chooser->candidates()->value(row, u"Name"_s).toString();
            heading = chooser->heading()->text();
            chooser->candidates()->locateKey(potato);
            chooser->candidateGrid()->setFocus();
            QTest::keyClick(chooser->candidateGrid(), Qt::Key_Return);
            DataGrid* grid = chooser->candidateGrid();
            const QRect sauceCell =
                grid->visualRect(grid->model()->index(chooser->candidates()->rowOfKey(sauce), 0));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, sauceCell.center());
            const QModelIndex grams = chooser->card()->index(0, 1);
            chooser->cardGrid()->setFocus();
            chooser->cardGrid()->setCurrentIndex(grams);
            chooser->cardGrid()->edit(grams);
            if (QWidget* editor = chooser->cardGrid()->indexWidget(grams))
                QTest::keyClicks(editor, u"500"_s);
            QTest::mouseClick(chooser->okButton(), Qt::LeftButton);
        });
        page.ingredientsButton()->click();
        QCOMPARE(candidates, (QStringList{u"Картофель"_s, u"Соус"_s}));
        QCOMPARE(heading, u"Список ингредиентов <Пюре>"_s);
        TableModel* card = page.card();
        QCOMPARE(card->rowCount(), 2);
        QCOMPARE(card->value(0, u"Name1"_s).toString(), u"Картофель"_s);
        QCOMPARE(card->value(0, u"Kolvo"_s).toDouble(), 500.0);
        QCOMPARE(card->value(1, u"Vihod"_s).toDouble(), 100.0);
        // The line yield of a semi-finished product is not the line's to change.
        QVERIFY(card->setCurrentRow(1));
        QVERIFY(!editable(card, 1, u"Vihod"_s));
        QVERIFY(card->setCurrentRow(0));
        QVERIFY(editable(card, 0, u"Vihod"_s));

        page.cardGrid()->setFocus();
        QTest::keyClick(page.cardGrid(), Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyClick(page.cardGrid(), Qt::Key_Insert);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Karta"_s).toInt(), 2);
        QCOMPARE(card->rowCount(), 2);
        QVERIFY(prompts.questions.isEmpty());

        // 40 / 1000 × 1.1 × 500 / 5 × 100 / 80 = 5.5, the sauce adds nothing, × 1.2 = 6.60.
        page.priceButton()->click();
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
        TableModel* dishes = page.dishes();
        QCOMPARE(dishes->currentKey().toLongLong(), mash);
        QCOMPARE(
            dishes->data(dishes->index(dishes->currentRow(), columnOf(dishes, u"Cena"_s)), Qt::DisplayRole)
                .toString(),
            u"6.60"_s);

        page.finishButton()->click();
        QVERIFY(dishes->currentValue(u"Status"_s).toBool());
        QVERIFY(!page.finishButton()->isEnabled());
        QVERIFY(!page.ingredientsButton()->isEnabled());
        QVERIFY(!page.deleteLineButton()->isEnabled());
        QVERIFY(!card->setData(card->index(0, 1), u"700"_s, Qt::EditRole));
        QVERIFY(!card->setFieldValue(u"Kolvo"_s, 700));
        QCOMPARE(data.scalar(u"SELECT Kolvo FROM Karta WHERE Name = ?"_s, {potato}).toDouble(), 500.0);
        for (const char* field : {"Name", "Nporc", "Proc", "Vixod", "Cena"})
            QVERIFY2(!editable(dishes, dishes->currentRow(), QString::fromLatin1(field)), field);
        QVERIFY(editable(dishes, dishes->currentRow(), u"Print"_s));

        // Another dish under development opens up again.
        QVERIFY(dishes->setCurrentRow(dishes->currentRow() == 0 ? 1 : 0));
        QVERIFY(page.finishButton()->isEnabled());
        QVERIFY(page.ingredientsButton()->isEnabled());
        QVERIFY(!card->isReadOnly());
        QVERIFY(editable(dishes, dishes->currentRow(), u"Name"_s));

        // The copy of a finished dish goes to the chosen group under development and without a price.
        QVERIFY(dishes->locateKey(mash));
        QString presetName;
        onNextDialog<CopyDishDialog>([&](CopyDishDialog* dialog) {
            presetName = dialog->nameBox()->text();
            dialog->nameBox()->setText(u"Пюре с соусом"_s);
            dialog->groups()->locateKey(soups);
            dialog->accept();
        });
        page.copyButton()->click();
        QCOMPARE(presetName, u"Пюре"_s);
        const QVariant copy =
            data.scalar(u"SELECT Kod1 FROM Bludo WHERE Name = ? AND Kod = ?"_s, {u"Пюре с соусом"_s, soups});
        QVERIFY(copy.isValid());
        QCOMPARE(
            data.scalar(u"SELECT COALESCE(Status, 0) + COALESCE(Cena, 0) FROM Bludo WHERE Kod1 = ?"_s, {copy})
                .toDouble(),
            0.0);
        QCOMPARE(data.scalar(u"SELECT sum(Kolvo) FROM Karta WHERE Kod = ?"_s, {copy}).toDouble(), 500.0);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Karta WHERE Kod = ?"_s, {copy}).toInt(), 2);

        // Cancel copies nothing.
        onNextDialog<CopyDishDialog>([](CopyDishDialog* dialog) { dialog->reject(); });
        page.copyButton()->click();
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Bludo"_s).toInt(), 3);
    }

    void contextSearchAndRecipeOfAFinishedDish()
    {
        TestDataDir data;
        const qlonglong veg = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        const qlonglong dairy = data.insert(u"Gring"_s, {{u"Name"_s, u"Молочные"_s}});
        data.insert(u"Ing"_s, {{u"Kod"_s, veg}, {u"Name"_s, u"Лук"_s}, {u"Cena"_s, 30}});
        const qlonglong milk =
            data.insert(u"Ing"_s, {{u"Kod"_s, dairy}, {u"Name"_s, u"Молоко"_s}, {u"Cena"_s, 60}});
        const qlonglong group = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Каши"_s}});
        const qlonglong porridge = data.insert(u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Каша"_s}});
        ScriptedPrompts prompts;
        CostingPage page(&prompts);
        const QString error = showPage(page, data.db());
        QVERIFY2(error.isEmpty(), qPrintable(error));

        // Searching by name crosses the groups; Space in the group grid takes the found candidate.
        bool boxWasDisabled = false;
        QString groupShown;
        onNextDialog<IngredientChooserDialog>([&](IngredientChooserDialog* chooser) {
            boxWasDisabled = !chooser->searchBox()->isEnabled();
            chooser->searchCheck()->setChecked(true);
            typeText(chooser->searchBox(), u"мол"_s);
            groupShown = chooser->groupGrid()->tableModel()->currentValue(u"Name"_s).toString();
            chooser->groupGrid()->setFocus();
            QTest::keyClick(chooser->groupGrid(), Qt::Key_Space);
            chooser->searchCheck()->setChecked(false);
            QCOMPARE(chooser->candidates()->currentKey().toLongLong(), milk);
            QCOMPARE(chooser->candidates()->rowCount(), 1);
            chooser->accept();
        });
        page.ingredientsButton()->click();
        QVERIFY(boxWasDisabled);
        QCOMPARE(groupShown, u"Молочные"_s);
        QCOMPARE(page.card()->rowCount(), 1);
        QCOMPARE(page.card()->currentValue(u"Name"_s).toLongLong(), milk);

        // A finished dish keeps its recipe editable; the text is stored on leaving the window.
        page.finishButton()->click();
        onNextDialog<RecipeDialog>([](RecipeDialog* recipe) {
            recipe->textBox()->setFocus();
            typeText(recipe->textBox(), u"Варить 20 минут"_s);
            recipe->exitButton()->click();
        });
        page.recipeButton()->click();
        QCOMPARE(data.scalar(u"SELECT Recept FROM Bludo WHERE Kod1 = ?"_s, {porridge}).toString(),
                 u"Варить 20 минут"_s);
        QCOMPARE(page.dishes()->state(), TableModel::State::Browse);
    }

    void groupOrderNumberRewritesMenuEntriesOnlyWhenItChanges()
    {
        TestDataDir data;
        const qlonglong group = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Салаты"_s}, {u"N"_s, 3}});
        const qlonglong menu = data.insert(u"Menu"_s, {{u"Name"_s, u"Обед"_s}});
        for (int i = 0; i < 2; ++i)
            data.insert(u"MenuSp"_s, {{u"Kod"_s, menu}, {u"GrName"_s, group}, {u"Nn"_s, 3}});
        ScriptedPrompts prompts;
        CostingPage page(&prompts);
        const QString error = showPage(page, data.db());
        QVERIFY2(error.isEmpty(), qPrintable(error));

        struct Case
        {
            double typed;
            double entriesBefore;
            double entriesAfter;
        };
        // 7.4 is still 7: the entries that were set aside stay as they are.
        for (const Case& c : {Case{7, 3, 7}, Case{7.4, 5, 5}, Case{2, 5, 2}}) {
            QSqlQuery reset(data.db());
            QVERIFY(reset.exec(u"UPDATE MenuSp SET Nn = %1"_s.arg(c.entriesBefore)));
            TableModel* groups = page.groups();
            page.groupGrid()->setFocus();
            QVERIFY(groups->setData(groups->index(0, 1), QString::number(c.typed), Qt::EditRole));
            page.dishGrid()->setFocus();
            QCOMPARE(groups->state(), TableModel::State::Browse);
            QCOMPARE(data.scalar(u"SELECT min(Nn) FROM MenuSp"_s).toDouble(), c.entriesAfter);
            QCOMPARE(data.scalar(u"SELECT max(Nn) FROM MenuSp"_s).toDouble(), c.entriesAfter);
        }
        QVERIFY(prompts.shown.isEmpty());
    }

    void failedPriceRunIsShown()
    {
        TestDataDir data;
        const qlonglong group = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
        data.insert(u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Борщ"_s}, {u"Nporc"_s, 0}, {u"Cena"_s, 9}});
        const qlonglong beet = data.insert(u"Ing"_s, {{u"Name"_s, u"Свёкла"_s}, {u"Cena"_s, 10}});
        data.insert(u"Karta"_s, {{u"Kod"_s, data.scalar(u"SELECT Kod1 FROM Bludo"_s)},
                                 {u"Name"_s, beet},
                                 {u"Kolvo"_s, 100},
                                 {u"Vihod"_s, 100}});
        ScriptedPrompts prompts;
        CostingPage page(&prompts);
        QString error;
        QVERIFY(page.openViews(data.db(), &error));
        page.show();
        page.priceButton()->click();
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY2(prompts.last().startsWith(u"Ошибка|"_s), qPrintable(prompts.last()));
        QCOMPARE(page.dishes()->currentValue(u"Cena"_s).toDouble(), 9.0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(tst_CostingPage)
#include "tst_CostingPage.moc"
