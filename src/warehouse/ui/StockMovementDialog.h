#pragma once

#include "store/UserPrompts.h"

#include <QDialog>
#include <QSqlDatabase>

class DataGrid;
class DocumentDeletionDialog;
class PartnerChooserDialog;
class PriceRuleDialog;
class QDateEdit;
class QLineEdit;
class QPushButton;
class TableModel;

// "Приход/расход на склад": the warehouse documents by date with their kind and partner, the
// ingredient chooser, and the lines of the current document. Lines come only from a double click (or
// Enter) in the chooser; a posted document is read-only and drawn on the normal background, an
// unposted one on silver.
class StockMovementDialog : public QDialog
{
    Q_OBJECT
public:
    StockMovementDialog(QSqlDatabase db, UserPrompts* prompts, DatePrompt* dates, const Clock* clock,
                        QWidget* parent = nullptr);
    ~StockMovementDialog() override;

    bool openViews(QString* error);
    void closeViews();

    void newDocument();
    void deleteDocuments();
    void choosePartner();
    void changeDate();
    void addLine();
    void deleteLine();
    void postReceipt();
    void postIssue();
    void newIngredient();

    TableModel* documents() const { return m_documents; }
    TableModel* ingredients() const { return m_ingredients; }
    TableModel* lines() const { return m_lines; }
    DataGrid* documentGrid() const { return m_documentGrid; }
    DataGrid* ingredientGrid() const { return m_ingredientGrid; }
    DataGrid* lineGrid() const { return m_lineGrid; }
    QLineEdit* partnerBox() const { return m_partner; }
    QLineEdit* searchBox() const { return m_search; }
    QDateEdit* jumpDateEdit() const { return m_jumpDate; }
    QPushButton* button(const QString& caption) const;

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createViews();
    bool postAll();
    bool currentPosted() const;
    void applyState();
    void refreshAfterPosting();

    QSqlDatabase m_db;
    UserPrompts* m_prompts;
    DatePrompt* m_dates;
    const Clock* m_clock;
    TableModel* m_documents = nullptr;
    TableModel* m_ingredients = nullptr;
    TableModel* m_lines = nullptr;
    DataGrid* m_documentGrid;
    DataGrid* m_ingredientGrid;
    DataGrid* m_lineGrid;
    QLineEdit* m_partner;
    QLineEdit* m_search;
    QDateEdit* m_jumpDate;
    QList<QPushButton*> m_buttons;
    PartnerChooserDialog* m_partners;
    PriceRuleDialog* m_priceRule;
    DocumentDeletionDialog* m_deletion;
};
