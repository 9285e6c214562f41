#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "app/ui/HelpWindow.h"
#include "app/ui/MainWindow.h"
#include "tools/DemoKitchen.h"

#include <QDialog>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_Help : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void f1ShowsTheHelpOfThePageShown_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("heading");
        QTest::newRow("start") << int(MainWindow::Start) << u"Начало работы"_s;
        QTest::newRow("ingredients") << int(MainWindow::Ingredients) << u"Ингредиенты"_s;
        QTest::newRow("costing") << int(MainWindow::Costing) << u"Калькуляционные карты"_s;
        QTest::newRow("menus") << int(MainWindow::Menus) << u"Меню"_s;
        QTest::newRow("sales") << int(MainWindow::Sales) << u"Реализация"_s;
        QTest::newRow("directories") << int(MainWindow::Directories) << u"Справочники"_s;
        QTest::newRow("partners") << int(MainWindow::Partners) << u"Партнёры"_s;
        QTest::newRow("warehouse") << int(MainWindow::Warehouse) << u"Склад"_s;
        QTest::newRow("exchange") << int(MainWindow::Exchange) << u"Экспорт/Импорт"_s;
        QTest::newRow("info") << int(MainWindow::Info) << u"Информация"_s;
    }

    void f1ShowsTheHelpOfThePageShown()
    {
        QFETCH(int, page);
        QFETCH(QString, heading);
        TestDataDir data;
        QString error;
        QSqlDatabase db = data.db();
        QVERIFY2(demo::fill(db, &error), qPrintable(error));
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve(data.arguments(), QString()), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (page != MainWindow::Start)
            window.tabs()->setCurrentIndex(page);
        QVERIFY(!window.findChild<HelpWindow*>());

        // The key goes where the user's focus is: a grid, a button, the page itself.
        QWidget* target =
            QApplication::focusWidget() ? QApplication::focusWidget() : window.tabs()->currentWidget();
        QTest::keyClick(target, Qt::Key_F1);
        auto* help = window.findChild<HelpWindow*>();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->heading(), heading);
        QVERIFY(prompts.shown.isEmpty());
    }

    // A modal dialog blocks the main window's own shortcuts; F1 there still shows the page's help,
    // as a window of the dialog, so that it can be scrolled while the dialog is open.
    void f1InADialogShowsItsPagesHelpAboveIt()
    {
        TestDataDir data;
        ScriptedPrompts prompts;
        MainWindow window(DataLocations::resolve(data.arguments(), QString()), &prompts);
        window.show();
        window.tabs()->setCurrentIndex(MainWindow::Partners);
        QDialog dialog(window.tabs()->currentWidget());
        HelpWindow* help = nullptr;
        QTimer::singleShot(0, &dialog, [&] {
            QTest::keyClick(&dialog, Qt::Key_F1);
            help = dialog.findChild<HelpWindow*>();
            dialog.reject();
        });
        dialog.exec();
        QVERIFY(help);
        QCOMPARE(help->heading(), u"Партнёры"_s);
        QVERIFY(!QApplication::activeModalWidget());
        // The dialog closed (it is kept, as pages keep theirs): the help is the main window's again.
        QTest::keyClick(window.tabs()->currentWidget(), Qt::Key_F1);
        QCOMPARE(help->parentWidget(), &window);
        QVERIFY(help->isVisible());
    }
};

QTEST_MAIN(tst_Help)
#include "tst_Help.moc"
