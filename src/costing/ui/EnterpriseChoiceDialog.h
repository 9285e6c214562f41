#pragma once

#include "costing/CostingCardPrint.h"

#include <QDialog>
#include <QSqlDatabase>

class DataGrid;
class QRadioButton;
class TableModel;
class UserPrompts;

// "Выбор названия предприятия": the partner whose name heads every costing card, and the warehouse
// prices the cards show. The partner view is open only while the dialog is in use; the price choice
// stays for the whole run.
class EnterpriseChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    EnterpriseChoiceDialog(QSqlDatabase db, UserPrompts* prompts, QWidget* parent = nullptr);

    // False with the store's message in lastError().
    bool openViews();
    void closeViews();
    QString lastError() const { return m_lastError; }

    // The name of the chosen partner; empty when there is none.
    QString enterpriseName() const;
    CardPrices prices() const;

    DataGrid* partnerGrid() const { return m_grid; }
    TableModel* partners() const { return m_partners; }
    QRadioButton* costButton() const { return m_cost; }
    QRadioButton* sellingButton() const { return m_selling; }

private:
    TableModel* m_partners;
    DataGrid* m_grid;
    QRadioButton* m_cost;
    QRadioButton* m_selling;
    QString m_lastError;
};
