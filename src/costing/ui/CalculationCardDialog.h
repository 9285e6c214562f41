#pragma once

#include "costing/CostingCardPrint.h"

#include <QDate>
#include <QDialog>

#include <vector>

class QDateEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// "Печать калькуляционных карточек (ОП-1)": the current dish, the marked dishes or the current group,
// and the days of the calculations (none: one of today). The page keeps one for the whole run, so the
// choice stays as the user left it.
class CalculationCardDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CalculationCardDialog(QWidget* parent = nullptr);

    CardPrintScope scope() const;
    // In the order added; the print puts them in date order.
    std::vector<QDate> days() const;
    // The day the date field offers until the user picks another.
    void offerDay(const QDate& day);

    QRadioButton* dishButton() const { return m_dish; }
    QRadioButton* markedButton() const { return m_marked; }
    QRadioButton* groupButton() const { return m_group; }
    QDateEdit* dayBox() const { return m_day; }
    QPushButton* addDayButton() const { return m_addDay; }
    QPushButton* removeDayButton() const { return m_removeDay; }
    QListWidget* dayList() const { return m_days; }

private:
    void addDay();

    QRadioButton* m_dish;
    QRadioButton* m_marked;
    QRadioButton* m_group;
    QDateEdit* m_day;
    QPushButton* m_addDay;
    QPushButton* m_removeDay;
    QListWidget* m_days;
    bool m_dayPicked = false;
};
