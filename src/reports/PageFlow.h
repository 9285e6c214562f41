#pragma once

#include <utility>
#include <vector>

class Sheet;

// Where a sheet's pages will end, estimated from the rows' fonts as the writer fits them, so that a
// print-out can keep a block of rows (a costing card, a table's last lines with its totals) on one
// page: a page break goes above a block that would be split, none inside one that fits a page.
namespace pageflow {

// The height the rows of a page may take on the sheet's paper and orientation, in points, with the
// file's default margins and a little to spare for the application's own rounding.
double printableHeight(const Sheet& sheet);

// The estimated height of a row, in points: the tallest line of its cells' fonts.
double rowHeight(const Sheet& sheet, int row);

// Blocks as first and last row, in ascending order and apart. Rows repeated as print titles count on
// every page after the first.
void keepTogether(Sheet& sheet, const std::vector<std::pair<int, int>>& blocks);

} // namespace pageflow
