#include "FaultInjection.h"
#include "GuiScript.h"
#include "PageFixture.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "exchange/CardExchange.h"
#include "exchange/ui/ExchangePage.h"
#include "exchange/ui/IngredientAssociationDialog.h"
#include "exchange/ui/TargetChoiceDialog.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/WorkerRun.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Kitchen
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong beet = data.insert(u"Ing"_s, {{u"Name"_s, u"Свёкла"_s}});
    qlonglong salt = data.insert(u"Ing"_s, {{u"Name"_s, u"Соль"_s}});
    qlonglong soups = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
    qlonglong borscht = data.insert(u"Bludo"_s, {{u"Kod"_s, soups},
                                                 {u"Name"_s, u"Борщ"_s},
                                                 {u"Nporc"_s, 10},
                                                 {u"Vixod"_s, u"250"_s},
                                                 {u"Recept"_s, u"Варить."_s}});
    Kitchen()
    {
        data.insert(u"Karta"_s,
                    {{u"Kod"_s, borscht}, {u"Name"_s, beet}, {u"Kolvo"_s, 12.5}, {u"Vihod"_s, 80}});
    }
};

QStringList headers(const DataGrid* grid)
{
    QStringList result;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        result << grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return result;
}

} // namespace

class tst_ExchangePage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsGroupsDishesAndCardReadOnly();
    void exportThenImportThroughTheWindows();
    void cardsStoredOnTheWorker_data();
    void cardsStoredOnTheWorker();
    void associationByKeyboardAndRefusal();
    void targetChoiceIsRemembered();
};

void tst_ExchangePage::showsGroupsDishesAndCardReadOnly()
{
    Kitchen kitchen;
    ExchangePage page(&kitchen.prompts);
    QCOMPARE(showPage(page, kitchen.data.db()), QString());
    QCOMPARE(headers(page.dishGrid()), (QStringList{u"Наименование блюда"_s, u"Порций"_s, u"Выход"_s}));
    QCOMPARE(headers(page.cardGrid()),
             (QStringList{u"Наименование ингредиента"_s, u"Кол-во (гр.)"_s, u"% Вых"_s}));
    QCOMPARE(page.cardGrid()->model()->rowCount(), 1);
    QVERIFY(!(page.dishGrid()->model()->flags(page.dishGrid()->model()->index(0, 0)) & Qt::ItemIsEditable));
}

void tst_ExchangePage::exportThenImportThroughTheWindows()
{
    Kitchen kitchen;
    ExchangePage page(&kitchen.prompts);
    QCOMPARE(showPage(page, kitchen.data.db()), QString());
    const QString file = kitchen.data.root() + u"/borsch"_s;
    page.chooseSaveFile = [&file](QWidget*) { return file; };
    page.exportButton()->click();
    QCOMPARE(kitchen.prompts.last(), u"Экспорт блюда|Экспорт закончен успешно!!!"_s);
    QVERIFY(QFile::exists(file + u".fck"_s));

    page.chooseOpenFiles = [&file](QWidget*) { return QStringList{file + u".fck"_s}; };
    onNextDialog<IngredientAssociationDialog>([](IngredientAssociationDialog* dialog) {
        QCOMPARE(dialog->searchBox()->text(), u"Свёкла"_s);
        QVERIFY(!dialog->associateButton()->isEnabled());
        QTest::keyClick(dialog->searchBox(), Qt::Key_Return); // takes the nearest name
        QCOMPARE(dialog->chosenBox()->text(), u"Свёкла"_s);
        QVERIFY(dialog->associateButton()->isEnabled());
        dialog->associateButton()->click();
    });
    page.importButton()->click();
    QVERIFY2(kitchen.prompts.last().startsWith(u"Импрот блюда|Импорт закончен успешно!!!"_s),
             qPrintable(kitchen.prompts.last()));
    QCOMPARE(kitchen.data.scalar(u"SELECT count(*) FROM Bludo WHERE Name = 'Борщ'"_s).toInt(), 2);
    QCOMPARE(page.dishes()->currentValue(u"Name"_s).toString(), u"Борщ"_s);
    QVERIFY(page.associationDialog()->protocol()->toPlainText().contains(
        u"\"Свёкла\"    асоциирован с    \"Свёкла\""_s));
}

void tst_ExchangePage::cardsStoredOnTheWorker_data()
{
    QTest::addColumn<int>("cancelAt"); // the card; 0 runs through
    QTest::newRow("run through") << 0;
    QTest::newRow("cancelled at the first card") << 1;
    QTest::newRow("cancelled at the third card") << 3;
}

