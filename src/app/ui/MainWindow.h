#pragma once

#include "app/DiceAnimation.h"
#include "store/Database.h"
#include "store/DataLocations.h"
#include "store/KitchenLock.h"
#include "store/UserPrompts.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <optional>

class DiceWidget;
class MenuPage;
class InfoPage;
class QLabel;
class QMenu;
class SpreadsheetLauncher;
class Page;
class QTabWidget;
class StartPage;
class UserPrompts;

// "Кухнемер (V-3.4.4)": the eleven pages, the data store behind them, the start page's animation and
// the orderly exit.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum PageIndex
    {
        Ingredients,
        Costing,
        Menus,
        Sales,
        Directories,
        Start,
        Partners,
        Warehouse,
        Exchange,
        Analysis,
        Info
    };

    explicit MainWindow(DataLocations locations, UserPrompts* prompts = nullptr);
    ~MainWindow() override;

    QTabWidget* tabs() const { return m_tabs; }
    Page* page(PageIndex index) const;
    StartPage* startPage() const { return m_start; }
    bool tablesOpened() const { return m_tablesOpened; }
    const DiceAnimation& animation() const { return m_animation; }
    bool animationRunning() const { return m_tick.isActive(); }
    // Runs the maintenance button's work (its confirmation, then the log window).
    void runMaintenance();
    // Takes the kitchen for this program: true when it is held, or when its data directory does not
    // exist yet (taken when it is first opened); otherwise tells the user who has it open.
    bool claimKitchen();
    // The folder question of "Другая папка…" on the start page; the window's own dialog by default.
    void setFolderPrompt(FolderPrompt* folders) { m_folders = folders; }
    const DataLocations& locations() const { return m_locations; }
    // Shows on the start page and in the status bar who else has a server kitchen open: through the
    // program's connection once the kitchen is open, before that through a short one of its own.
    void showWhoIsWorking();
    QLabel* presence() const { return m_presence; }
    // "Вид": the current page's "Обновить" (F5).
    QMenu* viewMenu() const { return m_viewMenu; }
    // "Сеть" → "Показатели сети кухонь…" of a server kitchen: the period, then the chain's print-out.
    void printChainReport();
    void setSpreadsheetLauncher(SpreadsheetLauncher* launcher) { m_launcher = launcher; }
    // Whether the kitchen was opened in this run: only such a kitchen is offered at the next start.
    bool kitchenOpened() const { return m_kitchenOpened; }
    // A place restored from the user's settings stands: the first show does not place the window.
    void keepPlacement() { m_placed = true; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    static constexpr int titleAllowance = 40; // a window manager's title bar
    static constexpr int frameAllowance = 8;  // and each of its borders

    void addPage(Page* page, const QString& caption);
    // The die a page shows, turned by the window's clock while that page is current.
    DiceWidget* newPageDie();
    void onPageChanged(int index);
    bool openBase();
    void onTick();
    void shutdown();
    // While no kitchen exists the start page offers one and the other pages cannot be chosen.
    void updateKitchenOffer();
    void createKitchen(bool demo);
    void chooseOtherFolder();

    DataLocations m_locations;
    std::unique_ptr<UserPrompts> m_ownPrompts;
    UserPrompts* m_prompts;
    std::unique_ptr<FolderPrompt> m_ownFolders;
    FolderPrompt* m_folders;
    KitchenLock m_lock;
    std::optional<Database> m_db;
    QTabWidget* m_tabs;
    StartPage* m_start = nullptr;
    InfoPage* m_info = nullptr;
    QLabel* m_presence;
    QMenu* m_viewMenu;
    std::unique_ptr<SpreadsheetLauncher> m_desktopLauncher;
    SpreadsheetLauncher* m_launcher;
    MenuPage* m_menuPage = nullptr;
    QList<DiceWidget*> m_pageDice;
    int m_previousPage = Start;
    bool m_tablesOpened = false;
    bool m_kitchenOpened = false;
    bool m_placed = false;
    DiceAnimation m_animation;
    QTimer m_tick;
    QTimer m_stepChange;
};
