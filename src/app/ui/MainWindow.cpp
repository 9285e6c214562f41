#include "MainWindow.h"

#include "analysis/ui/AnalysisPage.h"
#include "costing/ui/CostingPage.h"
#include "costing/ui/RepricingPreviewDialog.h"
#include "DiceWidget.h"
#include "exchange/ui/ExchangePage.h"
#include "exchange/ui/PointOfSaleExchange.h"
#include "HelpKey.h"
#include "InfoPage.h"
#include "MaintenanceDialog.h"
#include "menus/ui/MenuPage.h"
#include "reference/ui/DirectoriesPage.h"
#include "reference/ui/IngredientsPage.h"
#include "reference/ui/PartnersPage.h"
#include "reports/ui/DesktopSpreadsheetLauncher.h"
#include "reports/ui/PrintJobRun.h"
#include "sales/ChainReportPrintJob.h"
#include "sales/ui/SalesPage.h"
#include "sales/ui/SummaryPeriodDialog.h"
#include "StartPage.h"
#include "store/KitchenPresence.h"
#include "store/Rounding.h"
#include "store/SchemaUpgrade.h"
#include "store/ui/FolderDialogPrompt.h"
#include "store/ui/MessageBoxPrompts.h"
#include "store/ui/WorkerRun.h"
#include "tools/KitchenSetup.h"
#include "warehouse/ui/WarehousePage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalBlocker>
#include <QSqlDatabase>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

MainWindow::MainWindow(DataLocations locations, UserPrompts* prompts)
    : QMainWindow(nullptr), m_locations(std::move(locations)),
      m_ownPrompts(prompts ? nullptr : new MessageBoxPrompts(this)),
      m_prompts(prompts ? prompts : m_ownPrompts.get()), m_ownFolders(new FolderDialogPrompt(this)),
      m_folders(m_ownFolders.get()), m_lock(m_locations.culinar), m_tabs(new QTabWidget(this)),
      m_presence(new QLabel(this)), m_desktopLauncher(new DesktopSpreadsheetLauncher),
      m_launcher(m_desktopLauncher.get())
{
    setWindowTitle(u"Кухнемер (V-3.4.4)"_s);
    setCentralWidget(m_tabs);
    statusBar(); // says what the last operation did
    statusBar()->addPermanentWidget(m_presence);
    m_presence->hide();
    m_start = new StartPage(m_tabs);
    auto* ingredientsPage = new IngredientsPage(m_prompts, m_tabs);
    ingredientsPage->setRepricingCheck(previewRepricing);
    addPage(ingredientsPage, u"Ингредиенты"_s);
    addPage(new CostingPage(m_prompts, m_tabs), u"Калькуляционные карты"_s);
    m_menuPage = new MenuPage(m_prompts, m_tabs);
    m_menuPage->setMenuTransfer(pointofsale::transferMenu);
    m_menuPage->placeDie(newPageDie());
    addPage(m_menuPage, u"Меню"_s);
    auto* sales = new SalesPage(m_prompts, nullptr, m_tabs);
    sales->setSalesReceiver(pointofsale::receiveSales);
    sales->placeDie(newPageDie());
    addPage(sales, u"Реализация"_s);
    addPage(new DirectoriesPage(m_prompts, m_tabs), u"Справочники"_s);
    addPage(m_start, QString());
    addPage(new PartnersPage(m_prompts, m_tabs), u"Партнёры"_s);
    addPage(new WarehousePage(m_prompts, nullptr, m_tabs), u"Склад"_s);
    addPage(new ExchangePage(m_prompts, m_tabs), u"Экспорт/Импорт"_s);
    addPage(new AnalysisPage(m_prompts, m_tabs), u"Анализ"_s);
    m_info = new InfoPage(m_tabs);
    addPage(m_info, u"Информация"_s);
    // The start page has no tab: once left, it cannot be shown again.
    m_tabs->setTabVisible(Start, false);
    m_tabs->setCurrentIndex(Start);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::onPageChanged);
    connect(m_start, &StartPage::maintenanceRequested, this, &MainWindow::runMaintenance);
    connect(m_start, &StartPage::kitchenRequested, this, &MainWindow::createKitchen);
    connect(m_start, &StartPage::otherFolderRequested, this, &MainWindow::chooseOtherFolder);
    updateKitchenOffer();
    // "Обновить" of the page on view, with its key.
    m_viewMenu = menuBar()->addMenu(u"&Вид"_s);
    m_viewMenu->setToolTipsVisible(true);
    m_viewMenu->addAction(m_start->refreshAction());
    if (!m_locations.server.isEmpty()) {
        // The kitchens of a chain share the server's database: their figures are a menu away.
        QMenu* chain = menuBar()->addMenu(u"&Сеть"_s);
        chain->addAction(u"&Показатели сети кухонь…"_s, this, &MainWindow::printChainReport);
    }
    new HelpKey(this, [this] { return m_tabs ? m_tabs->currentWidget() : nullptr; });

    m_tick.setInterval(DiceAnimation::tickMs);
    m_stepChange.setInterval(DiceAnimation::stepChangeMs);
    connect(&m_tick, &QTimer::timeout, this, &MainWindow::onTick);
    connect(&m_stepChange, &QTimer::timeout, this, [this] {
        m_animation.changeSteps(
            [](int low, int high) { return QRandomGenerator::global()->bounded(low, high + 1); });
    });
    m_tick.start();
    m_stepChange.start();
    m_start->setClockRunning(true);
    resize(1280, 700);
}

