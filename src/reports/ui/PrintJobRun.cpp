#include "PrintJobRun.h"

#include "reports/PrintJob.h"
#include "reports/ReportOutput.h"
#include "store/ui/Page.h"
#include "store/UserPrompts.h"

#include <QApplication>
#include <QProgressBar>

bool runPrintJob(QWidget* from, PrintJob& job, UserPrompts& prompts, SpreadsheetLauncher& launcher,
                 QProgressBar* progress)
{
    PrintJob::Progress showProgress;
    if (progress) {
        progress->setValue(0);
        progress->setVisible(true);
        showProgress = [progress](int percent) {
            if (percent == progress->value())
                return;
            progress->setValue(percent);
            // Lets the bar repaint; the user's input waits until the print is through.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PrintedWorkbook printed = job.run(showProgress);
    QApplication::restoreOverrideCursor();
    if (progress)
        progress->setVisible(false);
    for (const PrintNotice& notice : printed.notices) {
        if (notice.warning)
            prompts.warn(notice.caption, notice.text);
        else
            prompts.inform(notice.caption, notice.text);
    }
    if (!printed.workbook) {
        prompts.warn(printed.caption, printed.error);
        return false;
    }
    Page::reportPrintout(from, ReportOutput(launcher, prompts).show(*printed.workbook, printed.title));
    return true;
}
