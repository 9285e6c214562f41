#pragma once

#include <QStringList>

class QTextStream;

// The commands of a chain of kitchens on one server: the chain's figures side by side, and a group
// of costing cards copied from one kitchen to others through the card files.
namespace commands {

// "chain-report --server URL --from D --to D --out FILE.xlsx".
int chainReport(const QStringList& arguments, QTextStream& out, QTextStream& err);

// "copy-cards --server URL --kitchen FROM --group GROUP --to KITCHEN[,KITCHEN...] [--into GROUP]
// [--yes] [--match OFFERED=OWN]... [--by-name]": each card of the group exported as export-cards
// writes it and imported into every kitchen named as import-cards reads it.
int copyCards(const QString& dataDir, const QStringList& arguments, QTextStream& out, QTextStream& err);

// The lines of the usage text for these commands.
QString chainUsage();

} // namespace commands
