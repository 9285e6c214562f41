#include "Sheet.h"

#include "Workbook.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// The widest column a spreadsheet application allows, in characters.
constexpr double maxColumnWidth = 255;
// A block formatted or filled cell by cell beyond this is a mistaken address, not a print-out.
constexpr long long maxBlockCells = 4'000'000;

} // namespace

Sheet::Sheet(Workbook& workbook, QString name) : m_workbook(workbook), m_name(std::move(name)) {}

bool Sheet::setName(const QString& name)
{
    static const QString forbidden = u"[]:*?/\\"_s;
    QString problem;
    if (name.isEmpty())
        problem = u"пустое имя листа"_s;
    else if (name.size() > 31)
        problem = u"имя листа «%1» длиннее 31 знака"_s.arg(name);
    else if (std::any_of(name.begin(), name.end(), [](QChar ch) { return forbidden.contains(ch); }))
        problem = u"имя листа «%1» содержит один из знаков %2"_s.arg(name, forbidden);
    else if (name.startsWith(u'\'') || name.endsWith(u'\''))
        problem = u"имя листа «%1» начинается или кончается апострофом"_s.arg(name);
    else if (m_workbook.hasSheetNamed(name, this))
        problem = u"лист с именем «%1» уже есть"_s.arg(name);
    if (!problem.isEmpty()) {
        fail(problem);
        return false;
    }
    m_name = name;
    return true;
}

// The problem texts are made only for a refused address: cell() runs once for every cell written.
Range Sheet::cell(int row, int column)
{
    const auto area = CellArea::cells(row, column, row, column);
    if (!area)
        fail(u"ячейки (%1, %2) нет на листе"_s.arg(row).arg(column));
    return Range(*this, area);
}

Range Sheet::range(QAnyStringView address)
{
    const QString text = address.toString();
    const auto area = CellArea::parse(text);
    if (!area)
        fail(u"неверный адрес «%1»"_s.arg(text));
    return Range(*this, area);
}

Range Sheet::range(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    const auto area = CellArea::cells(firstRow, firstColumn, lastRow, lastColumn);
    if (!area)
        fail(u"ячеек (%1, %2)–(%3, %4) нет на листе"_s.arg(firstRow)
                 .arg(firstColumn)
                 .arg(lastRow)
                 .arg(lastColumn));
    return Range(*this, area);
}

Range Sheet::rows(int first, int last)
{
    const auto area = CellArea::rows(first, last);
    if (!area)
        fail(u"строк %1–%2 нет на листе"_s.arg(first).arg(last));
    return Range(*this, area);
}

Range Sheet::columns(int first, int last)
{
    const auto area = CellArea::columns(first, last);
    if (!area)
        fail(u"столбцов %1–%2 нет на листе"_s.arg(first).arg(last));
    return Range(*this, area);
}

void Sheet::setColumnWidth(int column, double width)
{
    if (column < 1 || column > CellArea::MaxColumn)
        fail(u"столбца %1 нет на листе"_s.arg(column));
    else
        setColumnWidths(column, column, width);
}

std::optional<double> Sheet::columnWidth(int column) const
{
    const auto index = static_cast<size_t>(column - 1);
    if (column < 1 || index >= m_columnWidths.size() || m_columnWidths[index] < 0)
        return std::nullopt;
    return m_columnWidths[index];
}

QVariant Sheet::value(int row, int column) const
{
    const StoredCell* cell = findCell(row, column);
    if (!cell)
        return {};
    switch (cell->kind) {
    case ValueKind::Number:
        return cell->number;
    case ValueKind::Text:
        return QString::fromUtf8(utf8Text(*cell));
    case ValueKind::Empty:
        break;
    }
    return {};
}

CellFormat Sheet::format(int row, int column) const
{
    CellFormat format = m_styles[columnStyle(column)];
    format.overlay(m_styles[rowStyle(row)]);
    if (const StoredCell* cell = findCell(row, column))
        format.overlay(m_styles[cell->style]);
    return format;
}

bool Sheet::setPrintTitleRows(QAnyStringView rows)
{
    return setPrintTitles(rows.toString(), CellArea::Kind::Rows, m_pageSetup.printTitleRows);
}

bool Sheet::setPrintTitleColumns(QAnyStringView columns)
{
    return setPrintTitles(columns.toString(), CellArea::Kind::Columns, m_pageSetup.printTitleColumns);
}

void Sheet::setLeftMargin(double points)
{
    if (std::isfinite(points) && points >= 0)
        m_pageSetup.leftMargin = points;
    else
        fail(u"неверное левое поле %1"_s.arg(points));
}

void Sheet::setRightMargin(double points)
{
    if (std::isfinite(points) && points >= 0)
        m_pageSetup.rightMargin = points;
    else
        fail(u"неверное правое поле %1"_s.arg(points));
}

