#pragma once

#include "CostingCardPrint.h"
#include "reports/PrintJob.h"

// "Печать калькуляционных карт" with the choices of its two dialogs; clears the marks of the dishes it
// passed, as CostingCardPrint does.
class CostingCardPrintJob : public PrintJob
{
public:
    CostingCardPrintJob(QSqlDatabase db, const Clock& clock, CostingCardOptions options)
        : m_db(std::move(db)), m_clock(clock), m_options(std::move(options))
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    const Clock& m_clock;
    CostingCardOptions m_options;
};
