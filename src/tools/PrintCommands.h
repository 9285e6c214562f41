#pragma once

#include <QStringList>

class QTextStream;

namespace commands {

// "print DIR WHAT [options] --out FILE.xlsx": a print-out of the program written to the named file.
int print(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err);

// The lines of the usage text for print.
QString printUsage();

} // namespace commands
