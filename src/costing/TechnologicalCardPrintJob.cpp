#include "TechnologicalCardPrintJob.h"

#include "reports/Workbook.h"

using namespace Qt::StringLiterals;

PrintedWorkbook TechnologicalCardPrintJob::run(const Progress& progress)
{
    TechnologicalCardResult result = TechnologicalCardPrint(m_db, m_clock).run(m_dish, m_kind);
    const QString name = m_kind == TechnologicalCard::Technological ? u"ТК"_s : u"ТТК"_s;
    const QString caption = u"Печать "_s + name;
    if (!result.workbook)
        return PrintedWorkbook::refused(caption, result.error);
    if (progress)
        progress(100);
    PrintedWorkbook printed;
    if (!result.missingNutrition.isEmpty())
        printed.inform(caption, u"Пищевая ценность не указана для: "_s +
                                    result.missingNutrition.join(u"; "_s) +
                                    u".\nЭти продукты названы на карте; итоги, которым не хватает их данных, "
                                    u"не подсчитаны."_s);
    printed.workbook = std::move(result.workbook);
    printed.title = name + u' ' + result.dish;
    return printed;
}
