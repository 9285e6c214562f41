#include "WorkerRun.h"

#include "store/UserPrompts.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

QString s_running; // the caption of the operation that runs; empty when none does

} // namespace

bool workerRunning()
{
    return !s_running.isEmpty();
}

Worker::Outcome runInWorker(QWidget* parent, UserPrompts& prompts, const QString& caption,
                            const QSqlDatabase& kitchen, const Worker::Operation& operation)
{
    if (workerRunning()) {
        prompts.warn(caption, u"Дождитесь окончания операции «%1» или отмените её."_s.arg(s_running));
        return Worker::Outcome::Failed;
    }
    s_running = caption;

    QProgressDialog dialog(caption, u"Отмена"_s, 0, 0, parent ? parent->window() : nullptr);
    dialog.setWindowTitle(caption);
    dialog.setWindowModality(Qt::NonModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    dialog.setMinimumWidth(420);

    Worker worker(kitchen, prompts);
    QEventLoop loop;
    QObject::connect(&worker, &Worker::progressed, &dialog,
                     [&dialog, &caption](const QString& what, int n, int total) {
                         if (dialog.wasCanceled())
                             return;
                         dialog.setLabelText(u"%1\n%2: %3 из %4"_s.arg(caption, what).arg(n).arg(total));
                         dialog.setMaximum(total);
                         dialog.setValue(n);
                     });
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&dialog, &worker] {
        if (!worker.cancel())
            return; // too late: the operation is storing its result
        // The operation stops at its next check and rolls back; until then the window says so.
        dialog.setCancelButton(nullptr);
        dialog.setLabelText(u"Отмена…"_s);
        dialog.show();
    });
    bool over = false;
    QObject::connect(&worker, &Worker::finished, &loop, [&loop, &over] {
        over = true;
        loop.quit();
    });
    worker.start(operation);
    dialog.show();
    loop.exec();
    if (!over) {
        // The program quits under the loop: the operation is abandoned. Events are still taken while
        // it stops, since a question it put to the window's thread waits for them.
        worker.cancel();
        while (!over)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker.waitForFinished();
    s_running.clear();

    worker.prompts().showPending();
    if (worker.outcome() == Worker::Outcome::Failed)
        prompts.warn(caption, worker.error());
    return worker.outcome();
}
