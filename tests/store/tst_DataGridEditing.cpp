#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "store/TableModel.h"
#include "store/ui/DataGrid.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Three ingredients with a quantity each, in a grid of name and quantity, shown and active.
struct Grid
{
    TestDataDir data;
    ScriptedPrompts prompts;
    std::unique_ptr<TableModel> items;
    std::unique_ptr<DataGrid> grid;

    bool open()
    {
        for (const QString& name : {u"Капуста"_s, u"Лук"_s, u"Морковь"_s})
            data.insert(u"Ing"_s, {{u"Name"_s, name}, {u"Kolvo"_s, 0}});
        items = std::make_unique<TableModel>(data.db(), ViewDef{u"Ing"_s, {u"Name"_s}});
        items->setColumns({{u"Name"_s, u"Наименование"_s}, {u"Kolvo"_s, u"Кол-во"_s}});
        if (!items->open())
            return false;
        grid = std::make_unique<DataGrid>(&prompts);
        grid->setTableModel(items.get());
        grid->resize(600, 300);
        grid->show();
        grid->activateWindow();
        grid->setFocus();
        return QTest::qWaitForWindowActive(grid.get());
    }
};

} // namespace

class tst_DataGridEditing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Entering figures row after row, as a cook types a day's portions: moving to another row posts
    // the row left, which reads the rows again; the cell moved to must stay current, so the next key
    // edits it.
    void everyRowTakesItsFigure_data()
    {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("clicking the next cell") << true;
        QTest::newRow("arrow down") << false;
    }
    void everyRowTakesItsFigure()
    {
        QFETCH(bool, byMouse);
        Grid g;
        QVERIFY(g.open());
        DataGrid& grid = *g.grid;
        for (int row = 0; row < 3; ++row) {
            const QModelIndex cell = g.items->index(row, 1);
            if (row == 0)
                grid.setCurrentIndex(cell);
            else if (byMouse)
                QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
            else
                QTest::keyClick(&grid, Qt::Key_Down);
            QCOMPARE(grid.currentIndex().row(), row);
            QCOMPARE(grid.currentIndex().column(), 1);
            QTest::keyClicks(grid.focusWidget(), QString::number(row + 3));
            QTest::keyClick(grid.focusWidget(), Qt::Key_Return);
        }
        QVERIFY(grid.postPending());
        for (int row = 0; row < 3; ++row) {
            const QVariant name = g.items->index(row, 0).data();
            QCOMPARE(g.data.scalar(u"SELECT Kolvo FROM Ing WHERE Name = ?"_s, {name}).toDouble(), row + 3.0);
        }
    }

    // Numbers stand on the right and texts on the left while they are edited, as they are shown.
    void editorStandsWhereTheValueStands()
    {
        Grid g;
        QVERIFY(g.open());
        for (const auto& [column, side] : {std::pair{0, Qt::AlignLeft}, std::pair{1, Qt::AlignRight}}) {
            const QModelIndex cell = g.items->index(0, column);
            g.grid->setCurrentIndex(cell);
            g.grid->edit(cell);
            auto* editor = qobject_cast<QLineEdit*>(g.grid->indexWidget(cell));
            QVERIFY(editor);
            QVERIFY(editor->alignment() & side);
            QTest::keyClick(editor, Qt::Key_Escape);
        }
    }

    // Escape in a dialog's grid undoes the open cell, then the row's pending edit, and only then
    // closes the dialog.
    void escapeUndoesFirstThenClosesTheDialog()
    {
        TestDataDir data;
        data.insert(u"Ing"_s, {{u"Name"_s, u"Лук"_s}, {u"Kolvo"_s, 0}});
        TableModel items(data.db(), ViewDef{u"Ing"_s, {u"Name"_s}});
        items.setColumns({{u"Name"_s, u"Наименование"_s}, {u"Kolvo"_s, u"Кол-во"_s}});
        QVERIFY(items.open());
        ScriptedPrompts prompts;
        QDialog dialog;
        auto* grid = new DataGrid(&prompts, &dialog);
        (new QVBoxLayout(&dialog))->addWidget(grid);
        grid->setTableModel(&items);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        grid->setFocus();
        const QModelIndex cell = items.index(0, 1);
        grid->setCurrentIndex(cell);

        QTest::keyClicks(grid, u"7"_s);
        QVERIFY(grid->indexWidget(cell));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // the open cell
        QTRY_VERIFY(!grid->indexWidget(cell));
        QVERIFY(dialog.isVisible());

        QTest::keyClicks(grid, u"7"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!grid->indexWidget(cell));
        QCOMPARE(items.state(), TableModel::State::Edit);
        QTest::keyClick(grid, Qt::Key_Escape); // the row's edit
        QVERIFY(dialog.isVisible());
        QCOMPARE(items.state(), TableModel::State::Browse);
        QCOMPARE(items.currentValue(u"Kolvo"_s).toDouble(), 0.0);

        QTest::keyClick(grid, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(data.scalar(u"SELECT Kolvo FROM Ing"_s).toDouble(), 0.0);
    }

    // A screen reader reads every cell after rows come and go.
    void accessibleCellsFollowTheRows()
    {
        Grid g;
        QVERIFY(g.open());
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(g.grid.get());
        QVERIFY(grid && grid->tableInterface());
        const auto cellsRead = [&] {
            QAccessibleTableInterface* table = grid->tableInterface();
            QStringList names;
            for (int row = 0; row < table->rowCount(); ++row) {
                QAccessibleInterface* cell = table->cellAt(row, 0);
                names << (cell ? cell->text(QAccessible::Name) : u"(none)"_s);
            }
            return names;
        };
        QCOMPARE(cellsRead(), (QStringList{u"Капуста"_s, u"Лук"_s, u"Морковь"_s}));

        QVERIFY(g.items->append());
        QVERIFY(g.items->setFieldValue(u"Name"_s, u"Гречка"_s));
        QVERIFY(g.items->post());
        QCOMPARE(cellsRead(), (QStringList{u"Гречка"_s, u"Капуста"_s, u"Лук"_s, u"Морковь"_s}));
        g.items->setCurrentRow(2);
        QVERIFY(g.items->deleteCurrent());
        QCOMPARE(cellsRead(), (QStringList{u"Гречка"_s, u"Капуста"_s, u"Морковь"_s}));
    }
};

QTEST_MAIN(tst_DataGridEditing)
#include "tst_DataGridEditing.moc"
