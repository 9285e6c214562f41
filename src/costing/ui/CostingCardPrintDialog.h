#pragma once

#include "costing/CostingCardPrint.h"

#include <QDialog>

class QRadioButton;

// "Печать калькуляционных карт": which dishes to print. The page keeps one for the whole run, so the
// choice stays as the user left it.
class CostingCardPrintDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CostingCardPrintDialog(QWidget* parent = nullptr);

    CardPrintScope scope() const;
    QRadioButton* allGroupsButton() const { return m_allGroups; }
    QRadioButton* chosenGroupButton() const { return m_chosenGroup; }
    QRadioButton* markedButton() const { return m_marked; }

private:
    QRadioButton* m_allGroups;
    QRadioButton* m_chosenGroup;
    QRadioButton* m_marked;
};