// A group of cards stored on the worker is what storing them directly gives; cancelled, even after
// some were stored, every table stays as it was.
void tst_ExchangePage::cardsStoredOnTheWorker()
{
    QFETCH(int, cancelAt);
    const auto prepared = [](Kitchen& kitchen) {
        QString error;
        std::optional<CardFileContent> card =
            CardExchange(kitchen.data.db(), kitchen.prompts).cardOf(kitchen.borscht, &error);
        QList<CardExchange::PreparedCard> cards;
        for (const QString& name : {u"Борщ 1"_s, u"Борщ 2"_s, u"Борщ 3"_s}) {
            card->name = name;
            cards << CardExchange::PreparedCard{*card, {kitchen.beet}};
        }
        return cards;
    };
    Kitchen here;
    const CardExchange::Stored direct =
        CardExchange(here.data.db(), here.prompts).storeCards(here.soups, prepared(here));
    QCOMPARE(direct.dishes.size(), 3);

    Kitchen there;
    const QString before = databaseSnapshot(there.data.db());
    const QList<CardExchange::PreparedCard> cards = prepared(there);
    CardExchange::Stored stored;
    const Worker::Outcome run = runInWorker(
        nullptr, there.prompts, u"Импорт"_s, there.data.db(), [&](const QSqlDatabase& db, Worker& worker) {
            stored = CardExchange(db, worker.prompts()).storeCards(there.soups, cards, [&](int n, int) {
                if (n + 1 == cancelAt)
                    pressCancelOnWindowThread();
                return !worker.cancelRequested();
            });
        });
    QCOMPARE(run, cancelAt ? Worker::Outcome::Cancelled : Worker::Outcome::Finished);
    QCOMPARE(stored.cancelled, cancelAt != 0);
    QCOMPARE(stored.dishes, cancelAt ? QList<qlonglong>() : direct.dishes);
    QCOMPARE(databaseSnapshot(there.data.db()), cancelAt ? before : databaseSnapshot(here.data.db()));
    QVERIFY2(there.prompts.shown.isEmpty(), qPrintable(there.prompts.shown.join(u'\n')));
}

void tst_ExchangePage::associationByKeyboardAndRefusal()
{
    Kitchen kitchen;
    IngredientAssociationDialog dialog(&kitchen.prompts, kitchen.data.db());
    QString error;
    QVERIFY(dialog.openViews(&error));
    onNextDialog<IngredientAssociationDialog>([](IngredientAssociationDialog* shown) {
        typeText(shown->searchBox(), u"с"_s);
        QTest::keyClick(shown->searchBox(), Qt::Key_Space);
        QCOMPARE(shown->chosenBox()->text(), u"Свёкла"_s);
        QTest::keyClick(shown->ingredientGrid(), Qt::Key_Down);
        QTest::keyClick(shown->ingredientGrid(), Qt::Key_Space);
        QCOMPARE(shown->chosenBox()->text(), u"Соль"_s);
        QTest::keyClick(shown->associateButton(), Qt::Key_Return);
    });
    QCOMPARE(dialog.associate(u"Соль поваренная"_s, u"кг"_s), std::optional<qlonglong>(kitchen.salt));
    onNextDialog<IngredientAssociationDialog>([](IngredientAssociationDialog* shown) {
        QCOMPARE(shown->offeredBox()->text(), u"Перец  (г)"_s);
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    QCOMPARE(dialog.associate(u"Перец"_s, u"г"_s), std::nullopt);
}

void tst_ExchangePage::targetChoiceIsRemembered()
{
    onNextDialog<TargetChoiceDialog>([](TargetChoiceDialog* dialog) {
        QVERIFY(dialog->bufetonButton()->isChecked());
        dialog->torgButton()->click();
        dialog->accept();
    });
    QCOMPARE(TargetChoiceDialog::ask(TargetChoiceDialog::importCaption, nullptr), PointOfSale::TorgService);
    onNextDialog<TargetChoiceDialog>([](TargetChoiceDialog* dialog) {
        QVERIFY(dialog->torgButton()->isChecked());
        QCOMPARE(dialog->windowTitle(), TargetChoiceDialog::exportCaption);
        dialog->reject();
    });
    QCOMPARE(TargetChoiceDialog::ask(TargetChoiceDialog::exportCaption, nullptr), std::nullopt);
}

QTEST_MAIN(tst_ExchangePage)
#include "tst_ExchangePage.moc"
