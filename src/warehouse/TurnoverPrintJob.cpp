#include "TurnoverPrintJob.h"

using namespace Qt::StringLiterals;

PrintedWorkbook TurnoverPrintJob::run(const Progress& progress)
{
    const QString caption = u"Печать оборотной ведомости"_s;
    // Keys start at 1: 0 is the page's empty ingredient list.
    if (m_options.scope == TurnoverScope::Ingredient && m_options.ingredient == 0)
        return PrintedWorkbook::refused(caption, u"Не выбран ингредиент."_s);
    auto workbook = std::make_unique<Workbook>();
    QString error;
    if (!TurnoverStatement(m_db).fill(*workbook, m_options, &error, progress))
        return PrintedWorkbook::refused(caption, error);
    PrintedWorkbook printed;
    printed.workbook = std::move(workbook);
    printed.title = u"Оборотная ведомость %1-%2"_s.arg(m_options.start.toString(u"dd.MM.yyyy"_s),
                                                       m_options.end.toString(u"dd.MM.yyyy"_s));
    return printed;
}
