#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "store/TableModel.h"
#include "store/ui/DataGrid.h"

#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

// Entering figures row after row, as a cook types a day's portions: moving to another row posts the
// row left, which reads the rows again; the cell moved to must stay current, so the next key edits it.
class tst_DataGridEditing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyRowTakesItsFigure_data()
    {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("clicking the next cell") << true;
        QTest::newRow("arrow down") << false;
    }
    void editorStandsWhereTheValueStands();
    void everyRowTakesItsFigure()
    {
        QFETCH(bool, byMouse);
        TestDataDir data;
        for (const QString& name : {u"Капуста"_s, u"Лук"_s, u"Морковь"_s})
            data.insert(u"Ing"_s, {{u"Name"_s, name}, {u"Kolvo"_s, 0}});
        TableModel items(data.db(), {u"Ing"_s, {u"Name"_s}});
        items.setColumns({{u"Name"_s, u"Наименование"_s}, {u"Kolvo"_s, u"Кол-во"_s}});
        QVERIFY(items.open());
        ScriptedPrompts prompts;
        DataGrid grid(&prompts);
        grid.setTableModel(&items);
        grid.resize(600, 300);
        grid.show();
        grid.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();

        for (int row = 0; row < 3; ++row) {
            const QModelIndex cell = items.index(row, 1);
            if (row == 0 || !byMouse) {
                if (row == 0)
                    grid.setCurrentIndex(cell);
                else
                    QTest::keyClick(&grid, Qt::Key_Down);
            } else {
                QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
            }
            QCOMPARE(grid.currentIndex().row(), row);
            QCOMPARE(grid.currentIndex().column(), 1);
            QTest::keyClicks(grid.focusWidget(), QString::number(row + 3));
            QTest::keyClick(grid.focusWidget(), Qt::Key_Return);
        }
        QVERIFY(grid.postPending());
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(data.scalar(u"SELECT Kolvo FROM Ing WHERE Name = ?"_s, {items.index(row, 0).data()})
                         .toDouble(),
                     row + 3.0);
        }
    }
};

void tst_DataGridEditing::editorStandsWhereTheValueStands()
{
    TestDataDir data;
    data.insert(u"Ing"_s, {{u"Name"_s, u"Капуста"_s}, {u"Kolvo"_s, 2}});
    TableModel items(data.db(), {u"Ing"_s, {u"Name"_s}});
    items.setColumns({{u"Name"_s, u"Наименование"_s}, {u"Kolvo"_s, u"Кол-во"_s}});
    QVERIFY(items.open());
    ScriptedPrompts prompts;
    DataGrid grid(&prompts);
    grid.setTableModel(&items);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    for (const auto& [column, side] : {std::pair{0, Qt::AlignLeft}, std::pair{1, Qt::AlignRight}}) {
        const QModelIndex cell = items.index(0, column);
        grid.setCurrentIndex(cell);
        grid.edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(cell));
        QVERIFY(editor);
        QVERIFY(editor->alignment() & side);
        QTest::keyClick(editor, Qt::Key_Escape);
    }
}

QTEST_MAIN(tst_DataGridEditing)
#include "tst_DataGridEditing.moc"
