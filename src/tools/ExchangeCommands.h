#pragma once

#include <QDateTime>
#include <QStringList>

class QTextStream;

// The exchange commands of kuhnemer-data: card files, the menu for the point-of-sale programs and
// their sales. Each runs the operation the windows run; the questions the windows ask are answered
// by options, and a question without its option refuses the command before anything is stored.
namespace commands {

// "export-cards DIR --dish NAME [--group NAME] --out FILE" or "export-cards DIR --group NAME --out FOLDER".
int exportCards(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err);

// "import-cards DIR FILE --group NAME [--yes] [--match OFFERED=OWN]... [--by-name]".
int importCards(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err);

// "send-menu DIR --menu NAME --target buffeton|torg --out FILE"; `now` seeds the menu file's envelope
// and dates the tables.
int sendMenu(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err,
             const QDateTime& now = QDateTime::currentDateTime());

// "receive-sales DIR FILE --target buffeton|torg".
int receiveSales(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err);

// The lines of the usage text for these commands.
QString exchangeUsage();

} // namespace commands
