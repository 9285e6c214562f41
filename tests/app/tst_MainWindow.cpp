#include "GuiScript.h"
#include "OldKitchen.h"
#include "ScriptedPrompts.h"
#include "ServerKitchen.h"
#include "TestDataDir.h"

#include "app/ui/InfoPage.h"
#include "app/ui/MaintenanceDialog.h"
#include "app/ui/MainWindow.h"
#include "app/ui/StartPage.h"
#include "costing/ui/CostingPage.h"
#include "reference/ui/DirectoriesPage.h"
#include "reference/ui/IngredientsPage.h"
#include "reference/ui/PartnersPage.h"
#include "store/KitchenLock.h"
#include "store/KitchenPresence.h"
#include "store/TableModel.h"
#include "store/ui/DataGrid.h"
#include "store/ui/MessageBoxPrompts.h"
#include "tools/DemoKitchen.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSysInfo>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class ScriptedFolder : public FolderPrompt
{
public:
    QString askFolder(const QString&, const QString&) override { return answer; }
    QString answer;
};

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT
private:
    static DataLocations locationsOf(const TestDataDir& data)
    {
        return DataLocations::resolve(data.arguments(), QString());
    }

private Q_SLOTS:
    void serverKitchenShowsWhoElseIsIn()
    {
        if (ServerKitchen::server().isEmpty())
            QSKIP("no test server named");
        ServerKitchen kitchen;
        TestDataDir data(false);
        QString error;
        // Another workstation is in the kitchen already.
        auto other = Database::openServer(ServerKitchen::server(), kitchen.kitchen(), &error, u"other"_s);
        QVERIFY2(other && KitchenPresence::join(other->connection(), &error), qPrintable(error));
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve({u"--data"_s, data.dataDir(), u"--server"_s,
                                                  ServerKitchen::server(), u"--kitchen"_s, kitchen.kitchen()},
                                                 QString()),
                          &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString host = QSysInfo::machineHostName();
        QTRY_VERIFY(window.startPage()->presence()->isVisible());
        QVERIFY2(window.startPage()->presence()->text().contains(host),
                 qPrintable(window.startPage()->presence()->text()));
        // The program comes in beside it, and the status bar goes on telling who else is in.
        window.tabs()->setCurrentIndex(MainWindow::Ingredients);
        QVERIFY2(window.tablesOpened(), qPrintable(prompts.shown.join(u'\n')));
        QVERIFY(window.presence()->isVisible() && window.presence()->text().contains(host));
        other->close();
        window.tabs()->setCurrentIndex(MainWindow::Costing);
        QVERIFY(window.presence()->isHidden());
        QVERIFY(!window.menuBar()->findChildren<QAction*>().isEmpty());
    }

    void startsOnStartPageAndOpensViewsOnFirstChange()
    {
        TestDataDir data(false);
        ScriptedPrompts prompts;
        MainWindow window(locationsOf(data), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), u"Кухнемер (V-3.4.4)"_s);
        QCOMPARE(window.tabs()->currentIndex(), int(MainWindow::Start));
        QVERIFY(!window.tabs()->isTabVisible(MainWindow::Start));
        const QStringList captions = {u"Ингредиенты"_s,    u"Калькуляционные карты"_s,
                                      u"Меню"_s,           u"Реализация"_s,
                                      u"Справочники"_s,    QString(),
                                      u"Партнёры"_s,       u"Склад"_s,
                                      u"Экспорт/Импорт"_s, u"Анализ"_s,
                                      u"Информация"_s};
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

    void exitLeavesNoConnectionInUse()
    {
        QTest::failOnWarning(QRegularExpression(u"still in use"_s));
        TestDataDir data(false);
        ScriptedPrompts prompts;
        {
            MainWindow window(locationsOf(data), &prompts);
            window.show();
            for (int page = 0; page < window.tabs()->count(); ++page) {
                if (page != MainWindow::Start)
                    window.tabs()->setCurrentIndex(page);
            }
            QVERIFY(window.tablesOpened());
            window.close();
        }
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join(u'\n')));
        QVERIFY(!QSqlDatabase::contains(Database::programConnection()));
    }

    void secondCopyOnTheKitchenIsRefused()
    {
        SKIP_ON_SERVER("the lock file beside the database file");
        TestDataDir data(false);
        KitchenLock otherCopy(data.dataDir());
        QString error;
        QVERIFY(otherCopy.acquire(&error));
        ScriptedPrompts prompts;
        {
            MainWindow window(locationsOf(data), &prompts);
            QVERIFY(!window.claimKitchen());
            QVERIFY2(prompts.last().contains(u"уже открыта"_s), qPrintable(prompts.last()));
        }
        otherCopy.release();
        MainWindow window(locationsOf(data), &prompts);
        QVERIFY(window.claimKitchen());
        KitchenLock third(data.dataDir());
        QVERIFY(!third.acquire(&error));
    }

    // The program's own opening offers the upgrade of an older kitchen and then works on it.
    void olderKitchenIsUpgradedOnOpening()
    {
        SKIP_ON_SERVER("kitchen files of older versions and their upgrade");
        TestDataDir data(false);
        makeVersion1Kitchen(data);
        ScriptedPrompts prompts;
        prompts.queueConfirm(true);
        MainWindow window(locationsOf(data), &prompts);
        window.show();
        window.tabs()->setCurrentIndex(MainWindow::Directories);
        QVERIFY2(window.tablesOpened(), qPrintable(prompts.shown.join(u'\n')));
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY2(prompts.last().contains(u"обновлена с версии 1"_s), qPrintable(prompts.last()));
    }

    void missingDataDirectoryIsReportedAndRetried()
    {
        QTemporaryDir empty;
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve({u"--data"_s, empty.filePath(u"DATA"_s)}, QString()),
                          &prompts);
        window.show();
        window.tabs()->setCurrentIndex(MainWindow::Directories);
        QVERIFY(!window.tablesOpened());
        QVERIFY(prompts.last().contains(u"Не найден каталог данных"_s));
        QVERIFY(!QFileInfo::exists(empty.filePath(u"DATA"_s)));
        window.tabs()->setCurrentIndex(MainWindow::Partners);
        QCOMPARE(prompts.shown.size(), 2);
        QVERIFY(!window.tablesOpened());
    }

    // Prices written elsewhere (a stock posting, a price run) show when the page is shown again.
    void pagesShowWhatIsStoredWhenShownAgain()
    {
        TestDataDir data;
        const qlonglong vegetables = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        data.insert(u"Ing"_s, {{u"Kod"_s, vegetables}, {u"Name"_s, u"Кабачки"_s}, {u"Cena"_s, 120.5}});
        const qlonglong garnish = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Гарниры"_s}});
        data.insert(u"Bludo"_s, {{u"Kod"_s, garnish}, {u"Name"_s, u"Рагу"_s}, {u"Cena"_s, 30.0}});
        ScriptedPrompts prompts;
        MainWindow window(locationsOf(data), &prompts);
        window.show();
        window.tabs()->setCurrentIndex(MainWindow::Ingredients);
        window.tabs()->setCurrentIndex(MainWindow::Costing);
        auto* ingredients =
            static_cast<IngredientsPage*>(window.page(MainWindow::Ingredients))->ingredients();
        auto* dishes = static_cast<CostingPage*>(window.page(MainWindow::Costing))->dishes();
        QCOMPARE(ingredients->currentValue(u"Cena"_s).toDouble(), 120.5);
        QCOMPARE(dishes->currentValue(u"Cena"_s).toDouble(), 30.0);

        data.scalar(u"UPDATE Ing SET Cena = 110"_s);
        data.scalar(u"UPDATE Bludo SET Cena = 28.4"_s);
        window.tabs()->setCurrentIndex(MainWindow::Warehouse);
        window.tabs()->setCurrentIndex(MainWindow::Ingredients);
        QCOMPARE(ingredients->currentValue(u"Cena"_s).toDouble(), 110.0);
        window.tabs()->setCurrentIndex(MainWindow::Costing);
        QCOMPARE(dishes->currentValue(u"Cena"_s).toDouble(), 28.4);
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join(u'\n')));
    }

    // "Отмена" in the first-start offer leaves the start page offering the kitchen, never pages that fail.
    void firstStartCancelledOffersTheKitchenAgain()
    {
        QTemporaryDir root;
        const DataLocations locations = DataLocations::resolve({}, root.filePath(u"bin"_s), root.path());
        ScriptedPrompts prompts;
        ScriptedFolder folder;
        MainWindow window(locations, &prompts);
        window.setFolderPrompt(&folder);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        StartPage* start = window.startPage();
        QVERIFY(start->kitchenOffer()->isVisible());
        QVERIFY(!start->maintenanceButton()->isVisible());
        QVERIFY(!window.tabs()->isTabEnabled(MainWindow::Ingredients));
        QVERIFY(!window.tabs()->isTabEnabled(MainWindow::Info));

        // Another folder with no kitchen: the offer stays, now for that folder.
        folder.answer = root.filePath(u"elsewhere"_s);
        QDir().mkpath(folder.answer);
        QTest::mouseClick(start->offerButton(2), Qt::LeftButton);
        QCOMPARE(window.locations().culinar, folder.answer + u"/DATA"_s);
        QVERIFY(start->kitchenOffer()->isVisible());

        QTest::mouseClick(start->offerButton(0), Qt::LeftButton);
        QVERIFY(QFileInfo::exists(Database::filePath(folder.answer + u"/DATA"_s)));
        QVERIFY(!start->kitchenOffer()->isVisible());
        QVERIFY(start->maintenanceButton()->isVisible());
        window.tabs()->setCurrentIndex(MainWindow::Info);
        QVERIFY(static_cast<InfoPage*>(window.page(MainWindow::Info))
                    ->text()
                    .contains(QDir::toNativeSeparators(folder.answer + u"/DATA"_s)));
        window.tabs()->setCurrentIndex(MainWindow::Ingredients);
        QVERIFY(window.tablesOpened());
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.join(u'\n')));
        QVERIFY(!QFileInfo::exists(root.filePath(u"DATA"_s)));

        // Choosing a folder that holds a kitchen opens it without an offer.
        MainWindow again(locations, &prompts);
        again.setFolderPrompt(&folder);
        folder.answer = folder.answer + u"/DATA"_s;
        QTest::mouseClick(again.startPage()->offerButton(2), Qt::LeftButton);
        QCOMPARE(again.locations().culinar, folder.answer);
        QVERIFY(again.tabs()->isTabEnabled(MainWindow::Ingredients));
    }

    // Escape in a question with "Отмена" is "Отмена".
    void escapeAnswersCancel()
    {
        MessageBoxPrompts prompts;
        onNextDialog<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(prompts.choose(u"Кухнемер"_s, u"Кухня ещё не создана."_s,
                                {u"Пустая кухня"_s, u"Образец столовой"_s, u"Отмена"_s}),
                 2);
    }

    // Every page lays out in a window of 1024×600 (a small laptop, or 125 % on 1366×768).
    void pagesFitASmallScreen()
    {
        TestDataDir data;
        QSqlDatabase db = data.db();
        QString error;
        QVERIFY2(demo::fill(db, &error), qPrintable(error));
        ScriptedPrompts prompts;
        MainWindow window(locationsOf(data), &prompts);
        window.show();
        QStringList tooLarge;
        for (int page = 0; page < window.tabs()->count(); ++page) {
            if (page != MainWindow::Start)
                window.tabs()->setCurrentIndex(page);
            const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
            if (least.width() > 1024 || least.height() > 600)
                tooLarge << u"%1: %2×%3"_s.arg(window.tabs()->tabText(page))
                                .arg(least.width())
                                .arg(least.height());
        }
        QVERIFY2(tooLarge.isEmpty(), qPrintable(tooLarge.join(u", "_s)));
        QVERIFY(window.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(window.screen()->availableGeometry().contains(window.frameGeometry()));
    }

    void unitGridIgnoresCtrlDeleteAndPartnerGridAsks()
    {
        TestDataDir data;
        data.insert(u"Edinica"_s, {{u"Name"_s, u"килограмм"_s}});
        data.insert(u"Partner"_s, {{u"Name"_s, u"Продснаб"_s}});
        data.insert(u"Partner"_s, {{u"Name"_s, u"Молокозавод"_s}});
        ScriptedPrompts prompts;
        MainWindow window(locationsOf(data), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.tabs()->setCurrentIndex(MainWindow::Directories);
        auto* directoriesPage = static_cast<DirectoriesPage*>(window.page(MainWindow::Directories));
        DataGrid* units = directoriesPage->unitGrid();
        // A unit without grams would stop every calculation: the grid marks it.
        QVERIFY(units->model()->index(0, 2).data(Qt::ToolTipRole).toString().startsWith(u"Вес единицы"_s));
        QVERIFY(!units->model()->index(0, 0).data(Qt::ToolTipRole).isValid());
        units->setFocus();
        QTest::keyClick(units, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(units->tableModel()->rowCount(), 1);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Edinica"_s).toInt(), 1);

        // Insert then leaving without typing stores nothing.
        QTest::keyClick(units, Qt::Key_Insert);
        QCOMPARE(units->tableModel()->rowCount(), 2);
        directoriesPage->signatureGrid()->setFocus();
        QCOMPARE(units->tableModel()->rowCount(), 1);
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Edinica"_s).toInt(), 1);

        window.tabs()->setCurrentIndex(MainWindow::Partners);
        auto* partnersPage = static_cast<PartnersPage*>(window.page(MainWindow::Partners));
        DataGrid* partners = partnersPage->grid();
        QCOMPARE(partners->tableModel()->rowCount(), 2);
        typeText(partnersPage->searchBox(), u"про"_s);
        QCOMPARE(partners->tableModel()->currentValue(u"Name"_s).toString(), u"Продснаб"_s);
        prompts.queueConfirm(false);
        QTest::keyClick(partners, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(partners->tableModel()->rowCount(), 2);
        prompts.queueConfirm(true);
        QTest::keyClick(partners, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(data.scalar(u"SELECT Name FROM Partner"_s).toString(), u"Молокозавод"_s);
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
        QVERIFY(prompts.last().startsWith(u"Индексация|Перед индексацией желательно селать резервную "
                                          "копию баз"_s));
        QVERIFY(prompts.last().endsWith(u"таблиц.    Начинать индексацию ?"_s));
        QVERIFY(window.startPage()->maintenanceButton()->isVisible());
    }

    void maintenanceWindowRunsAfterShowingAndThenCloses()
    {
        TestDataDir data(false);
        MaintenanceDialog dialog(locationsOf(data));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.okButton()->isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape); // nothing while the tables are worked on
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY(dialog.finished());
        const QStringList log = dialog.log()->toPlainText().split(u'\n');
        QCOMPARE(log.first(), u"Bludo.DB"_s);
        QCOMPARE(log.last(), u"<<<   Индексация закончена   >>>"_s);
        QCOMPARE(log.size(), 22);
        QVERIFY(dialog.okButton()->isVisible());
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void exitPostsPendingEdit()
    {
        TestDataDir data;
        data.insert(u"Edinica"_s, {{u"Name"_s, u"килограмм"_s}});
        {
            ScriptedPrompts prompts;
            MainWindow window(locationsOf(data), &prompts);
            window.show();
            window.tabs()->setCurrentIndex(MainWindow::Directories);
            auto* page = static_cast<DirectoriesPage*>(window.page(MainWindow::Directories));
            QVERIFY(page->unitGrid()->tableModel()->setFieldValue(u"Gramm"_s, 1000));
            window.close();
        }
        QCOMPARE(data.scalar(u"SELECT Gramm FROM Edinica"_s).toDouble(), 1000.0);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
