#pragma once

#include "reports/PrintJob.h"

#include <QDate>
#include <QSqlDatabase>

// "Свод" of the sales documents of a period (SalesSummary: the open ones are calculated first).
class SalesSummaryPrintJob : public PrintJob
{
public:
    SalesSummaryPrintJob(QSqlDatabase db, const QDate& start, const QDate& end)
        : m_db(std::move(db)), m_start(start), m_end(end)
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    QDate m_start;
    QDate m_end;
};
