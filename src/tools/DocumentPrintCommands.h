#pragma once

#include <QString>

#include <memory>

class QTextStream;
class Workbook;

// The print-outs of the sales and warehouse pages for "print DIR WHAT": each reads the choices its
// dialog offers from the options and fills the workbook through the window's own print class.
namespace commands {

class Options;
struct Kitchen;

int printSalesTables(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                     QTextStream& err);
int printCrossTable(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                    QTextStream& err);
int printSalesSummary(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                      QTextStream& err);
int printInventoryAct(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                      QTextStream& err);
int printInventoryList(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook,
                       QString* title, QTextStream& err);
int printInventoryComparison(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook,
                             QString* title, QTextStream& err);
int printTurnover(Kitchen& kitchen, Options& options, std::unique_ptr<Workbook>& workbook, QString* title,
                  QTextStream& err);

// The lines of the usage text for these print-outs.
QString documentPrintUsage();

} // namespace commands
