#include "Worker.h"

#include "store/Database.h"
#include "store/Isolation.h"

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

bool Worker::runAttempt(const Operation& operation, const QSqlDatabase& db, bool mayRetry)
{
    // m_outcome and m_error are read by the owner only after the thread has finished.
    auto fail = [this](const QString& error) {
        m_error = error;
        m_outcome = Outcome::Failed;
    };
    const int conflictsBefore = Isolation::conflictsOnThisThread();
    const auto conflicted = [&] { return mayRetry && Isolation::conflictsOnThisThread() != conflictsBefore; };
    Transaction transaction(db);
    QString error;
    if (!transaction.isActive() || !Isolation::isolate(db, &error)) {
        fail(error.isEmpty() ? sqlErrorText(db.lastError()) : error);
        return true;
    }
    operation(db, *this);
    int expected = Working;
    if (!m_state.compare_exchange_strong(expected, Committing)) {
        m_outcome = Outcome::Cancelled; // the guard rolls back
        return true;
    }
    // A conflict the operation met left it unfinished; one the commit meets undoes it all the same.
    const QString commitError =
        conflicted() || transaction.commit() ? QString() : sqlErrorText(db.lastError());
    if (conflicted()) {
        m_state = Working; // not finished after all: a cancel may still come
        return false;
    }
    if (!commitError.isEmpty()) {
        fail(commitError);
        return true;
    }
    m_outcome = Outcome::Finished;
    return true;
}

void Worker::runOnThread(const Operation& operation)
{
    if (!m_connection.open(&m_error)) {
        m_outcome = Outcome::Failed;
        return;
    }
    {
        // Scoped: the connection is closed below only once no handle of it is left.
        const QSqlDatabase db = m_connection.db();
        // Isolated from the other workstations' work: met by a conflict, the operation is rolled back
        // and run again from its start.
        for (int attempt = 1; !runAttempt(operation, db, attempt < Isolation::attempts); ++attempt)
            Isolation::pauseBeforeRetry(attempt);
    }
    m_connection.close();
}
