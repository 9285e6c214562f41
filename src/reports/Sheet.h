#pragma once

#include "CellArea.h"
#include "CellFormat.h"
#include "Range.h"

#include <QAnyStringView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <span>
#include <vector>

class Workbook;

struct PageSetup
{
    std::optional<CellArea> printTitleRows;
    std::optional<CellArea> printTitleColumns;
    PageOrientation orientation = PageOrientation::Portrait;
    // In points, as the automation interface gives them; unset keeps the application's default.
    std::optional<double> leftMargin;
    std::optional<double> rightMargin;
    // Scaled to print one page wide, as many pages tall as it takes.
    bool onePageWide = false;
    // The automation's paper size numbers; 9 is A4, which every print-out is laid out for. Named in
    // every file: a file without one prints on the application's default, Letter for LibreOffice.
    int paperSize = 9;
    // Rows that begin a new page, as HPageBreaks.Add would set them, in ascending order; any number
    // (the file writer goes on in a further sheet past the 1023 a sheet of the file holds).
    std::vector<int> pageBreaksBefore;
};

// One sheet of a workbook: cells written by row and column, formats of cells, rows and columns,
// merged areas and the page set-up. Cells are kept per row in column order, each with an index into
// the sheet's table of distinct formats, so that a sheet of a million cells stays small and fast.
//
// An operation that cannot be carried out (an address outside the sheet, a number that is not finite,
// a format value the file cannot hold) changes nothing and is recorded in problems(), so that the
// print-out is told about it instead of getting a silently different sheet.
class Sheet
{
public:
    enum class ValueKind : quint8
    {
        Empty,
        Number,
        Text
    };

    // A cell as stored; the writer reads these row by row.
    struct StoredCell
    {
        union {
            double number = 0;
            quint64 textOffset; // into the sheet's text store, UTF-8 ending in a zero byte
        };
        quint32 style = 0; // own format; 0 is the empty format
        quint16 column = 0;
        ValueKind kind = ValueKind::Empty;
    };

    Sheet(Workbook& workbook, QString name);
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    const QString& name() const { return m_name; }
    // Refuses (and records) a name the file format does not allow or another sheet already has.
    bool setName(const QString& name);

    Range cell(int row, int column);
    // "A1:I1", "$A$1", "3:3", "A:II" (see CellArea::parse).
    Range range(QAnyStringView address);
    Range range(int firstRow, int firstColumn, int lastRow, int lastColumn);
    Range row(int row) { return rows(row, row); }
    Range rows(int first, int last);
    Range column(int column) { return columns(column, column); }
    Range columns(int first, int last);

    // Width in characters, fractions allowed; unset columns keep the default width.
    void setColumnWidth(int column, double width);
    std::optional<double> columnWidth(int column) const;

    // Null for an empty cell, else a double or a QString.
    QVariant value(int row, int column) const;
    // The cell's format with its column's, row's and own properties applied in that order.
    CellFormat format(int row, int column) const;

    // "$3:$3" and "$A:$A"; an empty text removes the titles.
    bool setPrintTitleRows(QAnyStringView rows);
    bool setPrintTitleColumns(QAnyStringView columns);
    void setPageOrientation(PageOrientation orientation) { m_pageSetup.orientation = orientation; }
    void setOnePageWide(bool onePageWide) { m_pageSetup.onePageWide = onePageWide; }
    void setLeftMargin(double points);
    void setRightMargin(double points);
    // A page break above the row; rows outside the sheet, or the first row, are refused as problems.
    void addPageBreakBefore(int row);
    // Forgets the row and every row below it (cells, row formats, merges reaching into them, page
    // breaks above them), so that a print-out can take back what it has just written and lay it out
    // again, as on a new page under a repeated heading.
    void discardRowsFrom(int row);
    const PageSetup& pageSetup() const { return m_pageSetup; }

    const std::vector<CellArea>& merges() const { return m_merges; }
    const QStringList& problems() const { return m_problems; }

    // Read access for writers.
    int rowCount() const;
    int columnCount() const;
    std::span<const StoredCell> cellsOfRow(int row) const;
    const char* utf8Text(const StoredCell& cell) const { return m_texts.data() + cell.textOffset; }
    quint32 rowStyle(int row) const;
    quint32 columnStyle(int column) const;
    const CellFormat& style(quint32 id) const { return m_styles[id]; }

private:
    friend class Range;

    void fail(const QString& problem);

    StoredCell& cellAt(int row, int column);
    const StoredCell* findCell(int row, int column) const;
    void setNumber(const CellArea& area, double value);
    void setText(const CellArea& area, const QString& text);
    void storeText(StoredCell& cell, const QByteArray& utf8);
    void applyFormat(const CellArea& area, const CellFormat& patch);
    quint32 restyled(quint32 style, const CellFormat& patch);
    void merge(CellArea area);
    void setColumnWidths(int first, int last, double width);
    bool setPrintTitles(const QString& address, CellArea::Kind kind, std::optional<CellArea>& titles);
    bool holdsCells(const CellArea& area, const QString& operation);

    Workbook& m_workbook;
    QString m_name;
    std::vector<std::vector<StoredCell>> m_rows; // by row - 1
    std::vector<char> m_texts;
    std::vector<CellFormat> m_styles{CellFormat{}};
    QHash<CellFormat, quint32> m_styleIds{{CellFormat{}, 0}};
    std::vector<quint32> m_rowStyles;    // by row - 1
    std::vector<quint32> m_columnStyles; // by column - 1
    std::vector<double> m_columnWidths;  // by column - 1; negative for the default
    std::vector<CellArea> m_merges;
    PageSetup m_pageSetup;
    QStringList m_problems;
};
