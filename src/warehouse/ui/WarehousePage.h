#pragma once

#include "InventoryDialog.h"
#include "store/ui/Page.h"
#include "store/UserPrompts.h"

#include <functional>
#include <memory>

class DataGrid;
class QPushButton;
class TableModel;

// "Склад": the ingredient groups, the ingredients of the current group without semi-finished products
// with their balances (negative red bold, zero on silver), and the movements of the current ingredient
// as a ledger ("Приход"/"Расход"; unposted lines on silver). From here the receipt and issue window
// and the inventory open.
class WarehousePage : public Page
{
    Q_OBJECT
public:
    // The turnover statement; the button stays disabled while none is set.
    using TurnoverPrint = std::function<void(QSqlDatabase db, QWidget* parent)>;

    explicit WarehousePage(UserPrompts* prompts, DatePrompt* dates = nullptr, QWidget* parent = nullptr);
    ~WarehousePage() override;

    // Where the print-outs of this page plug in.
    void setTurnoverPrint(TurnoverPrint print);
    void setInventoryActPrint(InventoryDialog::ActPrint print) { m_actPrint = std::move(print); }
    void setInventoryFormPrint(InventoryDialog::FormPrint print) { m_formPrint = std::move(print); }
    void setClock(const Clock* clock) { m_clock = clock; }
    QSqlDatabase database() const { return m_db; }

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;
    void pageShown() override;
    void pageHidden() override;

    // "Движение по складу" and "Инвентаризация": the windows, modal; the page re-reads afterwards.
    void openStockMovement();
    void openInventory();
    // Every view again, keeping the current group and ingredient.
    void refresh();

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
    TurnoverPrint m_turnoverPrint;
    InventoryDialog::ActPrint m_actPrint;
    InventoryDialog::FormPrint m_formPrint;
};
