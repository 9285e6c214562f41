#pragma once

#include "reference/PriceRecalculation.h"

#include <QDialog>

class QRadioButton;
class QSpinBox;

// "Пересчет цен": the scope, the action and the percentage. The page keeps one of these for the whole
// run, so the choices stay as the user left them.
class PriceRecalculationDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PriceRecalculationDialog(QWidget* parent = nullptr);

    PriceRecalculation::Settings settings() const;

    QRadioButton* scopeButton(PriceRecalculation::Scope scope) const { return m_scope[int(scope)]; }
    QRadioButton* actionButton(PriceRecalculation::Action action) const { return m_action[int(action)]; }
    QSpinBox* percentCounter() const { return m_percent; }

private:
    QRadioButton* m_scope[3];
    QRadioButton* m_action[2];
    QSpinBox* m_percent;
};
