#pragma once

#include "warehouse/InventoryDocuments.h"

#include <QDialog>

class QRadioButton;

// "Выбор": what the transfer writes into the counted quantity. OK only: the dialog cannot be
// cancelled. The choice is kept for the rest of the run.
class StockChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit StockChoiceDialog(QWidget* parent = nullptr);

    CountedStart choose();
    void reject() override {}

    QRadioButton* zeroButton() const { return m_zero; }
    QRadioButton* balanceButton() const { return m_balance; }

private:
    QRadioButton* m_zero;
    QRadioButton* m_balance;
};
