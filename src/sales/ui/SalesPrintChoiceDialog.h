#pragma once

#include <QDialog>

class QRadioButton;

// "Печать таблиц": the document as tables or the cross table. The page keeps one for the run, so the
// last choice stays.
class SalesPrintChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SalesPrintChoiceDialog(QWidget* parent = nullptr);

    bool crossTable() const;
    QRadioButton* tablesButton() const { return m_tables; }
    QRadioButton* crossTableButton() const { return m_cross; }

private:
    QRadioButton* m_tables;
    QRadioButton* m_cross;
};
