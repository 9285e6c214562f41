#pragma once

#include <QStringList>

class QTextStream;

namespace commands {

// "post-sales DIR (--date D | --from D --to D) [--partner NAME|KEY]": the page's "Проводка" of every
// open sales document of the day or the period, one document (and one transaction) after another.
int postSales(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err);

// The lines of the usage text for post-sales.
QString salesUsage();

} // namespace commands
