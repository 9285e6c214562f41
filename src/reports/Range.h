#pragma once

#include "CellArea.h"
#include "CellFormat.h"

#include <QString>
#include <QVariant>

#include <optional>

class Sheet;
class RangeBorders;
class RangeFont;

// A handle on cells, whole rows or whole columns of a sheet, as a print-out addresses them:
// sheet.range("A1:I1").merge(), sheet.row(1).font().setSize(16). A range whose address was outside
// the sheet does nothing; the sheet has recorded the problem when the range was made.
class Range
{
public:
    Range(Sheet& sheet, std::optional<CellArea> area) : m_sheet(&sheet), m_area(area) {}

    bool isValid() const { return m_area.has_value(); }
    std::optional<CellArea> area() const { return m_area; }

    // Every cell of a block takes the value; an empty text empties the cells.
    Range& setValue(double value);
    Range& setValue(const QString& text);
    // The value of the first cell: null when empty, else a double or a QString.
    QVariant value() const;

    // Merges a block into one cell. The first value in reading order moves to the top left cell and
    // the others are dropped; merged areas that overlap the block are taken into it.
    Range& merge();

    RangeFont font();
    RangeBorders borders();
    RangeBorders borders(Edge edge);
    Range& setHorizontalAlignment(HAlign alignment);
    Range& setVerticalAlignment(VAlign alignment);
    Range& setWrapText(bool wrap);
    // Degrees from -90 to 90; 90 turns the text to read upwards.
    Range& setOrientation(int degrees);
    // In the file's neutral form: "0.00", "0.000", "0".
    Range& setNumberFormat(const QString& neutralFormat);
    // Sets the width of every column the range touches.
    Range& setColumnWidth(double width);

    // Sets every property the patch holds at once, as if each were set in turn: one pass over the
    // cells instead of one per property. The values are taken as they are, unchecked.
    Range& apply(const CellFormat& patch);

private:
    friend class RangeBorders;
    friend class RangeFont;

    // Sets one property of every cell of the range.
    template <typename T> Range& set(std::optional<T> CellFormat::*property, T value)
    {
        CellFormat patch;
        patch.*property = std::move(value);
        return apply(patch);
    }
    Range& refuse(const QString& problem);

    Sheet* m_sheet;
    std::optional<CellArea> m_area;
};

class RangeFont
{
public:
    explicit RangeFont(Range range) : m_range(range) {}

    RangeFont& setName(const QString& name);
    RangeFont& setSize(double points);
    RangeFont& setBold(bool bold);
    // The automation's colour value: red + green * 256 + blue * 65536; 0 is black.
    RangeFont& setColor(int color);

private:
    template <typename T> RangeFont& set(std::optional<T> CellFormat::*property, T value)
    {
        m_range.set(property, std::move(value));
        return *this;
    }

    Range m_range;
};

// The lines of every cell of a range, on all four edges or on one.
class RangeBorders
{
public:
    RangeBorders(Range range, std::optional<Edge> edge) : m_range(range), m_edge(edge) {}

    // LineStyle::*, or XlNone for no line.
    RangeBorders& setLineStyle(int lineStyle);
    // BorderWeight::*.
    RangeBorders& setWeight(int weight);
    // 1 to 56 from the standard palette, 0 or ColorIndex::Automatic, or XlNone for no line.
    RangeBorders& setColorIndex(int colorIndex);

private:
    RangeBorders& apply(std::optional<int> BorderLine::*property, int value);

    Range m_range;
    std::optional<Edge> m_edge; // null for all four
};
