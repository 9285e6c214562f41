#pragma once

#include "reports/ui/DesktopSpreadsheetLauncher.h"
#include "store/ui/Page.h"
#include "store/UserPrompts.h"

#include <memory>

class DataGrid;
class QPushButton;
class TableModel;
class TurnoverDialog;

// "Склад": the ingredient groups, the ingredients of the current group without semi-finished products
// with their balances (negative red bold, zero on silver), and the movements of the current ingredient
// as a ledger ("Приход"/"Расход"; unposted lines on silver). From here the receipt and issue window
// and the inventory open.
class WarehousePage : public Page
{
    Q_OBJECT
public:
    explicit WarehousePage(UserPrompts* prompts, DatePrompt* dates = nullptr, QWidget* parent = nullptr);
    ~WarehousePage() override;

    void setClock(const Clock* clock) { m_clock = clock; }
    // Where the turnover statement and the inventory act go; the desktop's application by default.
    void setSpreadsheetLauncher(SpreadsheetLauncher* launcher) { m_launcher = launcher; }

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;
    void pageShown() override;
    void pageHidden() override;

    // "Движение по складу" and "Инвентаризация": the windows, modal; the page re-reads afterwards.
    void openStockMovement();
    void openInventory();
    // "Оборотка": the statement of the dialog's choice for the current ingredient or group.
    void printTurnover();

    TableModel* groups() const { return m_groups; }
    TableModel* ingredients() const { return m_ingredients; }
    TableModel* movements() const { return m_movements; }
    DataGrid* groupGrid() const { return m_groupGrid; }
    DataGrid* ingredientGrid() const { return m_ingredientGrid; }
    DataGrid* movementGrid() const { return m_movementGrid; }
    QPushButton* button(const QString& caption) const;

Q_SIGNALS:
    // A window of the page is about to show, for tests that drive it.
    void windowOpened(QDialog* window);

protected:
    QList<TableModel*> views() const override { return {m_groups, m_ingredients, m_movements}; }

private:
    void createViews(QSqlDatabase db);

    UserPrompts* m_prompts;
    std::unique_ptr<DatePrompt> m_ownDates;
    DatePrompt* m_dates;
    SystemClock m_systemClock;
    const Clock* m_clock = &m_systemClock;
    QSqlDatabase m_db;
    TableModel* m_groups = nullptr;
    TableModel* m_ingredients = nullptr;
    TableModel* m_movements = nullptr;
    DataGrid* m_groupGrid;
    DataGrid* m_ingredientGrid;
    DataGrid* m_movementGrid;
    QList<QPushButton*> m_buttons;
    TurnoverDialog* m_turnoverDialog;
    DesktopSpreadsheetLauncher m_desktopLauncher;
    SpreadsheetLauncher* m_launcher = &m_desktopLauncher;
};
