#pragma once

#include "CalculationCardPrint.h"
#include "reports/PrintJob.h"

// ОП-1 of one dish, the marked dishes or a group, one calculation per day (none: today's); the dish
// marks are left as they are.
class CalculationCardPrintJob : public PrintJob
{
public:
    CalculationCardPrintJob(QSqlDatabase db, const Clock& clock, CostingCardOptions options,
                            std::vector<QDate> days = {})
        : m_db(std::move(db)), m_clock(clock), m_options(std::move(options)), m_days(std::move(days))
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    const Clock& m_clock;
    CostingCardOptions m_options;
    std::vector<QDate> m_days;
};
