#pragma once

#include "ChainReport.h"

// "Показатели сети кухонь": the kitchens side by side, a column each, and the chain's totals.
class ChainReportPrintJob : public PrintJob
{
public:
    ChainReportPrintJob(QString serverOptions, const QDate& start, const QDate& end)
        : m_report(std::move(serverOptions), start, end), m_start(start), m_end(end)
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    ChainReport m_report;
    QDate m_start;
    QDate m_end;
};
