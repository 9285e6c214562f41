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

// Whether the cell is the top left one of a merged area, whose text the writer does not wrap to a
// column's width.
bool mergedAt(const Sheet& sheet, int row, int column)
{
    return std::any_of(sheet.merges().cbegin(), sheet.merges().cend(), [&](const CellArea& area) {
        return area.firstRow == row && area.firstColumn == column;
    });
}

} // namespace

double printableHeight(const Sheet& sheet)
{
    const bool landscape = sheet.pageSetup().orientation == PageOrientation::Landscape;
    return ((landscape ? a4Short : a4Long) - verticalMargins) * spare;
}

double rowHeight(const Sheet& sheet, int row)
{
    double height = RowAutoFit::lineHeight(sheet.format(row, 1));
    for (const Sheet::StoredCell& cell : sheet.cellsOfRow(row)) {
        const CellFormat format = sheet.format(row, cell.column);
        height = std::max(height, RowAutoFit::lineHeight(format));
        if (cell.kind == Sheet::ValueKind::Text && RowAutoFit::dependsOnText(format)) {
            const auto width =
                mergedAt(sheet, row, cell.column)
                    ? std::nullopt
                    : std::optional(sheet.columnWidth(cell.column).value_or(RowAutoFit::DefaultColumnWidth));
            height = std::max(height, RowAutoFit::cellHeight(format, sheet.utf8Text(cell), width));
        }
    }
    return std::max(height, RowAutoFit::DefaultHeight);
}

Pages::Pages(Sheet& sheet, Ends ends) : m_sheet(sheet), m_ends(ends), m_page(printableHeight(sheet))
{
    if (const auto& rows = sheet.pageSetup().printTitleRows) {
        for (int row = rows->firstRow; row <= rows->lastRow; ++row)
            m_titles += rowHeight(sheet, row);
    }
}

void Pages::countTo(int row)
{
    const std::vector<int>& breaks = m_sheet.pageSetup().pageBreaksBefore;
    for (; m_next < row; ++m_next) {
        const double height = rowHeight(m_sheet, m_next);
        const bool broken = std::binary_search(breaks.cbegin(), breaks.cend(), m_next);
        if (!broken && m_used + height > m_page && !atTop() && m_ends == Ends::Breaks)
            m_sheet.addPageBreakBefore(m_next); // keeps 'breaks' sorted; m_next is past the rest
        if (broken || m_used + height > m_page)
            m_used = m_titles; // a page begins with this row
        m_used += height;
    }
}

void Pages::breakBefore(int row)
{
    countTo(row);
    m_next = row; // rows taken back and written again are counted again
    m_sheet.addPageBreakBefore(row);
    m_used = m_titles;
}

double Pages::height(int first, int last) const
{
    double sum = 0;
    for (int row = first; row <= last; ++row)
        sum += rowHeight(m_sheet, row);
    return sum;
}

void keepTogether(Sheet& sheet, const std::vector<std::pair<int, int>>& blocks)
{
    Pages pages(sheet);
    for (const auto& [first, last] : blocks) {
        pages.countTo(first);
        const double block = pages.height(first, last);
        if (!pages.fits(block) && !pages.atTop() && pages.fitAPage(block))
            pages.breakBefore(first);
        pages.countTo(last + 1);
    }
}

int continuedTable(Pages& pages, int row, int lines, const std::function<int(int)>& writeHeading,
                   const std::function<int(int, int)>& writeLine)
{
    Sheet& sheet = pages.sheet();
    pages.countTo(row);
    const int heading = row;
    row = writeHeading(row);
    for (int n = 0; n < lines; ++n) {
        const int top = n == 0 ? heading : row; // the first line keeps its heading with it
        pages.countTo(top);
        int next = writeLine(row, n);
        if (!pages.fits(pages.height(top, next - 1)) && !pages.atTop()) {
            sheet.discardRowsFrom(top);
            pages.breakBefore(top);
            row = writeHeading(top);
            next = writeLine(row, n);
        }
        row = next;
    }
    pages.countTo(row);
    return row;
}

} // namespace pageflow
