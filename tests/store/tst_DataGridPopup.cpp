#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "store/TableModel.h"
#include "store/ui/DataGrid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QTest>

// The drop-down list of a grid cell is a window of its own; opening it must not count as leaving the
// grid, and the keys typed afterwards must not reach another grid.
class tst_DataGridPopup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unitIsPickedWithTheMouse()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Shorthame"), QStringLiteral("кг")}});
        const qlonglong piece = data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Shorthame"), QStringLiteral("шт")}});
        const qlonglong group = data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Овощи")}});
        data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), group},
                                            {QStringLiteral("Name"), QStringLiteral("Капуста")},
                                            {QStringLiteral("Edinica"), kg}});
        const ViewDef items{QStringLiteral("Ing"), {QStringLiteral("Name")}, {}, {},
                            {{QStringLiteral("Edinica1"), QStringLiteral("Edinica"), QStringLiteral("Edinica"),
                              QStringLiteral("Kod"), QStringLiteral("Shorthame")}}};
        TableModel groups(data.db(), {QStringLiteral("Gring"), {QStringLiteral("Name")}});
        groups.setColumns({{QStringLiteral("Name"), QStringLiteral("Группа")}});
        TableModel ingredients(data.db(), items);
        ingredients.setColumns({{QStringLiteral("Name"), QStringLiteral("Наименование")},
                                {QStringLiteral("Edinica1"), QStringLiteral("Ед.Изм.")}});
        QVERIFY(groups.open());
        QVERIFY(ingredients.open());

        ScriptedPrompts prompts;
        QWidget window;
        auto* layout = new QHBoxLayout(&window);
        auto* groupGrid = new DataGrid(&prompts, &window);
        auto* grid = new DataGrid(&prompts, &window);
        layout->addWidget(groupGrid);
        layout->addWidget(grid);
        groupGrid->setTableModel(&groups);
        grid->setTableModel(&ingredients);
        grid->setChoices(QStringLiteral("Edinica1"), [kg, piece] {
            return QList<QPair<QVariant, QString>>{{kg, QStringLiteral("кг")}, {piece, QStringLiteral("шт")}};
        });
        window.resize(800, 400);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        const QModelIndex cell = ingredients.index(0, 1);
        grid->setFocus();
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        QPointer<QComboBox> combo = qobject_cast<QComboBox*>(grid->indexWidget(cell));
        QVERIFY(combo);
        // The arrow at the right end of the editor opens the list.
        QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(combo->width() - 4, combo->height() / 2));
        QTRY_VERIFY(combo && combo->view()->isVisible());
        QVERIFY(grid->indexWidget(cell) == combo);

        // The list ignores a release that comes right after it opened, taking it for the opening click's.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(grid->indexWidget(cell) == combo);
        QAbstractItemView* list = combo->view();
        const QRect choice = list->visualRect(list->model()->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(list->viewport()->width() / 2, choice.center().y()));
        QTRY_VERIFY(!grid->indexWidget(cell));
        QCOMPARE(ingredients.currentValue(QStringLiteral("Edinica1")).toString(), QStringLiteral("шт"));

        // Keys still go to the grid the user is in, never to the group grid.
        QVERIFY(grid->hasFocus() || grid->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(grid->postPending());
        QCOMPARE(data.scalar(QStringLiteral("SELECT Edinica FROM Ing")).toLongLong(), piece);
        QCOMPARE(data.scalar(QStringLiteral("SELECT Name FROM Gring")).toString(), QStringLiteral("Овощи"));
    }
};

QTEST_MAIN(tst_DataGridPopup)
#include "tst_DataGridPopup.moc"
