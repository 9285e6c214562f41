#pragma once

#include "Range.h"

#include <optional>

class Sheet;

// The look every printed form shares: "Times New Roman" in black, a thin black rule under data rows.
namespace formstyle {

// The whole row in "Times New Roman", black, at the size; bold as asked, or left as it is.
void setRowFont(Sheet& sheet, int row, double size, std::optional<bool> bold = std::nullopt);
// Continuous lines of the weight on every cell, then black at the bottom and no line elsewhere.
void bottomRule(Range range, int weight = 2);
// Centred horizontally and vertically.
void centre(Range range);

} // namespace formstyle