MainWindow::~MainWindow()
{
    shutdown();
    // The pages' views hold handles of the connection; they go first so it is removed unused.
    delete m_tabs;
    m_tabs = nullptr;
    QSqlDatabase::removeDatabase(Database::programConnection());
}

bool MainWindow::claimKitchen()
{
    if (!m_locations.server.isEmpty() || !QFileInfo(m_locations.culinar).isDir())
        return true;
    QString error;
    if (m_lock.acquire(&error))
        return true;
    m_prompts->warn(u"Кухнемер"_s, error);
    return false;
}

void MainWindow::updateKitchenOffer()
{
    const bool missing = kitchensetup::kitchenMissing(m_locations);
    m_start->showKitchenOffer(missing ? m_locations.culinar : QString());
    m_start->maintenanceButton()->setVisible(!missing);
    {
        // Enabling a tab while the hidden start page is current would move to that tab: stay.
        const QSignalBlocker blocker(m_tabs);
        const int current = m_tabs->currentIndex();
        for (int i = 0; i < m_tabs->count(); ++i) {
            if (i != Start)
                m_tabs->setTabEnabled(i, !missing);
        }
        m_tabs->setCurrentIndex(current);
    }
    m_info->setDataDirectory(m_locations.culinar);
    m_menuPage->setDataDirectory(m_locations.culinar);
}

void MainWindow::createKitchen(bool demo)
{
    if (!kitchensetup::kitchenMissing(m_locations))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool created = kitchensetup::createKitchen(m_locations.culinar, demo, *m_prompts);
    QApplication::restoreOverrideCursor();
    if (!created)
        return;
    QString error;
    if (!m_locations.ensureExchangeDirectory(&error))
        m_prompts->warn(u"Кухнемер"_s, error);
    updateKitchenOffer();
}

void MainWindow::chooseOtherFolder()
{
    const QString chosen = m_folders->askFolder(u"Папка кухни"_s, QFileInfo(m_locations.culinar).path());
    if (chosen.isEmpty())
        return;
    // A folder holding the database is the data directory itself; any other gets its kitchen in DATA,
    // with the exchange directory beside it, as a kitchen found by the program has.
    const QString dataDir =
        QFileInfo(Database::filePath(chosen)).isFile() ? chosen : QDir(chosen).filePath(u"DATA"_s);
    DataLocations locations = DataLocations::resolve({u"--data"_s, dataDir}, QString());
    locations.givenByUser = false; // still offered a kitchen when there is none
    m_locations = locations;
    m_lock.setDataDir(m_locations.culinar);
    if (!kitchensetup::kitchenMissing(m_locations)) {
        QString error;
        if (!m_locations.ensureExchangeDirectory(&error))
            m_prompts->warn(u"Кухнемер"_s, error);
        claimKitchen();
    }
    updateKitchenOffer();
}

void MainWindow::addPage(Page* page, const QString& caption)
{
    m_tabs->addTab(page, caption);
    connect(page, &Page::operationReported, this,
            [this](const QString& message) { statusBar()->showMessage(message); });
}

DiceWidget* MainWindow::newPageDie()
{
    auto* die = new DiceWidget(Qt::yellow, Qt::blue);
    die->setAngleSigns({1, -1, 1});
    die->setFixedSize(72, 72);
    m_pageDice.append(die);
    return die;
}

Page* MainWindow::page(PageIndex index) const
{
    return static_cast<Page*>(m_tabs->widget(index));
}

void MainWindow::showWhoIsWorking()
{
    if (m_locations.server.isEmpty())
        return;
    QList<KitchenPresence::Session> sessions;
    QString error;
    if (m_db) {
        KitchenPresence::others(m_db->connection(), &sessions, &error);
    } else if (std::optional<Database> look =
                   Database::openServer(m_locations.server, m_locations.kitchen, &error,
                                        u"kuhnemer-presence"_s, Database::Shape::AnyVersion)) {
        KitchenPresence::others(look->connection(), &sessions, &error);
        look->close();
    }
    // Not knowing who else is in stops nothing: the opening itself tells what is wrong.
    const QString text =
        sessions.isEmpty()
            ? QString()
            : u"С кухней сейчас работают также: %1."_s.arg(KitchenPresence::describe(sessions));
    m_start->showPresence(text);
    m_presence->setText(text);
    m_presence->setVisible(!text.isEmpty());
}

