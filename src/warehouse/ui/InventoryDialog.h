#pragma once

#include "store/UserPrompts.h"

#include "warehouse/InventoryFormsPrint.h"

#include <QDialog>
#include <QHash>
#include <QSqlDatabase>

#include <functional>

class DataGrid;
class QLineEdit;
class QPushButton;
class StockChoiceDialog;
class TableModel;

// "Инвентаризация": the inventory documents by date and the lines of the current one by name, with
// the transfer of the stock state, "Удалить нулевые" and the posting. A posted document's lines are
// read-only on silver; a counted quantity of (about) 0 is bold, a negative documented one red bold.
class InventoryDialog : public QDialog
{
    Q_OBJECT
public:
    // The act print of a document; the button stays disabled while none is set.
    using ActPrint = std::function<void(qlonglong inventoryDocument, QWidget* parent)>;
    // The state's forms of a document (ИНВ-3, ИНВ-19); their buttons stay disabled while none is set.
    using FormPrint = std::function<void(qlonglong inventoryDocument, InventoryForm form, QWidget* parent)>;

    InventoryDialog(QSqlDatabase db, UserPrompts* prompts, DatePrompt* dates, const Clock* clock,
                    QWidget* parent = nullptr);
    ~InventoryDialog() override;

    void setActPrint(ActPrint print);
    void setFormPrint(FormPrint print);
    bool openViews(QString* error);
    void closeViews();

    void newDocument();
    void deleteDocument();
    void deleteZeroLines();
    void transfer();
    void post();

    TableModel* documents() const { return m_documents; }
    TableModel* lines() const { return m_lines; }
    DataGrid* documentGrid() const { return m_documentGrid; }
    DataGrid* lineGrid() const { return m_lineGrid; }
    QLineEdit* searchBox() const { return m_search; }
    QPushButton* button(const QString& caption) const;

protected:
    void done(int result) override;

private:
    void createViews();
    bool postAll();
    QVariant current() const;
    void applyState();
    void reload();

    QSqlDatabase m_db;
    UserPrompts* m_prompts;
    DatePrompt* m_dates;
    const Clock* m_clock;
    ActPrint m_actPrint;
    FormPrint m_formPrint;
    TableModel* m_documents = nullptr;
    TableModel* m_lines = nullptr;
    QHash<qlonglong, QString> m_units;
    DataGrid* m_documentGrid;
    DataGrid* m_lineGrid;
    QLineEdit* m_search;
    QList<QPushButton*> m_buttons;
    StockChoiceDialog* m_choice;
};
