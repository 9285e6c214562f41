#include "GuiScript.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "app/ui/MainWindow.h"
#include "app/ui/MaintenanceDialog.h"
#include "app/ui/StartPage.h"
#include "reference/ui/DirectoriesPage.h"
#include "reference/ui/PartnersPage.h"
#include "store/KitchenLock.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

class tst_MainWindow : public QObject
{
    Q_OBJECT
private:
    static DataLocations locationsOf(const TestDataDir& data)
    {
        return DataLocations::resolve({QStringLiteral("--data"), data.dataDir()}, QString());
    }

private Q_SLOTS:
    void startsOnStartPageAndOpensViewsOnFirstChange()
    {
        TestDataDir data(false);
        ScriptedPrompts prompts;
        MainWindow window(locationsOf(data), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Кухнемер (V-3.4.4)"));
        QCOMPARE(window.tabs()->currentIndex(), int(MainWindow::Start));
        QVERIFY(!window.tabs()->isTabVisible(MainWindow::Start));
        const QStringList captions = {QStringLiteral("Ингредиенты"), QStringLiteral("Калькуляционные карты"),
                                      QStringLiteral("Меню"), QStringLiteral("Реализация"), QStringLiteral("Справочники"),
                                      QString(), QStringLiteral("Партнёры"), QStringLiteral("Склад"),
                                      QStringLiteral("Экспорт/Импорт"), QStringLiteral("Информация")};
        for (int i = 0; i < captions.size(); ++i)
            QCOMPARE(window.tabs()->tabText(i), captions[i]);
        QVERIFY(window.startPage()->maintenanceButton()->isVisible());
        QVERIFY(window.animationRunning());
        QVERIFY(!window.tablesOpened());

        window.tabs()->setCurrentIndex(MainWindow::Directories);
        QVERIFY(window.tablesOpened());
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(!window.animationRunning());
        QVERIFY(!window.startPage()->maintenanceButton()->isVisibleTo(window.startPage()));
        window.tabs()->setCurrentIndex(MainWindow::Menus);
        QVERIFY(window.animationRunning());
    }

    void secondCopyOnTheKitchenIsRefused()
    {
        TestDataDir data(false);
        KitchenLock otherCopy(data.dataDir());
        QString error;
        QVERIFY(otherCopy.acquire(&error));
        ScriptedPrompts prompts;
        {
            MainWindow window(locationsOf(data), &prompts);
            QVERIFY(!window.claimKitchen());
            QVERIFY2(prompts.last().contains(QStringLiteral("уже открыта")), qPrintable(prompts.last()));
        }
        otherCopy.release();
        MainWindow window(locationsOf(data), &prompts);
        QVERIFY(window.claimKitchen());
        KitchenLock third(data.dataDir());
        QVERIFY(!third.acquire(&error));
    }

    void missingDataDirectoryIsReportedAndRetried()
    {
        QTemporaryDir empty;
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve({QStringLiteral("--data"), empty.filePath(QStringLiteral("DATA"))}, QString()),
                          &prompts);
        window.show();
        window.tabs()->setCurrentIndex(MainWindow::Directories);
        QVERIFY(!window.tablesOpened());
        QVERIFY(prompts.last().contains(QStringLiteral("Не найден каталог данных")));
        QVERIFY(!QFileInfo::exists(empty.filePath(QStringLiteral("DATA"))));
        window.tabs()->setCurrentIndex(MainWindow::Partners);
        QCOMPARE(prompts.shown.size(), 2);
        QVERIFY(!window.tablesOpened());
    }

