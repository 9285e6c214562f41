#include "RowAutoFit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace RowAutoFit {

namespace {

constexpr double defaultFontSize = 11;
// The tallest row a spreadsheet application allows, in points.
constexpr double maxHeight = 409;
constexpr double pointsPerPixel = 0.75;
// Column widths count characters of the default font, 7 pixels each, plus 5 pixels of padding.
constexpr double widthUnitPixels = 7;
constexpr double columnPaddingPixels = 5;
// Room around the text inside a cell, in pixels.
constexpr double cellMarginPixels = 8;

double fontPixels(const CellFormat& format)
{
    return format.fontSize.value_or(defaultFontSize) / pointsPerPixel;
}

// An average character, a little wider than most fonts' (and than the wide fonts a desktop may put
// in place of a missing one) so that a fitted row does not cut text.
double characterPixels(const CellFormat& format)
{
    return fontPixels(format) * (format.bold.value_or(false) ? 0.64 : 0.58);
}

// The lengths in characters of the text's lines; UTF-8 continuation bytes are not characters.
template <typename Visit> void forEachLineLength(const char* utf8, Visit visit)
{
    int length = 0;
    for (const char* at = utf8; *at; ++at) {
        if (*at == '\n') {
            visit(length);
            length = 0;
        } else if ((static_cast<unsigned char>(*at) & 0xC0) != 0x80) {
            ++length;
        }
    }
    visit(length);
}

} // namespace

double lineHeight(const CellFormat& format)
{
    // Whole pixels of 1.36 times the font size, as fonts are laid out with their line gap.
    return std::ceil(fontPixels(format) * 1.36) * pointsPerPixel;
}

bool dependsOnText(const CellFormat& format)
{
    return format.wrapText.value_or(false) || format.orientation.value_or(0) != 0;
}

double cellHeight(const CellFormat& format, const char* utf8Text, std::optional<double> columnWidth)
{
    const double line = lineHeight(format);
    if (!columnWidth || !utf8Text || !*utf8Text || !dependsOnText(format))
        return line;
    const double perCharacter = characterPixels(format);

    if (const int degrees = format.orientation.value_or(0); degrees != 0) {
        int longest = 0;
        forEachLineLength(utf8Text, [&](int length) { longest = std::max(longest, length); });
        const double angle = std::abs(degrees) * std::numbers::pi / 180;
        const double pixels = (longest * perCharacter + cellMarginPixels) * std::sin(angle) +
                              line / pointsPerPixel * std::cos(angle);
        return std::min(maxHeight, std::max(line, pixels * pointsPerPixel));
    }

    // Words do not break anywhere, so a wrapped line holds a tenth less than the width.
    const double usable =
        std::max(1.0, *columnWidth * widthUnitPixels + columnPaddingPixels - cellMarginPixels) / 1.1;
    int lines = 0;
    forEachLineLength(utf8Text, [&](int length) {
        lines += std::max(1, static_cast<int>(std::ceil(length * perCharacter / usable)));
    });
    return std::min(maxHeight, lines * line);
}

} // namespace RowAutoFit
