#pragma once

#include <QString>

#include <memory>

class PrintJob;
class QTextStream;

// The print-outs of the sales and warehouse pages for "print DIR WHAT": each reads the choices its
// dialog offers from the options into the page's own print job.
namespace commands {

class Options;
struct Kitchen;

int printSalesTables(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err);
int printCrossTable(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err);
int printSalesSummary(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err);
int printInventoryAct(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err);
int printInventoryList(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err);
int printInventoryComparison(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job,
                             QTextStream& err);
int printTurnover(Kitchen& kitchen, Options& options, std::unique_ptr<PrintJob>& job, QTextStream& err);

// The lines of the usage text for these print-outs.
QString documentPrintUsage();

} // namespace commands
