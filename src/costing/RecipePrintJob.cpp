#include "RecipePrintJob.h"

#include "RecipePrint.h"

using namespace Qt::StringLiterals;

PrintedWorkbook RecipePrintJob::run(const Progress&)
{
    QString error;
    const std::optional<RecipePrint::Recipe> recipe = RecipePrint(m_db).read(m_dish, &error, m_shownLines);
    if (!recipe)
        return PrintedWorkbook::refused(u"Печать рецепта"_s, error);
    PrintedWorkbook printed;
    printed.workbook = std::make_unique<Workbook>();
    RecipePrint::fill(*printed.workbook, recipe->dishName, recipe->lines);
    printed.title = u"Рецепт "_s + recipe->dishName;
    return printed;
}
