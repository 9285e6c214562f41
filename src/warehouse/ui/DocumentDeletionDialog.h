#pragma once

#include "warehouse/DeletionChoice.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QRadioButton;
class QWidget;
class UserPrompts;

// "Удаление документов": the current document or a period (its two dates shown only for the period,
// both today at every showing), and for warehouse documents the roll-back of balances with its
// warning. The choice between current and period is kept for the run; the roll-back starts unchecked
// every time, and checking it is confirmed at once.
class DocumentDeletionDialog : public QDialog
{
    Q_OBJECT
public:
    enum class RollBack
    {
        Offered,
        Hidden
    };

    DocumentDeletionDialog(UserPrompts* prompts, QWidget* parent = nullptr);

    // The choice on OK, nothing otherwise.
    std::optional<DeletionChoice> choose(RollBack rollBack, const QDate& today);

    QRadioButton* currentButton() const { return m_current; }
    QRadioButton* periodButton() const { return m_period; }
    QCheckBox* rollBackBox() const { return m_rollBack; }
    QDateEdit* fromEdit() const { return m_from; }
    QDateEdit* toEdit() const { return m_to; }

private:
    void showPeriod();

    UserPrompts* m_prompts;
    QRadioButton* m_current;
    QRadioButton* m_period;
    QCheckBox* m_rollBack;
    QLabel* m_warning;
    QWidget* m_dates;
    QDateEdit* m_from;
    QDateEdit* m_to;
};
