#pragma once

#include "exchange/PointOfSale.h"

#include <QDialog>

#include <optional>

class QRadioButton;

// The choice of the point-of-sale program a menu goes to or sales come from. The choice is kept
// while the program runs.
class TargetChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    TargetChoiceDialog(const QString& caption, QWidget* parent = nullptr);

    PointOfSale target() const;
    QRadioButton* bufetonButton() const { return m_bufeton; }
    QRadioButton* torgButton() const { return m_torg; }

    void accept() override;

    // Asks with the given caption; the chosen program, nothing on "Отмена".
    static std::optional<PointOfSale> ask(const QString& caption, QWidget* parent);

    static const QString exportCaption;
    static const QString importCaption;

private:
    QRadioButton* m_bufeton;
    QRadioButton* m_torg;
};
