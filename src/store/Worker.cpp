#include "Worker.h"

#include "store/Database.h"

#include <QThread>

using namespace Qt::StringLiterals;

Worker::Worker(const QSqlDatabase& kitchen, UserPrompts& window, QObject* parent)
    : QObject(parent), m_connection(kitchen), m_prompts(*this, window)
{
}

Worker::~Worker()
{
    cancel();
    waitForFinished();
}

void Worker::start(Operation operation)
{
    Q_ASSERT(!m_thread);
    m_thread = QThread::create([this, operation = std::move(operation)] { runOnThread(operation); });
    m_thread->setParent(this);
    // Emitted on the worker's thread, delivered on the owner's: the outcome is set by then.
    connect(m_thread, &QThread::finished, this, &Worker::finished);
    m_thread->start();
}

bool Worker::cancel()
{
    int expected = Working;
    return m_state.compare_exchange_strong(expected, Cancelling) || expected == Cancelling;
}

void Worker::waitForFinished()
{
    if (m_thread)
        m_thread->wait();
}

void Worker::report(const QString& what, int n, int total)
{
    QMetaObject::invokeMethod(
        this, [this, what, n, total] { Q_EMIT progressed(what, n, total); }, Qt::QueuedConnection);
}

std::function<bool(int)> Worker::percentProgress(const QString& what)
{
    return [this, what, shown = -1](int percent) mutable {
        if (percent != shown) {
            shown = percent;
            report(what, percent, 100);
        }
        return !cancelRequested();
    };
}

void Worker::runOnThread(const Operation& operation)
{
    // m_outcome and m_error are read by the owner only after the thread has finished.
    auto fail = [this](const QString& error) {
        m_error = error;
        m_outcome = Outcome::Failed;
    };
    if (!m_connection.open(&m_error)) {
        m_outcome = Outcome::Failed;
        return;
    }
    {
        // Scoped: the connection is closed below only once no handle of it is left.
        const QSqlDatabase db = m_connection.db();
        Transaction transaction(db);
        if (!transaction.isActive()) {
            fail(sqlErrorText(db.lastError()));
        } else {
            operation(db, *this);
            int expected = Working;
            if (!m_state.compare_exchange_strong(expected, Committing))
                m_outcome = Outcome::Cancelled; // the guard rolls back
            else if (!transaction.commit())
                fail(sqlErrorText(db.lastError()));
            else
                m_outcome = Outcome::Finished;
        }
    }
    m_connection.close();
}
