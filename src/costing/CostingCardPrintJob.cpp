#include "CostingCardPrintJob.h"

using namespace Qt::StringLiterals;

PrintedWorkbook CostingCardPrintJob::run(const Progress& progress)
{
    CostingCardPrintResult result = CostingCardPrint(m_db, m_clock).run(m_options, progress);
    if (!result.workbook)
        return PrintedWorkbook::refused(u"Печать калькуляционных карт"_s, result.error);
    PrintedWorkbook printed;
    printed.workbook = std::move(result.workbook);
    printed.title = u"Калькуляционные карты"_s;
    printed.outcome = u"Калькуляционные карты: %1"_s.arg(result.cardsPrinted);
    return printed;
}
