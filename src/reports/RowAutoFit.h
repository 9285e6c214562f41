#pragma once

#include "CellFormat.h"

#include <optional>

// Row heights fitted to what the cells show, as a spreadsheet application fits a row while a
// print-out writes into it: taller fonts, wrapped text, text turned upright. libxlsxwriter writes no
// heights, and LibreOffice does not fit the rows of a file that says it comes from Excel, so the
// writer gives them. The text is measured by an average character width, erring on the tall side.
namespace RowAutoFit {

// The height of a row of the default font, in points.
inline constexpr double DefaultHeight = 15;
// The width of a column the sheet leaves at the default, in characters, as the file format has it.
inline constexpr double DefaultColumnWidth = 8.43;

// The height one line of the format's font needs.
double lineHeight(const CellFormat& format);

// The height a cell needs for its text. Without a column width (a merged cell, whose width the
// application does not fit either) only the font counts.
double cellHeight(const CellFormat& format, const char* utf8Text, std::optional<double> columnWidth);

// Whether cellHeight() depends on the text, or lineHeight() says it all.
bool dependsOnText(const CellFormat& format);

} // namespace RowAutoFit
