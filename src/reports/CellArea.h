#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A rectangle of a sheet in 1-based rows and columns: a block of cells ("A1:I1"), whole rows ("3:3")
// or whole columns ("A:II"). Whole rows and columns are kept apart from blocks because their format
// applies to cells written there later, as in a spreadsheet application.
struct CellArea
{
    enum class Kind
    {
        Cells,
        Rows,
        Columns
    };

    // The limits of the file format.
    static constexpr int MaxRow = 1048576;
    static constexpr int MaxColumn = 16384;

    Kind kind = Kind::Cells;
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;

    // Null when a bound is outside the sheet. Reversed bounds are put in order.
    static std::optional<CellArea> cells(int firstRow, int firstColumn, int lastRow, int lastColumn);
    static std::optional<CellArea> rows(int first, int last);
    static std::optional<CellArea> columns(int first, int last);

    // "B3", "A1:I1", "$A$1:$I$1", "3:3", "$4:$4", "A:A", "B:II"; null for anything else.
    static std::optional<CellArea> parse(QStringView address);

    // 1 -> "A", 26 -> "Z", 27 -> "AA", 702 -> "ZZ", 703 -> "AAA"; empty outside 1..MaxColumn.
    static QString columnLetters(int column);
    // The inverse of columnLetters, case-insensitive; 0 for anything that is not a column.
    static int columnNumber(QStringView letters);

    // The address in the form parse() reads, without dollar signs.
    QString toString() const;

    long long cellCount() const
    {
        return static_cast<long long>(lastRow - firstRow + 1) * (lastColumn - firstColumn + 1);
    }
    bool contains(int row, int column) const
    {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    bool intersects(const CellArea& other) const
    {
        return firstRow <= other.lastRow && other.firstRow <= lastRow && firstColumn <= other.lastColumn &&
               other.firstColumn <= lastColumn;
    }
    bool operator==(const CellArea&) const = default;
};