    void unitGridIgnoresCtrlDeleteAndPartnerGridAsks()
    {
        TestDataDir data;
        data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Name"), QStringLiteral("килограмм")}});
        data.insert(QStringLiteral("Partner"), {{QStringLiteral("Name"), QStringLiteral("Продснаб")}});
        data.insert(QStringLiteral("Partner"), {{QStringLiteral("Name"), QStringLiteral("Молокозавод")}});
        ScriptedPrompts prompts;
        MainWindow window(locationsOf(data), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.tabs()->setCurrentIndex(MainWindow::Directories);
        auto* directoriesPage = static_cast<DirectoriesPage*>(window.page(MainWindow::Directories));
        DataGrid* units = directoriesPage->unitGrid();
        // A unit without grams would stop every calculation: the grid marks it.
        QVERIFY(units->model()->index(0, 2).data(Qt::ToolTipRole).toString().startsWith(QStringLiteral("Вес единицы")));
        QVERIFY(!units->model()->index(0, 0).data(Qt::ToolTipRole).isValid());
        units->setFocus();
        QTest::keyClick(units, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(units->tableModel()->rowCount(), 1);
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Edinica")).toInt(), 1);

        // Insert then leaving without typing stores nothing.
        QTest::keyClick(units, Qt::Key_Insert);
        QCOMPARE(units->tableModel()->rowCount(), 2);
        directoriesPage->signatureGrid()->setFocus();
        QCOMPARE(units->tableModel()->rowCount(), 1);
        QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Edinica")).toInt(), 1);

        window.tabs()->setCurrentIndex(MainWindow::Partners);
        auto* partnersPage = static_cast<PartnersPage*>(window.page(MainWindow::Partners));
        DataGrid* partners = partnersPage->grid();
        QCOMPARE(partners->tableModel()->rowCount(), 2);
        typeText(partnersPage->searchBox(), QStringLiteral("про"));
        QCOMPARE(partners->tableModel()->currentValue(QStringLiteral("Name")).toString(), QStringLiteral("Продснаб"));
        prompts.queueConfirm(false);
        QTest::keyClick(partners, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(partners->tableModel()->rowCount(), 2);
        prompts.queueConfirm(true);
        QTest::keyClick(partners, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(data.scalar(QStringLiteral("SELECT Name FROM Partner")).toString(), QStringLiteral("Молокозавод"));
        window.tabs()->setCurrentIndex(MainWindow::Info);
        QVERIFY(!partners->tableModel()->isOpen());
    }

    void maintenanceCancelledKeepsButton()
    {
        TestDataDir data(false);
        ScriptedPrompts prompts;
        MainWindow window(locationsOf(data), &prompts);
        window.show();
        prompts.queueConfirm(false);
        window.runMaintenance();
        QVERIFY(prompts.last().startsWith(QStringLiteral("Индексация|Перед индексацией желательно селать резервную "
                                                         "копию баз")));
        QVERIFY(prompts.last().endsWith(QStringLiteral("таблиц.    Начинать индексацию ?")));
        QVERIFY(window.startPage()->maintenanceButton()->isVisible());
    }

    void maintenanceWindowRunsAfterShowingAndThenCloses()
    {
        TestDataDir data(false);
        MaintenanceDialog dialog(data.dataDir());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.okButton()->isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape); // nothing while the tables are worked on
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY(dialog.finished());
        const QStringList log = dialog.log()->toPlainText().split(u'\n');
        QCOMPARE(log.first(), QStringLiteral("Bludo.DB"));
        QCOMPARE(log.last(), QStringLiteral("<<<   Индексация закончена   >>>"));
        QCOMPARE(log.size(), 22);
        QVERIFY(dialog.okButton()->isVisible());
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void exitPostsPendingEdit()
    {
        TestDataDir data;
        data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Name"), QStringLiteral("килограмм")}});
        {
            ScriptedPrompts prompts;
            MainWindow window(locationsOf(data), &prompts);
            window.show();
            window.tabs()->setCurrentIndex(MainWindow::Directories);
            auto* page = static_cast<DirectoriesPage*>(window.page(MainWindow::Directories));
            QVERIFY(page->unitGrid()->tableModel()->setFieldValue(QStringLiteral("Gramm"), 1000));
            window.close();
        }
        QCOMPARE(data.scalar(QStringLiteral("SELECT Gramm FROM Edinica")).toDouble(), 1000.0);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
