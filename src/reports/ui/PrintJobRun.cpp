#include "PrintJobRun.h"

#include "reports/PrintJob.h"
#include "reports/ReportOutput.h"
#include "store/ui/Page.h"
#include "store/ui/WorkerRun.h"
#include "store/UserPrompts.h"

#include <optional>

using namespace Qt::StringLiterals;

bool runPrintJob(QWidget* parent, const QString& caption, const QSqlDatabase& kitchen,
                 const PrintJobFactory& makeJob, UserPrompts& prompts, SpreadsheetLauncher& launcher)
{
    std::optional<PrintedWorkbook> printed;
    SerializedWorkbook file;
    const Worker::Outcome outcome = runInWorker(
        parent, prompts, caption, kitchen,
        [&printed, &file, &makeJob](const QSqlDatabase& db, Worker& worker) {
            const std::unique_ptr<PrintJob> job = makeJob(db);
            worker.report(u"Чтение и расчёт"_s, 0, 100);
            printed = job->run(PrintProgress(worker.percentProgress(u"Заполнение печатной формы"_s),
                                             [&worker](const QString& what, int n, int total) {
                                                 worker.report(what, n, total);
                                                 return !worker.cancelRequested();
                                             }));
            // The file's bytes are made here too: for a large print-out they take longer than the
            // filling.
            if (printed->workbook && !worker.cancelRequested())
                file =
                    SerializedWorkbook::of(*printed->workbook, worker.percentProgress(u"Подготовка файла"_s));
        });
    if (outcome != Worker::Outcome::Finished || !printed)
        return false;
    for (const PrintNotice& notice : printed->notices) {
        if (notice.warning)
            prompts.warn(notice.caption, notice.text);
        else
            prompts.inform(notice.caption, notice.text);
    }
    if (!printed->workbook) {
        prompts.warn(printed->caption, printed->error);
        return false;
    }
    Page::reportPrintout(parent, ReportOutput(launcher, prompts).show(file, printed->title));
    return true;
}
