#pragma once

#include "store/ui/Page.h"

#include <QList>

class AnalogClock;
class DiceWidget;
class QLabel;
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
    // The offer of a kitchen while the data directory holds none; hidden when dataDir is empty.
    void showKitchenOffer(const QString& dataDir);
    QWidget* kitchenOffer() const { return m_offer; }
    // Who else has a server kitchen open; hidden when the text is empty.
    void showPresence(const QString& text);
    QLabel* presence() const { return m_presence; }
    // "Пустая кухня", "Образец столовой", "Другая папка…".
    QPushButton* offerButton(int index) const { return m_offerButtons.at(index); }

Q_SIGNALS:
    void maintenanceRequested();
    void kitchenRequested(bool demo);
    void otherFolderRequested();

private:
    AnalogClock* m_clock;
    QList<DiceWidget*> m_dice;
    QPushButton* m_maintenance;
    QWidget* m_offer;
    QLabel* m_offerText;
    QLabel* m_presence;
    QList<QPushButton*> m_offerButtons;
};
