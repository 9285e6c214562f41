#include "app/ui/MainWindow.h"
#include "costing/ui/CostingPage.h"
#include "reference/ui/DirectoriesPage.h"
#include "reference/ui/IngredientsPage.h"
#include "ScriptedPrompts.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "TestDataDir.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Three rows in each of the grids the cases look at, in the order their views show them: the first
// and the second are changed or deleted by another workstation while the second is current.
struct Kitchen
{
    TestDataDir data;
    QHash<QString, QList<qlonglong>> keys; // table => its rows' keys in view order

    Kitchen()
    {
        const qlonglong vegetables = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        for (const auto& [name, price] :
             {std::pair{u"Баклажаны"_s, 100.0}, {u"Кабачки"_s, 120.0}, {u"Морковь"_s, 50.0}})
            keys[u"Ing"_s] << data.insert(u"Ing"_s,
                                          {{u"Kod"_s, vegetables}, {u"Name"_s, name}, {u"Cena"_s, price}});
        const qlonglong garnish = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Гарниры"_s}});
        for (const QString& name : {u"Гречка"_s, u"Пюре"_s, u"Рагу"_s})
            keys[u"Bludo"_s] << data.insert(u"Bludo"_s,
                                            {{u"Kod"_s, garnish}, {u"Name"_s, name}, {u"Cena"_s, 30}});
        for (const auto& [name, grams] :
             {std::pair{u"Банка"_s, 500}, {u"Грамм"_s, 1}, {u"Килограмм"_s, 1000}})
            keys[u"Edinica"_s] << data.insert(u"Edinica"_s, {{u"Name"_s, name}, {u"Gramm"_s, grams}});
    }
};

DataGrid* gridOf(MainWindow& window, MainWindow::PageIndex index)
{
    Page* page = window.page(index);
    switch (index) {
    case MainWindow::Ingredients:
        return static_cast<IngredientsPage*>(page)->ingredientGrid();
    case MainWindow::Costing:
        return static_cast<CostingPage*>(page)->dishGrid();
    case MainWindow::Directories:
        return static_cast<DirectoriesPage*>(page)->unitGrid();
    default:
        return nullptr;
    }
}

int columnOf(const TableModel* model, const QString& field)
{
    for (int c = 0; c < model->columns().size(); ++c) {
        if (model->columns()[c].field == field)
            return c;
    }
    return -1;
}

enum class ReadAgain
{
    F5,
    MenuItem,
    PageChange
};

} // namespace

Q_DECLARE_METATYPE(MainWindow::PageIndex)
Q_DECLARE_METATYPE(ReadAgain)

