#include "MaintenanceDialog.h"

#include "store/Maintenance.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

MaintenanceDialog::MaintenanceDialog(DataLocations locations, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_locations(std::move(locations)), m_log(new QPlainTextEdit(this)), m_ok(new QPushButton(u"OK"_s, this))
{
    setWindowTitle(u"Индексация"_s);
    m_ok->setToolTip(u"Закрыть журнал индексации"_s);
    setModal(true);
    m_log->setReadOnly(true);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_ok->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_log);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_ok->hide();
        accept();
    });
    resize(420, 460);
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto log = [this](const QString& line) {
        m_log->appendPlainText(line);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    if (m_locations.server.isEmpty())
        Maintenance::run(m_locations.culinar, log);
    else
        Maintenance::runOnServer(m_locations.server, m_locations.kitchen, log);
    QApplication::restoreOverrideCursor();
    m_finished = true;
    m_ok->show();
    m_ok->setFocus();
}
