#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "app/ui/HelpWindow.h"
#include "app/ui/MainWindow.h"
#include "tools/DemoKitchen.h"

#include <QDialog>
#include <QDir>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
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
        QTest::newRow("analysis") << int(MainWindow::Analysis) << u"Анализ"_s;
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

    // The keys of the grids are one page, which the pages' help links to; the help window follows a
    // link chosen with the keyboard as the user would.
    void linkToTheGridKeysIsFollowed()
    {
        HelpWindow help;
        help.showTopic(u"CostingPage"_s);
        auto* text = help.findChild<QTextBrowser*>();
        QVERIFY(text);
        text->setFocus();
        for (int tab = 0; tab < 10 && text->textCursor().selectedText() != u"Клавиши в таблицах"_s; ++tab)
            QTest::keyClick(text, Qt::Key_Tab);
        QCOMPARE(text->textCursor().selectedText(), u"Клавиши в таблицах"_s);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(help.heading(), u"Клавиши в таблицах"_s);
        QVERIFY(text->toPlainText().contains(u"Escape — отменить правку ячейки"_s));
    }

    // Every link of every help page names a page that is there, in the program as in the installed
    // folder, which holds the same files.
    void everyLinkNamesAPage()
    {
        HelpWindow help; // loads the pages
        const QDir pages(u":/help"_s);
        const QStringList files = pages.entryList({u"*.html"_s});
        QVERIFY(files.contains(u"GridKeys.html"_s));
        const QRegularExpression link(u"href=\"([^\"]+)\""_s);
        for (const QString& name : files) {
            QFile file(pages.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch& match : link.globalMatch(html))
                QVERIFY2(files.contains(match.captured(1)), qPrintable(name + u" → "_s + match.captured(1)));
        }
    }
};

QTEST_MAIN(tst_Help)
#include "tst_Help.moc"
