#pragma once

#include "warehouse/TurnoverStatement.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QRadioButton;

// "Печать оборотной ведомости": what the statement covers, the short variant and the period. The
// stock page keeps one for the run, so the choice and the check box keep their last state; both dates
// are set to the day each time.
class TurnoverDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TurnoverDialog(QWidget* parent = nullptr);

    void setDates(const QDate& day);
    // The choices made; the group and the ingredient are the caller's.
    TurnoverOptions options() const;

    QRadioButton* scopeButton(TurnoverScope scope) const;
    QCheckBox* shortBox() const { return m_short; }
    QDateEdit* startEdit() const { return m_start; }
    QDateEdit* endEdit() const { return m_end; }

private:
    QRadioButton* m_scopes[3];
    QCheckBox* m_short;
    QDateEdit* m_start;
    QDateEdit* m_end;
};
