#pragma once

class PrintJob;
class QProgressBar;
class SpreadsheetLauncher;
class UserPrompts;
class QWidget;

// How every page prints: the job runs under the wait cursor, with the page's progress bar when it
// has one; its notices and its refusal are told through the prompts, and its workbook is written
// and opened by ReportOutput. True when a workbook was filled (whether or not a file could be
// written: ReportOutput has told the user then). A written file is reported in the status bar of the
// window `from` belongs to.
bool runPrintJob(QWidget* from, PrintJob& job, UserPrompts& prompts, SpreadsheetLauncher& launcher,
                 QProgressBar* progress = nullptr);
