#include "CalculationCardPrintJob.h"

#include "reports/Workbook.h"

using namespace Qt::StringLiterals;

PrintedWorkbook CalculationCardPrintJob::run(const Progress& progress)
{
    CalculationCardResult result = CalculationCardPrint(m_db, m_clock).run(m_options, m_days);
    if (!result.workbook)
        return PrintedWorkbook::refused(u"Печать калькуляционных карточек (ОП-1)"_s, result.error);
    if (progress)
        progress(100);
    PrintedWorkbook printed;
    printed.workbook = std::move(result.workbook);
    printed.title = u"ОП-1 Калькуляционные карточки"_s;
    printed.outcome = u"ОП-1 Калькуляционные карточки: %1"_s.arg(result.cards);
    return printed;
}
