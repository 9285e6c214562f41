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
        const qlonglong kg =
            data.insert(QStringLiteral("Edinica"),
                        {{QStringLiteral("Name"), QStringLiteral("кг")}, {QStringLiteral("Gramm"), 1000}});
        const qlonglong veg =
            data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Овощи")}});
        const qlonglong potato =
            data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), veg},
                                                {QStringLiteral("Name"), QStringLiteral("Картофель")},
                                                {QStringLiteral("Edinica"), kg},
                                                {QStringLiteral("Pf"), 0},
                                                {QStringLiteral("Cena"), 40},
                                                {QStringLiteral("Proc"), 10},
                                                {QStringLiteral("Vih"), 80}});
        // An ordinary ingredient without a price is no candidate; a semi-finished one without a price is.
        data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), veg},
                                            {QStringLiteral("Name"), QStringLiteral("Морковь")},
                                            {QStringLiteral("Edinica"), kg},
                                            {QStringLiteral("Pf"), 0},
                                            {QStringLiteral("Cena"), 0},
                                            {QStringLiteral("Vih"), 100}});
        const qlonglong sauce =
            data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), veg},
                                                {QStringLiteral("Name"), QStringLiteral("Соус")},
                                                {QStringLiteral("Edinica"), kg},
                                                {QStringLiteral("Pf"), 1},
                                                {QStringLiteral("Cena"), 0}});
        const qlonglong sides =
            data.insert(QStringLiteral("Grbludo"),
                        {{QStringLiteral("Name"), QStringLiteral("Гарниры")}, {QStringLiteral("N"), 1}});
        const qlonglong soups =
            data.insert(QStringLiteral("Grbludo"),
                        {{QStringLiteral("Name"), QStringLiteral("Супы")}, {QStringLiteral("N"), 2}});
        const qlonglong mash =
            data.insert(QStringLiteral("Bludo"), {{QStringLiteral("Kod"), sides},
                                                  {QStringLiteral("Name"), QStringLiteral("Пюре")},
                                                  {QStringLiteral("Nporc"), 5},
                                                  {QStringLiteral("Proc"), 20}});
        data.insert(QStringLiteral("Bludo"), {{QStringLiteral("Kod"), sides},
                                              {QStringLiteral("Name"), QStringLiteral("Рагу")},
                                              {QStringLiteral("Nporc"), 1}});

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
                candidates << chooser->candidates()->value(row, QStringLiteral("Name")).toString();
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
                QTest::keyClicks(editor, QStringLiteral("500"));
            QTest::mouseClick(chooser->okButton(), Qt::LeftButton);
        });
        page.ingredientsButton()->click();
        QCOMPARE(candidates, (QStringList{QStringLiteral("Картофель"), QStringLiteral("Соус")}));
        QCOMPARE(heading, QStringLiteral("Список ингредиентов <Пюре>"));
        TableModel* card = page.card();
        QCOMPARE(card->rowCount(), 2);
        QCOMPARE(card->value(0, QStringLiteral("Name1")).toString(), QStringLiteral("Картофель"));
        QCOMPARE(card->value(0, QStringLiteral("Kolvo")).toDouble(), 500.0);
        QCOMPARE(card->value(1, QStringLiteral("Vihod")).toDouble(), 100.0);
        // The line yield of a semi-finished product is not the line's to change.
        QVERIFY(card->setCurrentRow(1));
        QVERIFY(!editable(card, 1, QStringLiteral("Vihod")));
        QVERIFY(card->setCurrentRow(0));
        QVERIFY(editable(card, 0, QStringLiteral("Vihod")));

        page.cardGrid()->setFocus();
        QTest::keyClick(page.cardGrid(), Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyClick(page.cardGrid(), Qt::Key_Insert);
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Karta")).toInt(), 2);
        QCOMPARE(card->rowCount(), 2);
        QVERIFY(prompts.questions.isEmpty());

        // 40 / 1000 × 1.1 × 500 / 5 × 100 / 80 = 5.5, the sauce adds nothing, × 1.2 = 6.60.
        page.priceButton()->click();
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.last()));
        TableModel* dishes = page.dishes();
        QCOMPARE(dishes->currentKey().toLongLong(), mash);
        QCOMPARE(dishes
                     ->data(dishes->index(dishes->currentRow(), columnOf(dishes, QStringLiteral("Cena"))),
                            Qt::DisplayRole)
                     .toString(),
                 QStringLiteral("6.60"));

        page.finishButton()->click();
        QVERIFY(dishes->currentValue(QStringLiteral("Status")).toBool());
        QVERIFY(!page.finishButton()->isEnabled());
        QVERIFY(!page.ingredientsButton()->isEnabled());
        QVERIFY(!page.deleteLineButton()->isEnabled());
        QVERIFY(!card->setData(card->index(0, 1), QStringLiteral("700"), Qt::EditRole));
        QVERIFY(!card->setFieldValue(QStringLiteral("Kolvo"), 700));
        QCOMPARE(data.scalar(QStringLiteral("SELECT Kolvo FROM Karta WHERE Name = ?"), {potato}).toDouble(),
                 500.0);
        for (const char* field : {"Name", "Nporc", "Proc", "Vixod", "Cena"})
            QVERIFY2(!editable(dishes, dishes->currentRow(), QString::fromLatin1(field)), field);
        QVERIFY(editable(dishes, dishes->currentRow(), QStringLiteral("Print")));

        // Another dish under development opens up again.
        QVERIFY(dishes->setCurrentRow(dishes->currentRow() == 0 ? 1 : 0));
        QVERIFY(page.finishButton()->isEnabled());
        QVERIFY(page.ingredientsButton()->isEnabled());
        QVERIFY(!card->isReadOnly());
        QVERIFY(editable(dishes, dishes->currentRow(), QStringLiteral("Name")));

        // The copy of a finished dish goes to the chosen group under development and without a price.
        QVERIFY(dishes->locateKey(mash));
        QString presetName;
        onNextDialog<CopyDishDialog>([&](CopyDishDialog* dialog) {
            presetName = dialog->nameBox()->text();
            dialog->nameBox()->setText(QStringLiteral("Пюре с соусом"));
            dialog->groups()->locateKey(soups);
            dialog->accept();
        });
        page.copyButton()->click();
        QCOMPARE(presetName, QStringLiteral("Пюре"));
        const QVariant copy = data.scalar(QStringLiteral("SELECT Kod1 FROM Bludo WHERE Name = ? AND Kod = ?"),
                                          {QStringLiteral("Пюре с соусом"), soups});
        QVERIFY(copy.isValid());
        QCOMPARE(data.scalar(QStringLiteral(
                                 "SELECT COALESCE(Status, 0) + COALESCE(Cena, 0) FROM Bludo WHERE Kod1 = ?"),
                             {copy})
                     .toDouble(),
                 0.0);
        QCOMPARE(data.scalar(QStringLiteral("SELECT sum(Kolvo) FROM Karta WHERE Kod = ?"), {copy}).toDouble(),
                 500.0);
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Karta WHERE Kod = ?"), {copy}).toInt(), 2);

        // Cancel copies nothing.
        onNextDialog<CopyDishDialog>([](CopyDishDialog* dialog) { dialog->reject(); });
        page.copyButton()->click();
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Bludo")).toInt(), 3);
    }

    void contextSearchAndRecipeOfAFinishedDish()
    {
        TestDataDir data;
        const qlonglong veg =
            data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Овощи")}});
        const qlonglong dairy =
            data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Молочные")}});
        data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), veg},
                                            {QStringLiteral("Name"), QStringLiteral("Лук")},
                                            {QStringLiteral("Cena"), 30}});
        const qlonglong milk =
            data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), dairy},
                                                {QStringLiteral("Name"), QStringLiteral("Молоко")},
                                                {QStringLiteral("Cena"), 60}});
        const qlonglong group =
            data.insert(QStringLiteral("Grbludo"), {{QStringLiteral("Name"), QStringLiteral("Каши")}});
        const qlonglong porridge =
            data.insert(QStringLiteral("Bludo"),
                        {{QStringLiteral("Kod"), group}, {QStringLiteral("Name"), QStringLiteral("Каша")}});
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
            typeText(chooser->searchBox(), QStringLiteral("мол"));
            groupShown = chooser->groupGrid()->tableModel()->currentValue(QStringLiteral("Name")).toString();
            chooser->groupGrid()->setFocus();
            QTest::keyClick(chooser->groupGrid(), Qt::Key_Space);
            chooser->searchCheck()->setChecked(false);
            QCOMPARE(chooser->candidates()->currentKey().toLongLong(), milk);
            QCOMPARE(chooser->candidates()->rowCount(), 1);
            chooser->accept();
        });
        page.ingredientsButton()->click();
        QVERIFY(boxWasDisabled);
        QCOMPARE(groupShown, QStringLiteral("Молочные"));
        QCOMPARE(page.card()->rowCount(), 1);
        QCOMPARE(page.card()->currentValue(QStringLiteral("Name")).toLongLong(), milk);

        // A finished dish keeps its recipe editable; the text is stored on leaving the window.
        page.finishButton()->click();
        onNextDialog<RecipeDialog>([](RecipeDialog* recipe) {
            recipe->textBox()->setFocus();
            typeText(recipe->textBox(), QStringLiteral("Варить 20 минут"));
            recipe->exitButton()->click();
        });
        page.recipeButton()->click();
        QCOMPARE(
            data.scalar(QStringLiteral("SELECT Recept FROM Bludo WHERE Kod1 = ?"), {porridge}).toString(),
            QStringLiteral("Варить 20 минут"));
        QCOMPARE(page.dishes()->state(), TableModel::State::Browse);
    }

    void groupOrderNumberRewritesMenuEntriesOnlyWhenItChanges()
    {
        TestDataDir data;
        const qlonglong group =
            data.insert(QStringLiteral("Grbludo"),
                        {{QStringLiteral("Name"), QStringLiteral("Салаты")}, {QStringLiteral("N"), 3}});
        const qlonglong menu =
            data.insert(QStringLiteral("Menu"), {{QStringLiteral("Name"), QStringLiteral("Обед")}});
        for (int i = 0; i < 2; ++i)
            data.insert(QStringLiteral("MenuSp"), {{QStringLiteral("Kod"), menu},
                                                   {QStringLiteral("GrName"), group},
                                                   {QStringLiteral("Nn"), 3}});
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
            QVERIFY(reset.exec(QStringLiteral("UPDATE MenuSp SET Nn = %1").arg(c.entriesBefore)));
            TableModel* groups = page.groups();
            page.groupGrid()->setFocus();
            QVERIFY(groups->setData(groups->index(0, 1), QString::number(c.typed), Qt::EditRole));
            page.dishGrid()->setFocus();
            QCOMPARE(groups->state(), TableModel::State::Browse);
            QCOMPARE(data.scalar(QStringLiteral("SELECT min(Nn) FROM MenuSp")).toDouble(), c.entriesAfter);
            QCOMPARE(data.scalar(QStringLiteral("SELECT max(Nn) FROM MenuSp")).toDouble(), c.entriesAfter);
        }
        QVERIFY(prompts.shown.isEmpty());
    }

    void failedPriceRunIsShown()
    {
        TestDataDir data;
        const qlonglong group =
            data.insert(QStringLiteral("Grbludo"), {{QStringLiteral("Name"), QStringLiteral("Супы")}});
        data.insert(QStringLiteral("Bludo"), {{QStringLiteral("Kod"), group},
                                              {QStringLiteral("Name"), QStringLiteral("Борщ")},
                                              {QStringLiteral("Nporc"), 0},
                                              {QStringLiteral("Cena"), 9}});
        const qlonglong beet =
            data.insert(QStringLiteral("Ing"),
                        {{QStringLiteral("Name"), QStringLiteral("Свёкла")}, {QStringLiteral("Cena"), 10}});
        data.insert(QStringLiteral("Karta"),
                    {{QStringLiteral("Kod"), data.scalar(QStringLiteral("SELECT Kod1 FROM Bludo"))},
                     {QStringLiteral("Name"), beet},
                     {QStringLiteral("Kolvo"), 100},
                     {QStringLiteral("Vihod"), 100}});
        ScriptedPrompts prompts;
        CostingPage page(&prompts);
        QString error;
        QVERIFY(page.openViews(data.db(), &error));
        page.show();
        page.priceButton()->click();
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY2(prompts.last().startsWith(QStringLiteral("Ошибка|")), qPrintable(prompts.last()));
        QCOMPARE(page.dishes()->currentValue(QStringLiteral("Cena")).toDouble(), 9.0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(tst_CostingPage)
#include "tst_CostingPage.moc"
