#include "InventoryFormPrintJob.h"

#include "reports/Workbook.h"
#include "store/Database.h"

#include <QDate>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

PrintedWorkbook InventoryFormPrintJob::run(const Progress& progress)
{
    const QString caption = InventoryFormsPrint::title(m_form, QDate());
    QSqlQuery query(m_db);
    QString error;
    if (!runQuery(query, u"SELECT Date FROM invdok WHERE Kod = ?"_s, {m_inventory}, &error))
        return PrintedWorkbook::refused(caption, error);
    if (!query.next())
        return PrintedWorkbook::refused(caption, u"Инвентаризация %1 не найдена."_s.arg(m_inventory));
    const QDate date = QDate::fromString(query.value(0).toString(), Qt::ISODate);
    query.finish();
    auto workbook = std::make_unique<Workbook>();
    if (!InventoryFormsPrint(m_db).fill(*workbook, m_inventory, m_form, &error))
        return PrintedWorkbook::refused(caption, error);
    if (progress)
        progress(100);
    PrintedWorkbook printed;
    printed.workbook = std::move(workbook);
    printed.title = caption;
    printed.outcome = InventoryFormsPrint::title(m_form, date);
    return printed;
}
