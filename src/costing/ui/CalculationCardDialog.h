#pragma once

#include "costing/CostingCardPrint.h"

#include <QDialog>

class QRadioButton;

// "Печать калькуляционных карточек (ОП-1)": the current dish, the marked dishes or the current group.
// The page keeps one for the whole run, so the choice stays as the user left it.
class CalculationCardDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CalculationCardDialog(QWidget* parent = nullptr);

    CardPrintScope scope() const;
    QRadioButton* dishButton() const { return m_dish; }
    QRadioButton* markedButton() const { return m_marked; }
    QRadioButton* groupButton() const { return m_group; }

private:
    QRadioButton* m_dish;
    QRadioButton* m_marked;
    QRadioButton* m_group;
};
