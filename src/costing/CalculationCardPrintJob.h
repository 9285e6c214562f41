#pragma once

#include "CalculationCardPrint.h"
#include "reports/PrintJob.h"

// ОП-1 of one dish, the marked dishes or a group; the dish marks are left as they are.
class CalculationCardPrintJob : public PrintJob
{
public:
    CalculationCardPrintJob(QSqlDatabase db, const Clock& clock, CostingCardOptions options)
        : m_db(std::move(db)), m_clock(clock), m_options(std::move(options))
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    const Clock& m_clock;
    CostingCardOptions m_options;
};
