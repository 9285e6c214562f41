#include "CommandSupport.h"

#include "reports/Workbook.h"
#include "reports/XlsxFileWriter.h"
#include "store/KitchenPresence.h"
#include "store/Maintenance.h"
#include "store/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace commands {

bool Options::flag(const QString& name)
{
    return m_arguments.removeAll(name) > 0;
}

std::optional<QString> Options::value(const QString& name, bool* missing)
{
    const qsizetype at = m_arguments.indexOf(name);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= m_arguments.size() || m_arguments.at(at + 1).startsWith(u"--"_s)) {
        *missing = true;
        m_arguments.removeAt(at);
        return std::nullopt;
    }
    const QString result = m_arguments.at(at + 1);
    m_arguments.remove(at, 2);
    return result;
}

Kitchen::~Kitchen()
{
    // What a command wrote goes into the database file before it exits: a copy of kuhnemer.sqlite
    // alone, as users make one, holds it. A reading command leaves the file as it found it.
    if (db)
        db->close(Database::Registration::Remove,
                  lock ? Database::Checkpoint::Run : Database::Checkpoint::Leave);
}

namespace {

struct ServerChoice
{
    QString server;
    QString kitchen;
};
// One command runs a process, so the choice of its command line is the process's.
ServerChoice& serverChoice()
{
    static ServerChoice choice;
    return choice;
}

} // namespace

void useServer(const QString& server, const QString& kitchen)
{
    serverChoice() = {server, kitchen};
}

QString serverInUse()
{
    const ServerChoice& choice = serverChoice();
    return choice.server.isEmpty() ? QString()
                                   : u"--server \"%1\" --kitchen %2"_s.arg(choice.server, choice.kitchen);
}

QString serverAddress()
{
    return serverChoice().server;
}

QString kitchenName()
{
    return serverChoice().kitchen;
}

QString backupServerKitchen(const QString& dataDir, const QString& file, QString* error)
{
    const ServerChoice& choice = serverChoice();
    return Maintenance::backupServer(choice.server, choice.kitchen, dataDir, error, file);
}

bool createServerKitchen(QString* error)
{
    const ServerChoice& choice = serverChoice();
    std::optional<Database> made =
        Database::openServer(choice.server, choice.kitchen, error, u"kuhnemer-data"_s,
                             Database::Shape::MustBeWhole, Database::Creation::New);
    if (made)
        made->close();
    return made.has_value();
}

bool openKitchen(const QString& dataDir, bool writes, Kitchen& kitchen, QTextStream& err,
                 Database::Shape shape)
{
    QString error;
    kitchen.dataDir = dataDir;
    if (const ServerChoice& choice = serverChoice(); !choice.server.isEmpty()) {
        kitchen.db = Database::openServer(choice.server, choice.kitchen, &error, u"kuhnemer-data"_s, shape);
        if (kitchen.db && writes && !KitchenPresence::join(kitchen.db->connection(), &error)) {
            kitchen.db->close();
            kitchen.db.reset();
        }
        if (!kitchen.db)
            err << error << Qt::endl;
        return kitchen.db.has_value();
    }
    if (writes && QFileInfo(dataDir).isDir()) {
        kitchen.lock = std::make_unique<KitchenLock>(dataDir);
        if (!kitchen.lock->acquire(&error)) {
            err << error << Qt::endl;
            return false;
        }
    }
    kitchen.db = Database::open(dataDir, &error, u"kuhnemer-data"_s, shape);
    if (!kitchen.db)
        err << error << Qt::endl;
    return kitchen.db.has_value();
}

std::function<bool(int)> terminalProgress(const QString& caption, QTextStream& err)
{
    if (!::isatty(STDERR_FILENO))
        return {};
    return [caption, &err, last = -1](int percent) mutable {
        if (percent != last) {
            last = percent;
            err << '\r' << caption << u": "_s << percent << '%';
            if (percent >= 100)
                err << '\n';
            err.flush();
        }
        return true; // a command is stopped by its signal, not through its progress
    };
}

bool saveWorkbook(const Workbook& workbook, const QString& file, QString* error)
{
    const QFileInfo target(file);
    if (!QDir().mkpath(target.absolutePath())) {
        *error = u"Не удалось создать папку \"%1\"."_s.arg(QDir::toNativeSeparators(target.absolutePath()));
        return false;
    }
    XlsxFileWriter writer;
    const std::optional<QByteArray> bytes = writer.bytes(workbook);
    if (!bytes) {
        *error = u"Не удалось записать таблицу: %1"_s.arg(writer.errorString());
        return false;
    }
    // A rename replaces the file at once: a nightly script's file is the old one or the new one.
    return writeWholeFile(target.absoluteFilePath(), *bytes, error);
}

} // namespace commands
