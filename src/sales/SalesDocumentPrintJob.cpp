#include "SalesDocumentPrintJob.h"

#include "ConsumptionCalculator.h"
#include "CrossTablePrint.h"
#include "SalesDocumentPrint.h"
#include "SalesDocuments.h"
#include "store/Database.h"

#include <QDate>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

PrintedWorkbook SalesDocumentPrintJob::run(const Progress& progress)
{
    const bool cross = m_layout == Layout::CrossTable;
    const QString caption = cross ? u"Печать перекрёстной таблицы"_s : u"Печать таблиц"_s;
    QSqlQuery query(m_db);
    QString error;
    if (!runQuery(query, u"SELECT DateR, Status FROM Realdoc WHERE Kod = ?"_s, {m_document}, &error))
        return PrintedWorkbook::refused(caption, error);
    if (!query.next())
        return PrintedWorkbook::refused(caption, u"Документ реализации %1 не найден."_s.arg(m_document));
    const QDate date = QDate::fromString(query.value(0).toString(), Qt::ISODate);
    const bool open = SalesDocuments::isOpen(query.value(1));
    query.finish();

    PrintedWorkbook printed;
    const ConsumptionRun run =
        ConsumptionCalculator(m_db).run(m_document, cross ? SalesLines::All : SalesLines::Sold);
    if (!run.ok) {
        if (open)
            return PrintedWorkbook::refused(run.caption, run.message);
        printed.warn(run.caption, run.message);
    } else if (!run.notice().isEmpty()) {
        printed.inform(u"Расчёт реализации"_s, run.notice());
    }
    // The calculation is stored: a stop after it is the caller's to roll back.
    if (progress && !progress(0))
        return PrintedWorkbook::refused(caption, cancelledText());
    SalesPrintResult result = cross ? CrossTablePrint(m_db).run(m_document, progress)
                                    : SalesDocumentPrint(m_db).run(m_document, progress);
    if (!result.workbook) {
        printed.caption = caption;
        printed.error = result.error;
        return printed;
    }
    if (result.posted && !cross)
        printed.warn(u"Ошибка печати технологических карт"_s,
                     u"Документ проведён. Печать технологических карт не производится !!!"_s);
    // After a calculation the skipped lines have been told already.
    if (!open && !result.notice().isEmpty())
        printed.inform(u"Печать"_s, result.notice());
    printed.workbook = std::move(result.workbook);
    printed.title =
        (cross ? u"Раскладка ингредиентов "_s : u"Реализация "_s) + date.toString(u"dd.MM.yyyy"_s);
    return printed;
}
