#include "MaintenanceDialog.h"

#include "store/Maintenance.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

MaintenanceDialog::MaintenanceDialog(DataLocations locations, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_locations(std::move(locations)), m_log(new QPlainTextEdit(this)), m_progress(new QProgressBar(this)),
      m_ok(new QPushButton(u"OK"_s, this)), m_cancel(new QPushButton(u"Отмена"_s, this))
{
    setWindowTitle(u"Индексация"_s);
    m_ok->setToolTip(u"Закрыть журнал индексации"_s);
    m_cancel->setToolTip(u"Остановить индексацию перед следующей таблицей"_s);
    setModal(true);
    m_log->setReadOnly(true);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_progress->setRange(0, 0);
    m_ok->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_log);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_ok->hide();
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_stop = true;
        m_cancel->setEnabled(false);
    });
    resize(420, 460);
}

MaintenanceDialog::~MaintenanceDialog()
{
    if (m_thread) {
        m_stop = true;
        m_thread->wait();
    }
}

void MaintenanceDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(100, this, &MaintenanceDialog::runMaintenance);
    }
}

void MaintenanceDialog::reject()
{
    // Escape must not close the window while the tables are being worked on.
    if (m_finished)
        QDialog::reject();
}

void MaintenanceDialog::runMaintenance()
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // The log and the progress reach the window through its event loop; the run opens a connection
    // of its own on its thread.
    m_thread = QThread::create([this, locations = m_locations] {
        const auto log = [this](const QString& line) {
            QMetaObject::invokeMethod(this, [this, line] { m_log->appendPlainText(line); });
        };
        if (!locations.server.isEmpty()) {
            Maintenance::runOnServer(locations.server, locations.kitchen, log);
            return;
        }
        Maintenance::run(locations.culinar, log, [this](int n, int total) {
            QMetaObject::invokeMethod(this, [this, n, total] {
                m_progress->setRange(0, total);
                m_progress->setValue(n);
            });
            return !m_stop;
        });
    });
    m_thread->setParent(this);
    connect(m_thread, &QThread::finished, this, &MaintenanceDialog::maintenanceOver);
    m_thread->start();
}

void MaintenanceDialog::maintenanceOver()
{
    QApplication::restoreOverrideCursor();
    m_finished = true;
    m_cancel->hide();
    m_ok->show();
    m_ok->setFocus();
}
