#include "SalesSummaryPrintJob.h"

#include "SalesSummary.h"

using namespace Qt::StringLiterals;

PrintedWorkbook SalesSummaryPrintJob::run(const Progress& progress)
{
    SalesSummaryResult result =
        SalesSummary(m_db).run(m_start, m_end, progress, [&progress](int n, int total) {
            return progress.step(u"Документы реализации"_s, n, total);
        });
    if (result.stopped)
        return PrintedWorkbook::refused(u"Печать сводного отчёта"_s, cancelledText());
    if (!result.workbook)
        return PrintedWorkbook::refused(result.caption, result.error);
    PrintedWorkbook printed;
    if (!result.notice().isEmpty())
        printed.inform(u"Печать сводного отчёта"_s, result.notice());
    printed.workbook = std::move(result.workbook);
    printed.title = u"Свод %1-%2"_s.arg(m_start.toString(u"dd.MM.yyyy"_s), m_end.toString(u"dd.MM.yyyy"_s));
    printed.outcome = u"%1, документов: %2"_s.arg(printed.title).arg(result.documents);
    return printed;
}
