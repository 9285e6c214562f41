#pragma once

// The yardstick of the print-out benchmarks: the cells of a finished workbook written straight through
// libxlsxwriter, one number format, no other formatting. A print-out's own time is compared with the
// time to read its rows plus this.
//
// An empty cell with a format of its own (the rule under a line, a frame) is a cell of the print-out
// as much as a number is: half the cells of the turnover statement are such. libxlsxwriter keeps an
// empty cell only with a format, so they get the one format. Skip leaves them out, for comparison
// with the earlier yardstick, which wrote the cells with values only.

#include "reports/Workbook.h"

#include <QFile>
#include <QString>

#include <xlsxwriter.h>

namespace directxlsx {

enum class EmptyCells
{
    Write,
    Skip
};

inline bool write(const Workbook& workbook, const QString& path, EmptyCells empty = EmptyCells::Write)
{
    lxw_workbook* file = workbook_new(QFile::encodeName(path).constData());
    if (!file)
        return false;
    lxw_format* number = workbook_add_format(file);
    format_set_num_format(number, "0.000");
    for (int s = 1; s <= workbook.sheetCount(); ++s) {
        const Sheet& sheet = workbook.sheet(s);
        lxw_worksheet* out = workbook_add_worksheet(file, nullptr);
        for (int row = 1; row <= sheet.rowCount(); ++row) {
            for (const Sheet::StoredCell& cell : sheet.cellsOfRow(row)) {
                const auto r = static_cast<lxw_row_t>(row - 1);
                const auto c = static_cast<lxw_col_t>(cell.column - 1);
                if (cell.kind == Sheet::ValueKind::Number)
                    worksheet_write_number(out, r, c, cell.number, number);
                else if (cell.kind == Sheet::ValueKind::Text)
                    worksheet_write_string(out, r, c, sheet.utf8Text(cell), nullptr);
                else if (cell.style != 0 && empty == EmptyCells::Write)
                    worksheet_write_blank(out, r, c, number);
            }
        }
    }
    return workbook_close(file) == LXW_NO_ERROR;
}

} // namespace directxlsx