void Sheet::addPageBreakBefore(int row)
{
    // The file holds at most 1023 breaks a sheet; the writer carries the rest on to further sheets.
    auto& breaks = m_pageSetup.pageBreaksBefore;
    if (row < 2 || row > CellArea::MaxRow) {
        fail(u"неверный разрыв страницы перед строкой %1"_s.arg(row));
        return;
    }
    const auto at = std::lower_bound(breaks.begin(), breaks.end(), row);
    if (at == breaks.end() || *at != row)
        breaks.insert(at, row);
}

void Sheet::discardRowsFrom(int row)
{
    const auto kept = static_cast<size_t>(std::max(row, 1) - 1);
    if (m_rows.size() > kept)
        m_rows.resize(kept);
    if (m_rowStyles.size() > kept)
        m_rowStyles.resize(kept);
    // The texts of the forgotten cells stay in the store unreferenced: taking back is for a few rows.
    std::erase_if(m_merges, [row](const CellArea& area) { return area.lastRow >= row; });
    std::erase_if(m_pageSetup.pageBreaksBefore, [row](int before) { return before >= row; });
}

int Sheet::rowCount() const
{
    return static_cast<int>(std::max(m_rows.size(), m_rowStyles.size()));
}

int Sheet::columnCount() const
{
    return static_cast<int>(std::max(m_columnStyles.size(), m_columnWidths.size()));
}

std::span<const Sheet::StoredCell> Sheet::cellsOfRow(int row) const
{
    const auto index = static_cast<size_t>(row - 1);
    if (row < 1 || index >= m_rows.size())
        return {};
    return m_rows[index];
}

quint32 Sheet::rowStyle(int row) const
{
    const auto index = static_cast<size_t>(row - 1);
    return row >= 1 && index < m_rowStyles.size() ? m_rowStyles[index] : 0;
}

quint32 Sheet::columnStyle(int column) const
{
    const auto index = static_cast<size_t>(column - 1);
    return column >= 1 && index < m_columnStyles.size() ? m_columnStyles[index] : 0;
}

void Sheet::fail(const QString& problem)
{
    m_problems << problem;
}

Sheet::StoredCell& Sheet::cellAt(int row, int column)
{
    const auto rowIndex = static_cast<size_t>(row - 1);
    if (m_rows.size() <= rowIndex)
        m_rows.resize(rowIndex + 1);
    std::vector<StoredCell>& cells = m_rows[rowIndex];
    StoredCell fresh;
    fresh.column = static_cast<quint16>(column);
    // Print-outs mostly write left to right.
    if (cells.empty() || cells.back().column < column)
        return cells.emplace_back(fresh);
    const auto found = std::lower_bound(cells.begin(), cells.end(), column,
                                        [](const StoredCell& cell, int col) { return cell.column < col; });
    if (found->column == column)
        return *found;
    return *cells.insert(found, fresh);
}

const Sheet::StoredCell* Sheet::findCell(int row, int column) const
{
    const auto cells = cellsOfRow(row);
    const auto found = std::lower_bound(cells.begin(), cells.end(), column,
                                        [](const StoredCell& cell, int col) { return cell.column < col; });
    return found != cells.end() && found->column == column ? &*found : nullptr;
}

void Sheet::setNumber(const CellArea& area, double value)
{
    for (int row = area.firstRow; row <= area.lastRow; ++row) {
        for (int column = area.firstColumn; column <= area.lastColumn; ++column) {
            StoredCell& cell = cellAt(row, column);
            cell.kind = ValueKind::Number;
            cell.number = value;
        }
    }
}

void Sheet::setText(const CellArea& area, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    for (int row = area.firstRow; row <= area.lastRow; ++row) {
        for (int column = area.firstColumn; column <= area.lastColumn; ++column) {
            StoredCell& cell = cellAt(row, column);
            if (utf8.isEmpty())
                cell.kind = ValueKind::Empty;
            else
                storeText(cell, utf8);
        }
    }
}

void Sheet::storeText(StoredCell& cell, const QByteArray& utf8)
{
    // A text no longer than the one it replaces takes its place; otherwise the store grows. No two
    // cells share a text, so a rewrite in place cannot change another cell.
    if (cell.kind == ValueKind::Text && std::strlen(utf8Text(cell)) >= static_cast<size_t>(utf8.size())) {
        std::memcpy(m_texts.data() + cell.textOffset, utf8.constData(), static_cast<size_t>(utf8.size()) + 1);
        return;
    }
    cell.textOffset = m_texts.size();
    m_texts.insert(m_texts.end(), utf8.constData(), utf8.constData() + utf8.size() + 1);
    cell.kind = ValueKind::Text;
}

