#include "ChainReportPrintJob.h"

#include "reports/FormStyle.h"

using namespace Qt::StringLiterals;
using namespace formstyle;

PrintedWorkbook ChainReportPrintJob::run(const Progress& progress)
{
    const QString caption = u"Показатели сети кухонь"_s;
    if (m_end < m_start)
        return PrintedWorkbook::refused(caption, u"Начало периода позже его конца."_s);
    ChainReport::Figures figures;
    QString error;
    if (!m_report.figures(&figures, progress, &error))
        return PrintedWorkbook::refused(caption, u"Отчёт не составлен. "_s + error);

    ChainReport::Kitchen chain{u"Итого по сети"_s};
    for (const ChainReport::Kitchen& kitchen : figures.kitchens) {
        chain.sales += kitchen.sales;
        chain.ingredientsCost += kitchen.ingredientsCost;
        chain.stockValue += kitchen.stockValue;
    }
    std::vector<ChainReport::Kitchen> columns = figures.kitchens;
    columns.push_back(chain);

    auto workbook = std::make_unique<Workbook>();
    Sheet& sheet = workbook->sheet(1);
    sheet.setName(u"Сеть кухонь"_s);
    sheet.setOnePageWide(true);
    sheet.setPageOrientation(PageOrientation::Landscape);
    const int last = int(columns.size()) + 1;
    const QString titles[] = {caption, u"за период с %1 по %2"_s.arg(m_start.toString(u"dd.MM.yyyy"_s),
                                                                     m_end.toString(u"dd.MM.yyyy"_s))};
    for (int row = 1; row <= 2; ++row) {
        sheet.cell(row, last).setValue(titles[row - 1]);
        centre(sheet.range(row, 1, row, last).merge());
        setRowFont(sheet, row, 16, true);
    }
    sheet.setColumnWidth(1, 44);
    sheet.columns(2, last).setColumnWidth(16);
    const int heading = 4;
    sheet.cell(heading, 1).setValue(u"Показатель"_s);
    const QString rows[] = {u"Реализация, руб."_s, u"Стоимость израсходованных ингредиентов, руб."_s,
                            u"Доля себестоимости, %"_s, u"Стоимость запасов на конец периода, руб."_s};
    for (int i = 0; i < 4; ++i)
        sheet.cell(heading + 1 + i, 1).setValue(rows[i]);
    for (int c = 0; c < int(columns.size()); ++c) {
        const ChainReport::Kitchen& kitchen = columns[c];
        const int column = c + 2;
        sheet.cell(heading, column).setValue(kitchen.name);
        sheet.cell(heading + 1, column).setValue(kitchen.sales);
        sheet.cell(heading + 2, column).setValue(kitchen.ingredientsCost);
        // A kitchen that sold nothing has no share: an empty cell, not a division by zero.
        if (const auto share = ChainReport::costShare(kitchen.ingredientsCost, kitchen.sales))
            sheet.cell(heading + 3, column).setValue(*share);
        sheet.cell(heading + 4, column).setValue(kitchen.stockValue);
    }
    sheet.range(heading + 1, 2, heading + 4, last).setNumberFormat(u"0.00"_s);
    sheet.range(heading + 3, 2, heading + 3, last).setNumberFormat(u"0.0"_s);
    setRowFont(sheet, heading, 12, true);
    sheet.range(heading, 2, heading, last).setHorizontalAlignment(HAlign::Right);
    for (int row = heading + 1; row <= heading + 4; ++row) {
        setRowFont(sheet, row, 12);
        bottomRule(sheet.range(row, 1, row, last));
    }
    // The chain's column stands out.
    sheet.range(heading, last, heading + 4, last).font().setBold(true);

    PrintedWorkbook printed;
    printed.workbook = std::move(workbook);
    printed.title =
        u"Сеть кухонь %1-%2"_s.arg(m_start.toString(u"dd.MM.yyyy"_s), m_end.toString(u"dd.MM.yyyy"_s));
    printed.outcome = u"%1, кухонь: %2"_s.arg(printed.title).arg(figures.kitchens.size());
    printed.notices = figures.notices;
    return printed;
}
