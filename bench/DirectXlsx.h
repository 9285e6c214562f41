#pragma once

// The yardstick of the print-out benchmarks: the cells of a finished workbook written straight through
// libxlsxwriter, one number format, no other formatting. A print-out's own time is compared with the
// time to read its rows plus this.

#include "reports/Workbook.h"

#include <QFile>
#include <QString>

#include <xlsxwriter.h>

namespace directxlsx {

inline bool write(const Workbook& workbook, const QString& path)
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
            }
        }
    }
    return workbook_close(file) == LXW_NO_ERROR;
}

} // namespace directxlsx
