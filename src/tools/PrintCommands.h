#pragma once

#include <QStringList>

class PrintJob;
class QTextStream;

namespace commands {

// "print DIR WHAT [options] --out FILE.xlsx": a print-out of the program written to the named file.
int print(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err);

// Runs the job and saves its workbook as the page would show it; what the page tells in message
// boxes goes to the error stream, a warning or a refusal under its caption.
int runJob(PrintJob& job, const QString& file, QTextStream& out, QTextStream& err);

// The lines of the usage text for print.
QString printUsage();

} // namespace commands
