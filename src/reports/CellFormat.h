#pragma once

#include <QHashFunctions>
#include <QString>

#include <array>
#include <optional>

// The numbers below are those of the spreadsheet automation interface, so that a print-out's
// description ("horizontal alignment 3", "line style 1, weight 2, colour index -4142") reads the same
// in code.

enum class HAlign
{
    General = 1,
    Left = 2,
    Center = 3,
    Right = 4
};
enum class VAlign
{
    Top = 1,
    Center = 2,
    Bottom = 3
};

// Border edges by the automation's index; an edge set on a range applies to every cell of it.
enum class Edge
{
    Left = 1,
    Right = 2,
    Top = 3,
    Bottom = 4
};

enum class PageOrientation
{
    Portrait = 1,
    Landscape = 2
};

// "No line" as a line style and "no colour" as a colour index.
inline constexpr int XlNone = -4142;

namespace LineStyle {
inline constexpr int Continuous = 1;
inline constexpr int Dash = -4115;
inline constexpr int Dot = -4118;
inline constexpr int Double = -4119;
inline constexpr int DashDot = 4;
inline constexpr int DashDotDot = 5;
inline constexpr int SlantDashDot = 13;
} // namespace LineStyle

namespace BorderWeight {
inline constexpr int Hairline = 1;
inline constexpr int Thin = 2;
// Weight 3, which the print-outs ask for, is taken as medium.
inline constexpr int Medium = -4138;
inline constexpr int Thick = 4;
} // namespace BorderWeight

// 1 to 56 index the spreadsheet's standard palette; 0 is taken as automatic.
namespace ColorIndex {
inline constexpr int Automatic = -4105;
inline constexpr int Black = 1;
} // namespace ColorIndex

// One edge of a cell. Each property is set on its own, as through the automation interface: a report
// sets all edges continuous and thin, then the colour of each edge.
struct BorderLine
{
    std::optional<int> lineStyle;
    std::optional<int> weight;
    std::optional<int> colorIndex;

    // A line shows once any property is set, unless its style or colour says "none".
    bool isVisible() const;
    bool operator==(const BorderLine&) const = default;
};

// A cell's format where each property may be left open. A cell, its row and its column each carry
// one; the cell's own properties win over its row's, the row's over its column's.
struct CellFormat
{
    std::optional<QString> fontName;
    std::optional<double> fontSize;
    std::optional<bool> bold;
    // The automation's colour value: red + green * 256 + blue * 65536.
    std::optional<int> fontColor;
    std::optional<HAlign> horizontalAlignment;
    std::optional<VAlign> verticalAlignment;
    std::optional<bool> wrapText;
    // Degrees, -90 to 90; 90 reads upwards.
    std::optional<int> orientation;
    // In the file's neutral form, "0.00" whatever the system's decimal separator.
    std::optional<QString> numberFormat;
    // Indexed by Edge - 1.
    std::array<BorderLine, 4> borders;

    BorderLine& border(Edge edge) { return borders[static_cast<int>(edge) - 1]; }
    const BorderLine& border(Edge edge) const { return borders[static_cast<int>(edge) - 1]; }

    // Takes every property that 'over' sets.
    void overlay(const CellFormat& over);

    bool operator==(const CellFormat&) const = default;
};

size_t qHash(const CellFormat& format, size_t seed = 0) noexcept;
