#pragma once

#include "store/DataLocations.h"

#include <QDialog>

#include <atomic>

class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QThread;

// "Индексация": the log of the maintenance run. The work starts once the window has painted and runs
// on a thread of its own, so the window repaints while a large table is rebuilt; "Отмена" stops it
// before the next table. OK shows when it is over, and the window cannot be closed before.
class MaintenanceDialog : public QDialog
{
    Q_OBJECT
public:
    // The kitchen of the data directory, or the one on the server the locations name.
    explicit MaintenanceDialog(DataLocations locations, QWidget* parent = nullptr);
    // Stops a run still going and waits for it: the program is closing.
    ~MaintenanceDialog() override;

    QPlainTextEdit* log() const { return m_log; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    bool finished() const { return m_finished; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void runMaintenance();
    void maintenanceOver();

    DataLocations m_locations;
    QPlainTextEdit* m_log;
    QProgressBar* m_progress;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QThread* m_thread = nullptr;
    std::atomic_bool m_stop = false;
    bool m_started = false;
    bool m_finished = false;
};
