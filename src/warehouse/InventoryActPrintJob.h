#pragma once

#include "reports/PrintJob.h"

#include <QSqlDatabase>

// "Печать акта инвентаризации" of one inventory document, in any state of it.
class InventoryActPrintJob : public PrintJob
{
public:
    InventoryActPrintJob(QSqlDatabase db, qlonglong inventory) : m_db(std::move(db)), m_inventory(inventory)
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    qlonglong m_inventory;
};
