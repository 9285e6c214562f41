#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The commands of kuhnemer-data. Each prints a short Russian report and returns the exit code:
// 0 done, 1 refused or failed, 2 a usage error.
namespace commands {

constexpr int done = 0;
constexpr int failed = 1;
constexpr int usageError = 2;

// Parses the arguments (without the program name) and runs the command.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

// The usage text listing every command.
QString usage();

// Makes a data directory with an empty kitchen, or the demo one.
int create(const QString& dataDir, bool demo, QTextStream& out, QTextStream& err);

// Integrity, schema version and the stored values that will stop a calculation; reads only.
int check(const QString& dataDir, QTextStream& out, QTextStream& err);

// Brings a kitchen of an older schema version to the current one after copying it aside.
int upgrade(const QString& dataDir, QTextStream& out, QTextStream& err);

} // namespace commands