void Sheet::applyFormat(const CellArea& area, const CellFormat& patch)
{
    const auto restyleAll = [&](std::vector<quint32>& styles, int first, int last) {
        if (styles.size() < static_cast<size_t>(last))
            styles.resize(static_cast<size_t>(last), 0);
        for (int i = first; i <= last; ++i)
            styles[static_cast<size_t>(i - 1)] = restyled(styles[static_cast<size_t>(i - 1)], patch);
    };
    switch (area.kind) {
    case CellArea::Kind::Rows:
        restyleAll(m_rowStyles, area.firstRow, area.lastRow);
        return;
    case CellArea::Kind::Columns:
        restyleAll(m_columnStyles, area.firstColumn, area.lastColumn);
        return;
    case CellArea::Kind::Cells:
        break;
    }
    if (!holdsCells(area, u"оформление"_s))
        return;
    // The cells of a block mostly share a few formats: remember what each became.
    std::vector<std::pair<quint32, quint32>> seen;
    for (int row = area.firstRow; row <= area.lastRow; ++row) {
        for (int column = area.firstColumn; column <= area.lastColumn; ++column) {
            StoredCell& cell = cellAt(row, column);
            const auto known = std::find_if(seen.begin(), seen.end(),
                                            [&](const auto& pair) { return pair.first == cell.style; });
            if (known != seen.end()) {
                cell.style = known->second;
            } else {
                const quint32 old = cell.style;
                cell.style = restyled(old, patch);
                seen.emplace_back(old, cell.style);
            }
        }
    }
}

quint32 Sheet::restyled(quint32 style, const CellFormat& patch)
{
    CellFormat format = m_styles[style];
    format.overlay(patch);
    const auto found = m_styleIds.constFind(format);
    if (found != m_styleIds.cend())
        return found.value();
    const auto id = static_cast<quint32>(m_styles.size());
    m_styles.push_back(format);
    m_styleIds.insert(format, id);
    return id;
}

void Sheet::merge(CellArea area)
{
    // Overlapping merged areas make a file the spreadsheet application calls damaged: take them in.
    for (auto overlapping = m_merges.begin(); overlapping != m_merges.end();) {
        if (overlapping->intersects(area)) {
            area.firstRow = std::min(area.firstRow, overlapping->firstRow);
            area.firstColumn = std::min(area.firstColumn, overlapping->firstColumn);
            area.lastRow = std::max(area.lastRow, overlapping->lastRow);
            area.lastColumn = std::max(area.lastColumn, overlapping->lastColumn);
            m_merges.erase(overlapping);
            overlapping = m_merges.begin();
        } else {
            ++overlapping;
        }
    }
    if (area.cellCount() == 1)
        return;

    // A title is written into the last cell of its row before the row is merged; the merged cell
    // must show it.
    std::optional<StoredCell> kept;
    for (int row = area.firstRow; row <= area.lastRow && row <= static_cast<int>(m_rows.size()); ++row) {
        for (StoredCell& cell : m_rows[static_cast<size_t>(row - 1)]) {
            if (!area.contains(row, cell.column) || cell.kind == ValueKind::Empty)
                continue;
            if (!kept)
                kept = cell;
            cell.kind = ValueKind::Empty;
        }
    }
    if (kept) {
        StoredCell& topLeft = cellAt(area.firstRow, area.firstColumn);
        if (kept->kind == ValueKind::Number)
            topLeft.number = kept->number;
        else
            topLeft.textOffset = kept->textOffset;
        topLeft.kind = kept->kind;
    }
    m_merges.push_back(area);
}

void Sheet::setColumnWidths(int first, int last, double width)
{
    if (!(width >= 0 && width <= maxColumnWidth)) {
        fail(u"ширина столбца %1 вне пределов от 0 до 255"_s.arg(width));
        return;
    }
    if (m_columnWidths.size() < static_cast<size_t>(last))
        m_columnWidths.resize(static_cast<size_t>(last), -1);
    std::fill(m_columnWidths.begin() + (first - 1), m_columnWidths.begin() + last, width);
}

bool Sheet::setPrintTitles(const QString& address, CellArea::Kind kind, std::optional<CellArea>& titles)
{
    const auto area = address.isEmpty() ? std::nullopt : CellArea::parse(address);
    if (!address.isEmpty() && (!area || area->kind != kind)) {
        fail((kind == CellArea::Kind::Rows ? u"неверные строки заголовка для печати «%1»"_s
                                           : u"неверные столбцы заголовка для печати «%1»"_s)
                 .arg(address));
        return false;
    }
    titles = area;
    return true;
}

bool Sheet::holdsCells(const CellArea& area, const QString& operation)
{
    if (area.kind != CellArea::Kind::Cells) {
        fail(u"%1 невозможно для целых строк или столбцов (%2)"_s.arg(operation, area.toString()));
        return false;
    }
    if (area.cellCount() > maxBlockCells) {
        fail(u"%1: область %2 слишком велика"_s.arg(operation, area.toString()));
        return false;
    }
    return true;
}
