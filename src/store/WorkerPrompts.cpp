#include "WorkerPrompts.h"

#include "store/Worker.h"

#include <QThread>

void WorkerPrompts::ask(const std::function<void()>& question)
{
    if (m_worker.cancelRequested())
        return;
    if (QThread::currentThread() == m_worker.thread()) {
        showPending();
        question();
        return;
    }
    // The window's thread runs an event loop while the worker works (store/ui/WorkerRun), also while
    // it waits for a cancelled one, so the call is always taken there.
    QMetaObject::invokeMethod(
        &m_worker,
        [this, &question] {
            // "Отмена" may have been pressed while the question was on its way.
            if (!m_worker.cancelRequested()) {
                showPending();
                question();
            }
        },
        Qt::BlockingQueuedConnection);
}

void WorkerPrompts::tell(const Message& message)
{
    m_pending.append(message);
    if (QThread::currentThread() == m_worker.thread())
        showPending();
}

void WorkerPrompts::showPending()
{
    const QList<Message> pending = std::exchange(m_pending, {});
    if (m_worker.cancelRequested())
        return;
    for (const Message& message : pending) {
        if (message.warning)
            m_window.warn(message.caption, message.text);
        else
            m_window.inform(message.caption, message.text);
    }
}

bool WorkerPrompts::confirm(const QString& caption, const QString& text, Default byDefault)
{
    bool answer = false;
    ask([&] { answer = m_window.confirm(caption, text, byDefault); });
    return answer;
}

void WorkerPrompts::inform(const QString& caption, const QString& text)
{
    tell({caption, text, false});
}

void WorkerPrompts::warn(const QString& caption, const QString& text)
{
    tell({caption, text, true});
}

int WorkerPrompts::choose(const QString& caption, const QString& text, const QStringList& choices)
{
    int answer = -1;
    ask([&] { answer = m_window.choose(caption, text, choices); });
    return answer;
}
