#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "app/ui/MainWindow.h"
#include "app/ui/WindowMemory.h"
#include "costing/ui/CostingPage.h"
#include "reference/ui/GroupChoiceDialog.h"
#include "store/ui/DataGrid.h"
#include "tools/DemoKitchen.h"

#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class tst_WindowMemory : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<MainWindow> openWindow(const TestDataDir& data)
    {
        auto window =
            std::make_unique<MainWindow>(DataLocations::resolve(data.arguments(), QString()), &m_prompts);
        return window;
    }
    static DataGrid* dishGrid(MainWindow& window)
    {
        return window.page(MainWindow::Costing)->findChildren<DataGrid*>()[1];
    }
    static QSplitter* splitter(MainWindow& window)
    {
        return window.page(MainWindow::Costing)->findChild<QSplitter*>();
    }

    ScriptedPrompts m_prompts;
    QTemporaryDir m_home;

private Q_SLOTS:
    void placeSplitterAndDraggedColumnsComeBack()
    {
        TestDataDir data;
        QSqlDatabase db = data.db();
        QString error;
        QVERIFY2(demo::fill(db, &error), qPrintable(error));
        QSettings settings(m_home.filePath(u"roundtrip.conf"_s), QSettings::IniFormat);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QRect place(available.left() + 2, available.top() + 20, available.width() - 40,
                    available.height() - 60);
        QList<int> sizes;
        {
            auto window = openWindow(data);
            window->show();
            window->setGeometry(place);
            place = window->geometry(); // widened to the window's least width on a small screen
            window->tabs()->setCurrentIndex(MainWindow::Costing);
            // The grids fit their columns on every read and resize; none of that is the user's choice.
            WindowMemory(settings).save(*window);
            QVERIFY(!settings.childGroups().contains(u"columns"_s));

            dishGrid(*window)->horizontalHeader()->resizeSection(0, 77);
            splitter(*window)->setSizes({100, 200, 300});
            sizes = splitter(*window)->sizes();
            WindowMemory(settings).save(*window);
        }
        auto window = openWindow(data);
        QVERIFY(WindowMemory(settings).restore(*window));
        window->keepPlacement();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->geometry(), place);
        window->tabs()->setCurrentIndex(MainWindow::Costing);
        QCOMPARE(splitter(*window)->sizes(), sizes);
        // Kept through the grid's reading of the rows and the window's resizing.
        QCOMPARE(dishGrid(*window)->columnWidth(0), 77);
        window->resize(window->size() - QSize(30, 0));
        QCOMPARE(dishGrid(*window)->columnWidth(0), 77);
        QVERIFY(!window->isMaximized());
    }

    // A column the user dragged in a dialog's grid comes back the next time a dialog of its kind shows,
    // in this run or, through the settings file, the next.
    void dialogColumnsComeBack()
    {
        TestDataDir data;
        data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        const QString file = m_home.filePath(u"dialogs.conf"_s);
        QString error;
        {
            QSettings settings(file, QSettings::IniFormat);
            QObject owner;
            WindowMemory(settings).rememberDialogGrids(&owner);
            GroupChoiceDialog dialog(&m_prompts, data.db());
            QVERIFY2(dialog.openViews(&error), qPrintable(error));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.grid()->horizontalHeader()->resizeSection(0, 211);
            dialog.hide();
        }
        QSettings settings(file, QSettings::IniFormat);
        QObject owner;
        WindowMemory(settings).rememberDialogGrids(&owner);
        GroupChoiceDialog dialog(&m_prompts, data.db());
        QVERIFY2(dialog.openViews(&error), qPrintable(error));
        QVERIFY(dialog.grid()->columnWidth(0) != 211);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.grid()->columnWidth(0), 211);
    }

    void placeIsKeptOnItsScreen_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::newRow("beyond the right and bottom") << QRect(5000, 4000, 300, 200);
        QTest::newRow("above and left") << QRect(-900, -700, 300, 200);
        QTest::newRow("larger than the screen") << QRect(100, 100, 9000, 7000);
    }

    void placeIsKeptOnItsScreen()
    {
        QFETCH(QRect, stored);
        QSettings settings(m_home.filePath(u"offscreen.conf"_s), QSettings::IniFormat);
        settings.setValue(u"window/screen"_s, QGuiApplication::primaryScreen()->name());
        settings.setValue(u"window/geometry"_s, stored);
        settings.setValue(u"window/frame"_s, stored.adjusted(-4, -30, 4, 4));
        QWidget window;
        QVERIFY(WindowMemory(settings).restore(window));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(
            available.contains(window.geometry().adjusted(-4, -30, 4, 4)),
            qPrintable(
                u"%1,%2 %3×%4"_s.arg(window.x()).arg(window.y()).arg(window.width()).arg(window.height())));
    }

    void placeOnAScreenThatIsGoneIsIgnored()
    {
        QSettings settings(m_home.filePath(u"gone.conf"_s), QSettings::IniFormat);
        settings.setValue(u"window/screen"_s, u"HDMI-gone"_s);
        settings.setValue(u"window/geometry"_s, QRect(10, 10, 300, 200));
        settings.setValue(u"window/maximised"_s, true);
        QWidget window;
        window.setGeometry(40, 50, 200, 100);
        QVERIFY(!WindowMemory(settings).restore(window));
        QCOMPARE(window.geometry(), QRect(40, 50, 200, 100));
        QVERIFY(!(window.windowState() & Qt::WindowMaximized));
    }

    void maximisedComesBackWithItsNormalPlace()
    {
        QSettings settings(m_home.filePath(u"maximised.conf"_s), QSettings::IniFormat);
        QRect normal;
        {
            QWidget window;
            window.setGeometry(30, 40, 300, 200);
            window.show();
            normal = window.geometry();
            window.showMaximized();
            QTRY_VERIFY(window.isMaximized());
            WindowMemory(settings).save(window);
        }
        QCOMPARE(settings.value(u"window/geometry"_s).toRect(), normal);
        QWidget window;
        QVERIFY(WindowMemory(settings).restore(window));
        QVERIFY(window.windowState() & Qt::WindowMaximized);
    }
};

QTEST_MAIN(tst_WindowMemory)
#include "tst_WindowMemory.moc"
