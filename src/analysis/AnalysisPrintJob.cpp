#include "AnalysisPrintJob.h"

#include "reports/FormStyle.h"
#include "reports/StateForm.h"
#include "reports/Workbook.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace formstyle;

void AnalysisPrintJob::fill(Workbook& workbook, const AnalysisTable& table)
{
    Sheet& sheet = workbook.sheet(1);
    sheet.setName(u"Анализ"_s);
    sheet.setOnePageWide(true);
    const int columns = int(table.columns.size());
    constexpr int headingRow = 4;
    double tableWidth = 0;
    sheet.setPrintTitleRows(u"$%1:$%1"_s.arg(headingRow));

    sheet.cell(1, 1).setValue(table.title);
    setRowFont(sheet, 1, 14, true);
    sheet.cell(2, 1).setValue(table.subtitle);
    setRowFont(sheet, 2, 11);

    for (int c = 1; c <= columns; ++c) {
        const AnalysisTable::Column& column = table.columns[c - 1];
        sheet.cell(headingRow, c).setValue(column.caption);
        // Text columns get room for their longest entry; numbers a fixed width.
        double width = column.format.isEmpty() ? 12 : 13;
        if (column.format.isEmpty()) {
            for (const QVariantList& row : table.rows)
                width = std::max(width, std::min(45.0, row.value(c - 1).toString().size() * 1.1 + 2));
        } else {
            sheet.column(c).setNumberFormat(column.format);
        }
        sheet.setColumnWidth(c, width);
        tableWidth += width;
    }
    setRowFont(sheet, headingRow, 10, true);
    centre(sheet.row(headingRow).setWrapText(true));
    bottomRule(sheet.range(headingRow, 1, headingRow, columns), 3);

    int row = headingRow;
    for (const QVariantList& values : table.rows) {
        ++row;
        for (int c = 1; c <= columns; ++c) {
            const QVariant value = values.value(c - 1);
            if (value.typeId() == QMetaType::Double)
                sheet.cell(row, c).setValue(value.toDouble());
            else if (!value.isNull())
                sheet.cell(row, c).setValue(value.toString());
        }
        setRowFont(sheet, row, 10);
        bottomRule(sheet.range(row, 1, row, columns));
    }
    ++row;
    // A long note (the dishes over the threshold) is broken into rows as wide as the table, or it
    // would run off the printed page.
    for (const QString& note : table.notes) {
        for (const QString& line : stateform::wrappedLines(note, std::max(20, int(tableWidth)))) {
            sheet.cell(++row, 1).setValue(line);
            setRowFont(sheet, row, 10);
        }
    }
}

PrintedWorkbook AnalysisPrintJob::run(const Progress&)
{
    AnalysisFigures figures;
    QString error;
    if (!AnalysisFigures::read(m_db, m_choice, &figures, &error))
        return PrintedWorkbook::refused(u"Печать анализа"_s, error);
    PrintedWorkbook printed;
    printed.workbook = std::make_unique<Workbook>();
    fill(*printed.workbook, figures.table());
    printed.title = AnalysisFigures::pictureName(m_choice.picture);
    return printed;
}
