#pragma once

#include "reports/PrintJob.h"
#include "TechnologicalCardPrint.h"

// ТК or ТТК of one dish; the ingredients without nutrition come as a notice besides the card.
class TechnologicalCardPrintJob : public PrintJob
{
public:
    TechnologicalCardPrintJob(QSqlDatabase db, const Clock& clock, qlonglong dish, TechnologicalCard kind)
        : m_db(std::move(db)), m_clock(clock), m_dish(dish), m_kind(kind)
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    const Clock& m_clock;
    qlonglong m_dish;
    TechnologicalCard m_kind;
};
