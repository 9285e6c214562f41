#pragma once

#include "store/Database.h"
#include "store/KitchenLock.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QTextStream;
class Workbook;

// What the commands of kuhnemer-data share: the options of a command line, opening the kitchen (and
// taking it from the program when the command writes), progress on a terminal, and saving a workbook.
namespace commands {

// "--name value" and "--flag" options after the command's directory.
class Options
{
public:
    explicit Options(QStringList arguments) : m_arguments(std::move(arguments)) {}
    bool flag(const QString& name);
    // The value after "--name"; nothing when the option is absent; *missing when it has no value.
    std::optional<QString> value(const QString& name, bool* missing);
    // What no flag or value took: unknown options and stray words.
    QStringList rest() const { return m_arguments; }

private:
    QStringList m_arguments;
};

// An open kitchen for one command. A command that writes holds the kitchen's lock, so it never runs
// while the program has a kitchen file open (on a server it comes in beside the programs, as one of
// them), and copies the write-ahead log into the database file as it closes.
struct Kitchen
{
    QString dataDir; // the workstation's files (exchange, the menu print's texts), on either engine
    std::unique_ptr<KitchenLock> lock;
    std::optional<Database> db;
    ~Kitchen();
};

// Makes the commands that follow work on a kitchen of a PostgreSQL server (--server, --kitchen)
// instead of the directory's database; the directory then holds only the workstation's files
// (exchange files, print-outs). An empty server goes back to the directory.
void useServer(const QString& server, const QString& kitchen);
// The server kitchen in use, as "--server ... --kitchen ..." for messages; empty for a directory.
QString serverInUse();
// The server's address as given after --server, and the kitchen's name; empty for a directory.
QString serverAddress();
QString kitchenName();

// Copies the server kitchen in use with pg_dump, as Maintenance::backupServer does.
QString backupServerKitchen(const QString& dataDir, const QString& file, QString* error);

// Makes an empty kitchen on the server in use; refuses one that exists.
bool createServerKitchen(QString* error);

bool openKitchen(const QString& dataDir, bool writes, Kitchen& kitchen, QTextStream& err,
                 Database::Shape shape = Database::Shape::MustBeWhole);

// A progress callback that shows "caption: N%" on a terminal and nothing in a pipe; it never stops the work.
std::function<bool(int)> terminalProgress(const QString& caption, QTextStream& err);

// Writes the workbook to the file, whole or not at all (a temporary file renamed over it).
bool saveWorkbook(const Workbook& workbook, const QString& file, QString* error);

} // namespace commands
