#pragma once

#include <functional>
#include <utility>
#include <vector>

class Sheet;

// Where a sheet's pages will end, estimated from the rows' fonts and wrapped text as the writer fits
// them, so that a print-out can keep a block of rows (a costing card, a table's last lines with its
// totals) on one page, and begin each page of a table longer than a page with its heading.
namespace pageflow {

// The height the rows of a page may take on the sheet's paper and orientation, in points, with the
// file's default margins and a little to spare for the application's own rounding.
double printableHeight(const Sheet& sheet);

// The estimated height of a row, in points, as the writer fits it: the tallest line of its cells'
// fonts, or of a wrapped text.
double rowHeight(const Sheet& sheet, int row);

// The pages of a sheet written from the top down, as the application will print them: rows are
// counted onto a page until one does not fit (the application begins a page with it) or a page break
// stands above it. Rows repeated as print titles count on every page after the first.
//
// The estimate leaves room to spare, so the application's own page ends fall a little later than the
// estimated ones. Where a print-out lays out rows by the estimated pages (a heading repeated at the
// top of a page), it has every estimated page end made a page break, so that the pages printed are
// the pages estimated.
class Pages
{
public:
    enum class Ends
    {
        Application, // the application ends a page where a row does not fit
        Breaks       // each page end estimated is made a page break
    };
    explicit Pages(Sheet& sheet, Ends ends = Ends::Application);

    Sheet& sheet() { return m_sheet; }
    // Counts the rows above 'row' that are not counted yet.
    void countTo(int row);
    // Whether rows of this height, counted next, still end on the current page.
    bool fits(double height) const { return m_used + height <= m_page; }
    // Whether rows of this height fit on a page of their own.
    bool fitAPage(double height) const { return m_titles + height <= m_page; }
    // Whether the current page holds nothing but the title rows yet.
    bool atTop() const { return m_used <= m_titles; }
    // A page break above 'row', the next row to count.
    void breakBefore(int row);
    // The height of the rows first to last.
    double height(int first, int last) const;

private:
    Sheet& m_sheet;
    Ends m_ends;
    double m_page = 0;
    double m_titles = 0;
    double m_used = 0; // on the current page
    int m_next = 1;    // the next row to count
};

// Blocks as first and last row, in ascending order and apart. Rows repeated as print titles count on
// every page after the first.
void keepTogether(Sheet& sheet, const std::vector<std::pair<int, int>>& blocks);

// Writes a table's lines under its heading at 'row', on pages whose ends are breaks. Where a line would run
// onto the next page, it is taken back, a page break goes above it and the heading is written again there
// before it, so that every page of a table longer than a page begins with its column heads; a heading that
// would end a page with no line under it begins the next page instead. writeHeading(row) and writeLine(row,
// n) write at the row and return the row after what they wrote. Returns the row after the last line.
int continuedTable(Pages& pages, int row, int lines, const std::function<int(int)>& writeHeading,
                   const std::function<int(int, int)>& writeLine);

} // namespace pageflow
