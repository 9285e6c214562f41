#pragma once

#include "store/DataLocations.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// "Индексация": the log of the maintenance run. The work starts once the window has painted; OK shows
// when it is over, and the window cannot be closed before.
class MaintenanceDialog : public QDialog
{
    Q_OBJECT
public:
    // The kitchen of the data directory, or the one on the server the locations name.
    explicit MaintenanceDialog(DataLocations locations, QWidget* parent = nullptr);

    QPlainTextEdit* log() const { return m_log; }
    QPushButton* okButton() const { return m_ok; }
    bool finished() const { return m_finished; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void runMaintenance();

    DataLocations m_locations;
    QPlainTextEdit* m_log;
    QPushButton* m_ok;
    bool m_started = false;
    bool m_finished = false;
};
