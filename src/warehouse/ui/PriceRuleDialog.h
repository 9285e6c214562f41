#pragma once

#include "warehouse/StockDocuments.h"

#include <QDialog>

class QRadioButton;

// "Расчёт цен": how a receipt sets the prices. The choice is kept for the rest of the run.
class PriceRuleDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PriceRuleDialog(QWidget* parent = nullptr);

    // The chosen rule on OK, nothing otherwise.
    std::optional<PriceRule> choose();

    QRadioButton* button(PriceRule rule) const;

private:
    QRadioButton* m_buttons[3];
};
