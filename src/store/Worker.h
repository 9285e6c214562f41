#pragma once

#include "store/ThreadConnection.h"
#include "store/WorkerPrompts.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <atomic>
#include <functional>

class QThread;

// Runs one long operation on a thread of its own, with a connection of its own to the kitchen, so that
// the window keeps repainting. The operation runs inside one transaction of that connection, whatever
// it commits on the way being savepoints of it: cancelled, the whole transaction is rolled back and
// nothing the operation wrote stays; finished, it is committed. The decision is taken once, so an
// "Отмена" that comes after the commit has begun is too late and the operation counts as finished.
class Worker : public QObject
{
    Q_OBJECT

public:
    // Runs on the worker's thread with the worker's connection; reports through Worker::report and may
    // stop early when cancelRequested() (the rollback follows either way).
    using Operation = std::function<void(const QSqlDatabase& db, Worker& worker)>;

    enum class Outcome
    {
        Running,
        Finished,  // committed
        Cancelled, // rolled back
        Failed     // no connection, or the transaction could not begin or commit: see error()
    };

    // The window's prompts answer the operation's questions (see prompts()).
    Worker(const QSqlDatabase& kitchen, UserPrompts& window, QObject* parent = nullptr);
    // Cancels a running operation and waits for its thread.
    ~Worker() override;

    // Starts the operation; once per worker.
    void start(Operation operation);
    // The user's "Отмена"; false when it came too late.
    bool cancel();
    void waitForFinished();

    // Safe from any thread.
    bool cancelRequested() const { return m_state == Cancelling; }
    // From the operation: what it is doing, n of total. Delivered to the worker's owner as progressed.
    void report(const QString& what, int n, int total);
    // A progress for the operations that count in percent: reported when the figure changes (they
    // call it per row), false once "Отмена" was pressed, so that the operation stops at its next step.
    std::function<bool(int percent)> percentProgress(const QString& what);

    // For the operation: the window's prompts, asked on the owner's thread.
    WorkerPrompts& prompts() { return m_prompts; }

    // On the owner's thread, once finished() has been emitted.
    Outcome outcome() const { return m_outcome; }
    const QString& error() const { return m_error; }

Q_SIGNALS:
    void progressed(const QString& what, int n, int total);
    void finished();

private:
    void runOnThread(const Operation& operation);
    // One run of the operation in its own transaction; false when a conflict with another connection's
    // work undid it and mayRetry allows another.
    bool runAttempt(const Operation& operation, const QSqlDatabase& db, bool mayRetry);

    enum State
    {
        Working,
        Cancelling,
        Committing
    };
    ThreadConnection m_connection;
    WorkerPrompts m_prompts;
    QThread* m_thread = nullptr;
    std::atomic_int m_state = Working;
    Outcome m_outcome = Outcome::Running;
    QString m_error;
};
