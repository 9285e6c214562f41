#include "PageFlow.h"

#include "RowAutoFit.h"
#include "Sheet.h"

#include <algorithm>

namespace pageflow {

namespace {

// A4 in points and the margins libxlsxwriter writes (0.75 inch above and below).
constexpr double a4Long = 842;
constexpr double a4Short = 595;
constexpr double verticalMargins = 2 * 54;
// The applications round row heights to their own units and may add a header line.
constexpr double spare = 0.95;

} // namespace

double printableHeight(const Sheet& sheet)
{
    const bool landscape = sheet.pageSetup().orientation == PageOrientation::Landscape;
    return ((landscape ? a4Short : a4Long) - verticalMargins) * spare;
}

double rowHeight(const Sheet& sheet, int row)
{
    double height = RowAutoFit::lineHeight(sheet.format(row, 1));
    for (const Sheet::StoredCell& cell : sheet.cellsOfRow(row))
        height = std::max(height, RowAutoFit::lineHeight(sheet.format(row, cell.column)));
    return std::max(height, RowAutoFit::DefaultHeight);
}

void keepTogether(Sheet& sheet, const std::vector<std::pair<int, int>>& blocks)
{
    const double page = printableHeight(sheet);
    double titles = 0;
    if (const auto& rows = sheet.pageSetup().printTitleRows)
        for (int row = rows->firstRow; row <= rows->lastRow; ++row)
            titles += rowHeight(sheet, row);
    double used = 0; // on the page the next row goes to
    const auto place = [&](double height) {
        used += height;
        if (used > page)
            used = titles + height; // the application began a page with this row
    };
    int row = 1;
    for (const auto& [first, last] : blocks) {
        for (; row < first; ++row)
            place(rowHeight(sheet, row));
        double block = 0;
        for (int r = first; r <= last; ++r)
            block += rowHeight(sheet, r);
        if (used + block > page && used > titles && titles + block <= page) {
            sheet.addPageBreakBefore(first);
            used = titles;
        }
        for (; row <= last; ++row)
            place(rowHeight(sheet, row));
    }
}

} // namespace pageflow
