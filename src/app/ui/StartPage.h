#pragma once

#include "store/ui/Page.h"

#include <QList>

class AnalogClock;
class DiceWidget;
class QPushButton;

// The page the program opens on: the product's name over a picture, a clock, four turning dice and the
// button of the table maintenance.
class StartPage : public Page
{
    Q_OBJECT
public:
    explicit StartPage(QWidget* parent = nullptr);

    QPushButton* maintenanceButton() const { return m_maintenance; }
    const QList<DiceWidget*>& dice() const { return m_dice; }
    void setClockRunning(bool running);

Q_SIGNALS:
    void maintenanceRequested();

private:
    AnalogClock* m_clock;
    QList<DiceWidget*> m_dice;
    QPushButton* m_maintenance;
};
