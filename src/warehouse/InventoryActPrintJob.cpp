#include "InventoryActPrintJob.h"

#include "InventoryActPrint.h"
#include "store/Database.h"

#include <QDate>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

PrintedWorkbook InventoryActPrintJob::run(const Progress& progress)
{
    const QString caption = u"Печать акта инвентаризации"_s;
    QSqlQuery query(m_db);
    QString error;
    if (!runQuery(query, u"SELECT Date FROM invdok WHERE Kod = ?"_s, {m_inventory}, &error))
        return PrintedWorkbook::refused(caption, error);
    if (!query.next())
        return PrintedWorkbook::refused(caption, u"Инвентаризация %1 не найдена."_s.arg(m_inventory));
    const QDate date = QDate::fromString(query.value(0).toString(), Qt::ISODate);
    query.finish();
    auto workbook = std::make_unique<Workbook>();
    if (!InventoryActPrint(m_db).fill(*workbook, m_inventory, &error, progress))
        return PrintedWorkbook::refused(caption, error);
    PrintedWorkbook printed;
    printed.workbook = std::move(workbook);
    // The file keeps the name it always had; the report line tells which act it is.
    printed.title = u"Акт инвентаризации"_s;
    printed.outcome =
        date.isValid() ? u"Акт инвентаризации от %1"_s.arg(date.toString(u"dd.MM.yyyy"_s)) : printed.title;
    return printed;
}
