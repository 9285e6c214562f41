#pragma once

class PrintJob;
class QProgressBar;
class SpreadsheetLauncher;
class UserPrompts;

// How every page prints: the job runs under the wait cursor, with the page's progress bar when it
// has one; its notices and its refusal are told through the prompts, and its workbook is written
// and opened by ReportOutput. True when a workbook was filled (whether or not a file could be
// written: ReportOutput has told the user then).
bool runPrintJob(PrintJob& job, UserPrompts& prompts, SpreadsheetLauncher& launcher,
                 QProgressBar* progress = nullptr);