void MainWindow::printChainReport()
{
    if (!m_tablesOpened && !openBase())
        return;
    SummaryPeriodDialog period(this);
    period.setWindowTitle(u"Показатели сети кухонь"_s);
    period.setDates(QDate::currentDate());
    if (period.exec() != QDialog::Accepted)
        return;
    runPrintJob(
        this, u"Показатели сети кухонь"_s, m_db->connection(),
        [start = period.start(), end = period.end()](const QSqlDatabase& db) {
            return std::make_unique<ChainReportPrintJob>(Database::addressOf(db).serverOptions, start, end);
        },
        *m_prompts, *m_launcher);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // After the paint: the window shows while the server is asked.
    QTimer::singleShot(0, this, &MainWindow::showWhoIsWorking);
    if (m_placed || !screen())
        return;
    m_placed = true;
    // Placed before the window manager maps it, so the frame it adds is not known yet: leave room for
    // a title bar and borders, so that the whole window, title bar included, is on the screen.
    const QRect available = screen()->availableGeometry();
    const QSize room = available.size() - QSize(2 * frameAllowance, titleAllowance + frameAllowance);
    const QSize size = QSize(1280, 700).boundedTo(room).expandedTo(minimumSizeHint());
    resize(size);
    move(available.left() +
             std::max(0, rounding::toInt((available.width() - size.width() - 2 * frameAllowance) / 2.0)),
         available.top() +
             std::max(0, rounding::toInt(
                             (available.height() - size.height() - titleAllowance - frameAllowance) / 6.0)));
}

bool MainWindow::openBase()
{
    QString error;
    if (!m_db && !m_locations.server.isEmpty()) {
        m_db = Database::openServer(m_locations.server, m_locations.kitchen, &error);
        if (m_db && !KitchenPresence::join(m_db->connection(), &error)) {
            m_db->close();
            m_db.reset();
        }
        if (!m_db) {
            m_prompts->warn(u"Ошибка"_s, error);
            return false;
        }
    }
    if (!m_db) {
        // A missing data directory is reported by the opening below.
        if (QFileInfo(m_locations.culinar).isDir() && !m_lock.acquire(&error)) {
            m_prompts->warn(u"Ошибка"_s, error);
            return false;
        }
        // An older kitchen is offered the upgrade; declined, the opening below says how to do it later.
        if (!schema::offerUpgrade(m_locations.culinar, *m_prompts))
            return false;
        m_db = Database::open(m_locations.culinar, &error);
        if (!m_db) {
            m_prompts->warn(u"Ошибка"_s, error);
            return false;
        }
    }
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (!page(PageIndex(i))->openViews(m_db->connection(), &error)) {
            m_prompts->warn(u"Ошибка"_s, error);
            return false;
        }
    }
    m_tablesOpened = true;
    m_kitchenOpened = true;
    return true;
}

void MainWindow::onPageChanged(int index)
{
    Page* previous = page(PageIndex(m_previousPage));
    if (m_previousPage == Start) {
        m_start->maintenanceButton()->hide();
        m_start->setClockRunning(false);
    } else if (m_tablesOpened) {
        previous->pageHidden();
    }
    m_previousPage = index;
    if (!m_tablesOpened && !openBase()) {
        m_tick.stop();
        m_stepChange.stop();
        return;
    }
    Page* shown = page(PageIndex(index));
    shown->pageShown();
    m_viewMenu->clear();
    m_viewMenu->addAction(shown->refreshAction());
    showWhoIsWorking();
    const bool animated = index == Menus || index == Sales || index == Start;
    if (animated) {
        m_tick.start();
        m_stepChange.start();
    } else {
        m_tick.stop();
        m_stepChange.stop();
    }
}

void MainWindow::onTick()
{
    m_animation.tick();
    const QList<DiceWidget*> dice = m_tabs->currentIndex() == Start ? m_start->dice() : m_pageDice;
    for (DiceWidget* die : dice)
        die->setAngles(m_animation.angles());
}

void MainWindow::runMaintenance()
{
    if (m_tablesOpened)
        return;
    if (!m_prompts->confirm(u"Индексация"_s,
                            u"Перед индексацией желательно селать резервную копию баз на случай сбоя "
                            "компьютера во время индексирования и упаковки таблиц.    Начинать "
                            "индексацию ?"_s))
        return;
    QString error;
    // A server kitchen is taken by the maintenance itself, refused while anyone else has it open.
    if (m_locations.server.isEmpty() && !m_lock.acquire(&error)) {
        m_prompts->warn(u"Индексация"_s, error);
        return;
    }
    m_start->maintenanceButton()->hide();
    MaintenanceDialog dialog(m_locations, this);
    dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The operation's call is still on a page's stack: the pages must outlive it.
    if (workerRunning()) {
        m_prompts->warn(u"Выход"_s, u"Идёт длительная операция: дождитесь её окончания или отмените её."_s);
        event->ignore();
        return;
    }
    shutdown();
    event->accept();
}

void MainWindow::shutdown()
{
    m_tick.stop();
    m_stepChange.stop();
    if (m_db) {
        for (int i = 0; i < m_tabs->count(); ++i) {
            page(PageIndex(i))->postPending();
            page(PageIndex(i))->closeViews();
        }
        m_db->close(Database::Registration::Keep);
        m_db.reset();
        m_tablesOpened = false;
    }
    m_lock.release();
}
