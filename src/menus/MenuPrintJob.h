#pragma once

#include "MenuPrint.h"
#include "reports/PrintJob.h"

// "Печать текущего меню" of one menu with the day and the texts chosen for it.
class MenuPrintJob : public PrintJob
{
public:
    MenuPrintJob(QSqlDatabase db, qlonglong menu, MenuPrintOptions options)
        : m_db(std::move(db)), m_menu(menu), m_options(std::move(options))
    {
    }

    PrintedWorkbook run(const Progress& progress) override;

private:
    QSqlDatabase m_db;
    qlonglong m_menu;
    MenuPrintOptions m_options;
};
