#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;

// "Печать сводного отчёта": the first and the last day of the period.
class SummaryPeriodDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SummaryPeriodDialog(QWidget* parent = nullptr);

    // Both dates are set to the day each time the dialog is to show.
    void setDates(const QDate& day);
    QDate start() const;
    QDate end() const;
    QDateEdit* startEdit() const { return m_start; }
    QDateEdit* endEdit() const { return m_end; }

private:
    QDateEdit* m_start;
    QDateEdit* m_end;
};
