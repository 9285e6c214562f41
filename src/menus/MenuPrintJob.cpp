#include "MenuPrintJob.h"

using namespace Qt::StringLiterals;

PrintedWorkbook MenuPrintJob::run(const Progress& progress)
{
    const QString caption = u"Печать текущего меню"_s;
    auto workbook = std::make_unique<Workbook>();
    QString error;
    int skipped = 0;
    if (!MenuPrint(m_db).fill(*workbook, m_menu, m_options, &error, progress, &skipped))
        return PrintedWorkbook::refused(caption, error);
    PrintedWorkbook printed;
    if (skipped > 0)
        printed.inform(caption, MenuPrint::skippedNotice(skipped));
    printed.workbook = std::move(workbook);
    printed.title = u"Меню на "_s + m_options.date.toString(u"dd.MM.yyyy"_s);
    return printed;
}
