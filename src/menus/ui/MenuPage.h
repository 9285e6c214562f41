#pragma once

#include "reports/ui/DesktopSpreadsheetLauncher.h"
#include "store/ui/DatePromptDialog.h"
#include "store/ui/Page.h"
#include "store/UserPrompts.h"

#include <functional>

class DataGrid;
class FieldEdit;
class QBoxLayout;
class QComboBox;
class QLineEdit;
class QPushButton;
class TableModel;

// "Меню": the dated menus and the entries of the current one, with their selling prices, the dish
// chooser, the release, the price run with the selling prices, and the printed menu.
class MenuPage : public Page
{
    Q_OBJECT
public:
    explicit MenuPage(UserPrompts* prompts, QWidget* parent = nullptr);

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;
    void postPending() override;

    DataGrid* menuGrid() const { return m_menuGrid; }
    DataGrid* entryGrid() const { return m_entryGrid; }
    TableModel* menus() const { return m_menus; }
    TableModel* entries() const { return m_entries; }
    QLineEdit* groupBox() const { return m_groupBox; }
    // The description printed under the dish; made with the views.
    FieldEdit* descriptionBox() const { return m_description; }
    QComboBox* roundingStepBox() const { return m_step; }
    QComboBox* roundingDirectionBox() const { return m_direction; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* priceButton() const { return m_price; }
    QPushButton* chooseButton() const { return m_choose; }
    QPushButton* removeEntryButton() const { return m_removeEntry; }
    QPushButton* releaseButton() const { return m_release; }
    QPushButton* deleteMenuButton() const { return m_deleteMenu; }
    DatePromptDialog* printDialog() const { return m_printDialog; }

    // What asks a new menu's date, where print-outs go and the date they carry; the date dialog, the
    // desktop's application and the system clock unless replaced (tests). The page does not own them.
    void setDatePrompt(DatePrompt* dates) { m_dates = dates; }
    void setSpreadsheetLauncher(SpreadsheetLauncher* launcher) { m_launcher = launcher; }
    void setClock(const Clock* clock) { m_clock = clock; }

    // "Передача меню в модуль" for the current menu; the exchange lives above the menus, so the main
    // window plugs it in. Unset, the button does nothing.
    using MenuTransfer =
        std::function<void(QWidget* parent, QSqlDatabase db, UserPrompts& prompts, const QVariant& menu)>;
    void setMenuTransfer(MenuTransfer transfer) { m_transferMenu = std::move(transfer); }
    // The workstation's data directory, where the menu print keeps its texts (Sm.db): beside the
    // database file, or the folder of --data for a kitchen on a server.
    void setDataDirectory(const QString& dataDir) { m_dataDir = dataDir; }
    // The main window's die, shown under the menu grid.
    void placeDie(QWidget* die);

    void createMenu();
    void toggleEntry();
    void chooseDishes();
    void calculatePrices();
    void removeEntry();
    void releaseMenu();
    void deleteMenu();
    void printMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QList<TableModel*> views() const override { return {m_menus, m_entries, m_entryGroup}; }

private:
    QWidget* buildEntryPanel();
    QWidget* buildControlPanel();
    void createViews(QSqlDatabase db);
    bool postAll();
    void applyMenuState();

    UserPrompts* m_prompts;
    QSqlDatabase m_db;
    TableModel* m_menus = nullptr;
    TableModel* m_entries = nullptr;
    TableModel* m_entryGroup = nullptr; // the current entry's dish group
    DataGrid* m_menuGrid;
    DataGrid* m_entryGrid;
    QLineEdit* m_groupBox;
    QWidget* m_descriptionHolder;
    FieldEdit* m_description = nullptr;
    QComboBox* m_step;
    QComboBox* m_direction;
    QPushButton* m_print;
    QPushButton* m_price;
    QPushButton* m_choose;
    QPushButton* m_removeEntry;
    QPushButton* m_release;
    QPushButton* m_deleteMenu;
    QPushButton* m_transfer;
    QBoxLayout* m_dieSlot = nullptr;
    MenuTransfer m_transferMenu;
    QString m_dataDir;
    DatePromptDialog* m_printDialog;
    DesktopSpreadsheetLauncher m_desktopLauncher;
    SpreadsheetLauncher* m_launcher = &m_desktopLauncher;
    SystemClock m_systemClock;
    const Clock* m_clock = &m_systemClock;
    DialogDatePrompt m_dialogDates{this};
    DatePrompt* m_dates = &m_dialogDates;
};
