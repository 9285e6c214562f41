#pragma once

#include "InventoryFormsPrint.h"
#include "reports/PrintJob.h"

#include <QSqlDatabase>

// ИНВ-3 or ИНВ-19 of one inventory document, in any state of it.
class InventoryFormPrintJob : public PrintJob
{
public:
    InventoryFormPrintJob(QSqlDatabase db, qlonglong inventory, InventoryForm form)
        : m_db(std::move(db)), m_inventory(inventory), m_form(form)
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    qlonglong m_inventory;
    InventoryForm m_form;
};
