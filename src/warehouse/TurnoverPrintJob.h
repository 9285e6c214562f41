#pragma once

#include "reports/PrintJob.h"
#include "TurnoverStatement.h"

// "Оборотка" with the choices of its dialog. An ingredient statement without an ingredient is
// refused.
class TurnoverPrintJob : public PrintJob
{
public:
    TurnoverPrintJob(QSqlDatabase db, const TurnoverOptions& options)
        : m_db(std::move(db)), m_options(options)
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    TurnoverOptions m_options;
};
