#include "GuiScript.h"
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

using namespace Qt::StringLiterals;

// The drop-down list of a grid cell is a window of its own; opening it must not count as leaving the
// grid, and the keys typed afterwards must not reach another grid.
class tst_DataGridPopup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unitIsPickedWithTheMouse()
    {
        TestDataDir data;
        const qlonglong kg = data.insert(u"Edinica"_s, {{u"Shorthame"_s, u"кг"_s}});
        const qlonglong piece = data.insert(u"Edinica"_s, {{u"Shorthame"_s, u"шт"_s}});
        const qlonglong group = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        data.insert(u"Ing"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Капуста"_s}, {u"Edinica"_s, kg}});
        const ViewDef items{u"Ing"_s,
                            {u"Name"_s},
                            {},
                            {},
                            {{u"Edinica1"_s, u"Edinica"_s, u"Edinica"_s, u"Kod"_s, u"Shorthame"_s}}};
        TableModel groups(data.db(), {u"Gring"_s, {u"Name"_s}});
        groups.setColumns({{u"Name"_s, u"Группа"_s}});
        TableModel ingredients(data.db(), items);
        ingredients.setColumns({{u"Name"_s, u"Наименование"_s}, {u"Edinica1"_s, u"Ед.Изм."_s}});
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
        grid->setChoices(u"Edinica1"_s, [kg, piece] {
            return QList<QPair<QVariant, QString>>{{kg, u"кг"_s}, {piece, u"шт"_s}};
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
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(list->viewport()->width() / 2, choice.center().y()));
        QTRY_VERIFY(!grid->indexWidget(cell));
        QCOMPARE(ingredients.currentValue(u"Edinica1"_s).toString(), u"шт"_s);

        // Keys still go to the grid the user is in, never to the group grid.
        QVERIFY(grid->hasFocus() || grid->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(grid->postPending());
        QCOMPARE(data.scalar(u"SELECT Edinica FROM Ing"_s).toLongLong(), piece);
        QCOMPARE(data.scalar(u"SELECT Name FROM Gring"_s).toString(), u"Овощи"_s);
    }

    // Typed keys make a prefix: "кг" is кг, never к→кг and then г→г.
    void unitIsFoundByTypedPrefix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("unit");
        QTest::newRow("two letters") << u"кг"_s << u"кг"_s;
        QTest::newRow("one letter") << u"г"_s << u"г"_s;
        QTest::newRow("capital") << u"Ш"_s << u"шт"_s;
        QTest::newRow("slip starts again") << u"кл"_s << u"л"_s;
    }

    void unitIsFoundByTypedPrefix()
    {
        QFETCH(QString, typed);
        QFETCH(QString, unit);
        TestDataDir data;
        QList<QPair<QVariant, QString>> units;
        for (const QString& name : {u"г"_s, u"кг"_s, u"л"_s, u"шт"_s})
            units.append({data.insert(u"Edinica"_s, {{u"Shorthame"_s, name}}), name});
        const qlonglong group = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        data.insert(u"Ing"_s, {{u"Kod"_s, group}, {u"Name"_s, u"Кабачки"_s}, {u"Edinica"_s, units[3].first}});
        TableModel ingredients(data.db(),
                               {u"Ing"_s,
                                {u"Name"_s},
                                {},
                                {},
                                {{u"Edinica1"_s, u"Edinica"_s, u"Edinica"_s, u"Kod"_s, u"Shorthame"_s}}});
        ingredients.setColumns({{u"Name"_s, u"Наименование"_s}, {u"Edinica1"_s, u"Ед.Изм."_s}});
        QVERIFY(ingredients.open());

        ScriptedPrompts prompts;
        DataGrid grid(&prompts);
        grid.setTableModel(&ingredients);
        grid.setChoices(u"Edinica1"_s, [units] { return units; });
        grid.show();
        grid.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
        grid.setCurrentIndex(ingredients.index(0, 1));

        // The first key opens the editor and reaches it; the rest go where the focus is.
        typeText(&grid, typed.left(1));
        for (const QChar c : typed.mid(1))
            typeText(QApplication::focusWidget(), QString(c));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(grid.postPending());
        QCOMPARE(
            data.scalar(u"SELECT e.Shorthame FROM Ing i JOIN Edinica e ON e.Kod = i.Edinica"_s).toString(),
            unit);
    }
};

QTEST_MAIN(tst_DataGridPopup)
#include "tst_DataGridPopup.moc"
