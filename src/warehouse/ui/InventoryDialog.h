#pragma once

#include "store/UserPrompts.h"

#include "warehouse/InventoryFormsPrint.h"

#include <QDialog>
#include <QHash>
#include <QSqlDatabase>

#include <functional>
#include <memory>

class DataGrid;
class PrintJob;
class QLineEdit;
class QPushButton;
class SpreadsheetLauncher;
class StockChoiceDialog;
class TableModel;

// "Инвентаризация": the inventory documents by date and the lines of the current one by name, with
// the transfer of the stock state, "Удалить нулевые" and the posting. A posted document's lines are
// read-only on silver; a counted quantity of (about) 0 is bold, a negative documented one red bold.
class InventoryDialog : public QDialog
{
    Q_OBJECT
public:
    // The act and the state's forms (ИНВ-3, ИНВ-19) go to the launcher.
    InventoryDialog(QSqlDatabase db, UserPrompts* prompts, DatePrompt* dates, const Clock* clock,
                    SpreadsheetLauncher& launcher, QWidget* parent = nullptr);
    ~InventoryDialog() override;

    bool openViews(QString* error);
    void closeViews();

    void newDocument();
    void deleteDocument();
    void deleteZeroLines();
    void transfer();
    void post();
    // "Печать акта инвентаризации" of the current document.
    void printAct();
    // "Печать ИНВ-3" or "Печать ИНВ-19" of the current document.
    void printForm(InventoryForm form);

    TableModel* documents() const { return m_documents; }
    TableModel* lines() const { return m_lines; }
    DataGrid* documentGrid() const { return m_documentGrid; }
    DataGrid* lineGrid() const { return m_lineGrid; }
    QLineEdit* searchBox() const { return m_search; }
    QPushButton* button(const QString& caption) const;

protected:
    void done(int result) override;

private:
    using JobOf = std::function<std::unique_ptr<PrintJob>(const QSqlDatabase& db, qlonglong inventory)>;

    // Runs the job of the current document, its lines saved first.
    void printCurrent(const QString& caption, const JobOf& makeJob);
    void createViews();
    bool postAll();
    QVariant current() const;
    void applyState();
    void reload();

    QSqlDatabase m_db;
    UserPrompts* m_prompts;
    DatePrompt* m_dates;
    const Clock* m_clock;
    SpreadsheetLauncher& m_launcher;
    TableModel* m_documents = nullptr;
    TableModel* m_lines = nullptr;
    QHash<qlonglong, QString> m_units;
    DataGrid* m_documentGrid;
    DataGrid* m_lineGrid;
    QLineEdit* m_search;
    QList<QPushButton*> m_buttons;
    StockChoiceDialog* m_choice;
};
