#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

class PrintJob;
class QWidget;
class SpreadsheetLauncher;
class UserPrompts;
class QWidget;

// Makes the job on the connection it is to run with: the worker's, on the worker's thread.
using PrintJobFactory = std::function<std::unique_ptr<PrintJob>(const QSqlDatabase& db)>;

// How every page prints: the job runs on a worker (store/ui/WorkerRun) with a connection of its own
// to the kitchen, its progress shown with "Отмена"; cancelled, whatever it stored is rolled back and
// no file is written. The workbook is made into the file's bytes on the worker too. Then, on the
// window's thread, its notices and its refusal are told through the prompts, and ReportOutput writes
// the file and opens it. True when a workbook was filled (whether or not a file could be written:
// ReportOutput has told the user then).
bool runPrintJob(QWidget* parent, const QString& caption, const QSqlDatabase& kitchen,
                 const PrintJobFactory& makeJob, UserPrompts& prompts, SpreadsheetLauncher& launcher);
