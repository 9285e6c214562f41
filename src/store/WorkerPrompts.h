#pragma once

#include "store/UserPrompts.h"

#include <QList>

#include <functional>

class Worker;

// The window's prompts for an operation running on a worker: a message box belongs to the window's
// thread, so a question is handed there and the worker waits for the answer. Information and warnings
// wait until the operation is over (or the next question), so that no message box holds the worker's
// transaction open. Once "Отмена" has been pressed nothing more is shown: questions get their "Отмена"
// (a choice none), as the work is rolled back anyway. Used on the window's thread, it asks directly.
class WorkerPrompts : public UserPrompts
{
public:
    WorkerPrompts(Worker& worker, UserPrompts& window) : m_worker(worker), m_window(window) {}

    using UserPrompts::confirm;
    bool confirm(const QString& caption, const QString& text, Default byDefault) override;
    void inform(const QString& caption, const QString& text) override;
    void warn(const QString& caption, const QString& text) override;
    int choose(const QString& caption, const QString& text, const QStringList& choices) override;

    // On the window's thread once the worker is over: what it had to tell, in order; nothing when it
    // was cancelled.
    void showPending();

private:
    struct Message
    {
        QString caption;
        QString text;
        bool warning;
    };

    void tell(const Message& message);
    // Runs the question on the window's thread after what is pending; not at all once cancelled.
    void ask(const std::function<void()>& question);

    Worker& m_worker;
    UserPrompts& m_window;
    // Written by the worker, read by the window's thread only while the worker waits or is over.
    QList<Message> m_pending;
};