// A page shows what another workstation wrote once it is read again: on F5, on "Вид" → "Обновить" and
// when the user comes back to it. The current row stays on its key, the grid's cell in its column.
class tst_PageRefresh : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void changesElsewhereShowWhenReadAgain_data()
    {
        QTest::addColumn<MainWindow::PageIndex>("page");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<ReadAgain>("how");
        const struct
        {
            const char* name;
            MainWindow::PageIndex page;
            QString table, field;
        } grids[] = {{"ingredients", MainWindow::Ingredients, u"Ing"_s, u"Cena"_s},
                     {"dishes", MainWindow::Costing, u"Bludo"_s, u"Cena"_s},
                     {"units", MainWindow::Directories, u"Edinica"_s, u"Gramm"_s}};
        const std::pair<const char*, ReadAgain> ways[] = {
            {"F5", ReadAgain::F5}, {"menu", ReadAgain::MenuItem}, {"page change", ReadAgain::PageChange}};
        for (const auto& grid : grids) {
            for (const auto& [way, how] : ways)
                QTest::addRow("%s, %s", grid.name, way) << grid.page << grid.table << grid.field << how;
        }
    }
    void changesElsewhereShowWhenReadAgain()
    {
        QFETCH(MainWindow::PageIndex, page);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(ReadAgain, how);
        Kitchen kitchen;
        const QList<qlonglong> keys = kitchen.keys[table];
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve(kitchen.data.arguments(), QString()), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.tabs()->setCurrentIndex(page);
        DataGrid* grid = gridOf(window, page);
        TableModel* view = grid->tableModel();
        QCOMPARE(view->rowCount(), 3);
        const int column = columnOf(view, field);
        grid->setFocus();
        grid->setCurrentIndex(view->index(view->rowOfKey(keys[1]), column));
        QCOMPARE(view->currentKey().toLongLong(), keys[1]);

        // Another workstation deletes the row above the current one and changes the current one.
        const QString key = table == u"Edinica"_s ? u"Kod"_s : u"Kod1"_s;
        kitchen.data.scalar(u"DELETE FROM %1 WHERE %2 = ?"_s.arg(table, key), {keys[0]});
        kitchen.data.scalar(u"UPDATE %1 SET %2 = 777 WHERE %3 = ?"_s.arg(table, field, key), {keys[1]});
        QCOMPARE(view->rowCount(), 3); // nothing is read unasked

        switch (how) {
        case ReadAgain::F5:
            QTest::keyClick(grid, Qt::Key_F5);
            break;
        case ReadAgain::MenuItem: {
            const QList<QAction*> items = window.viewMenu()->actions();
            QCOMPARE(items.size(), 1);
            QCOMPARE(items[0]->text(), u"Обновить"_s);
            QCOMPARE(items[0]->shortcut(), QKeySequence(Qt::Key_F5));
            items[0]->trigger();
            break;
        }
        case ReadAgain::PageChange:
            window.tabs()->setCurrentIndex(MainWindow::Info);
            window.tabs()->setCurrentIndex(page);
            break;
        }
        QCOMPARE(view->rowCount(), 2);
        QCOMPARE(view->rowOfKey(keys[0]), -1);
        QCOMPARE(view->currentKey().toLongLong(), keys[1]);
        QCOMPARE(view->currentValue(field).toDouble(), 777.0);
        QCOMPARE(grid->currentIndex().row(), view->currentRow());
        QCOMPARE(grid->currentIndex().column(), column);
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join(u'\n')));
    }

    // The current row deleted elsewhere: the row now in its place becomes current, as after a deletion
    // here, and its details follow it.
    void currentRowDeletedElsewhere()
    {
        Kitchen kitchen;
        const QList<qlonglong> dishes = kitchen.keys[u"Bludo"_s];
        const qlonglong potato =
            kitchen.data.scalar(u"SELECT Kod1 FROM Ing WHERE Name = 'Баклажаны'"_s).toLongLong();
        kitchen.data.insert(u"Karta"_s, {{u"Kod"_s, dishes[2]}, {u"KodIng"_s, potato}, {u"Kolvo"_s, 150}});
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve(kitchen.data.arguments(), QString()), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.tabs()->setCurrentIndex(MainWindow::Costing);
        auto* costing = static_cast<CostingPage*>(window.page(MainWindow::Costing));
        QVERIFY(costing->dishes()->locateKey(dishes[1]));
        QCOMPARE(costing->card()->rowCount(), 0);

        kitchen.data.scalar(u"DELETE FROM Bludo WHERE Kod1 = ?"_s, {dishes[1]});
        costing->refreshAction()->trigger();
        QCOMPARE(costing->dishes()->rowCount(), 2);
        QCOMPARE(costing->dishes()->currentKey().toLongLong(), dishes[2]);
        QCOMPARE(costing->card()->rowCount(), 1);
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join(u'\n')));
    }

    // What the user typed is posted before the rows are read again, never dropped.
    void pendingEditPostedFirst()
    {
        Kitchen kitchen;
        const QList<qlonglong> units = kitchen.keys[u"Edinica"_s];
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve(kitchen.data.arguments(), QString()), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.tabs()->setCurrentIndex(MainWindow::Directories);
        DataGrid* grid = gridOf(window, MainWindow::Directories);
        TableModel* view = grid->tableModel();
        QVERIFY(view->locateKey(units[2]));
        QVERIFY(view->setFieldValue(u"Gramm"_s, 999));
        kitchen.data.scalar(u"UPDATE Edinica SET Name = 'Литр' WHERE Kod = ?"_s, {units[0]});
        QTest::keyClick(grid, Qt::Key_F5);
        QCOMPARE(kitchen.data.scalar(u"SELECT Gramm FROM Edinica WHERE Kod = ?"_s, {units[2]}).toDouble(),
                 999.0);
        QCOMPARE(view->currentKey().toLongLong(), units[2]);
        QCOMPARE(view->value(view->rowOfKey(units[0]), u"Name"_s).toString(), u"Литр"_s);
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join(u'\n')));
    }
};

QTEST_MAIN(tst_PageRefresh)
#include "tst_PageRefresh.moc"
