#include "XlsxFileWriter.h"

#include "RowAutoFit.h"
#include "store/WholeFile.h"
#include "Workbook.h"

#include <QFile>
#include <QSet>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <locale.h>
#include <span>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// libxlsxwriter prints numbers with the C library, which follows the numeric locale: under a Russian
// locale 1.5 would reach the file as "1,5", which no application reads. The thread writes with the C
// numeric locale while it lasts.
class CNumericLocale
{
public:
    CNumericLocale()
    {
        // newlocale() takes over the copy of the current locale, but not when it fails.
        const locale_t current = duplocale(uselocale(locale_t{}));
        m_locale = current ? newlocale(LC_NUMERIC_MASK, "C", current) : locale_t{};
        if (!m_locale) {
            if (current)
                freelocale(current);
            return;
        }
        m_previous = uselocale(m_locale);
    }
    ~CNumericLocale()
    {
        if (m_locale) {
            uselocale(m_previous);
            freelocale(m_locale);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t m_locale{};
    locale_t m_previous{};
};

// The spreadsheet's standard palette, by colour index 1 to 56.
constexpr std::array<lxw_color_t, 56> palette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// libxlsxwriter reads 0 as "no colour"; black has its own value.
lxw_color_t fileColor(lxw_color_t rgb)
{
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

// The automation gives colours as red + green * 256 + blue * 65536; the file wants 0xRRGGBB.
lxw_color_t fromAutomationColor(int color)
{
    const auto value = static_cast<lxw_color_t>(color);
    return fileColor(((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF));
}

uint8_t fileBorderStyle(const BorderLine& line)
{
    const int weight = line.weight.value_or(BorderWeight::Thin);
    const bool heavy = weight == BorderWeight::Medium || weight == BorderWeight::Thick;
    switch (line.lineStyle.value_or(LineStyle::Continuous)) {
    case LineStyle::Dash:
        return heavy ? LXW_BORDER_MEDIUM_DASHED : LXW_BORDER_DASHED;
    case LineStyle::Dot:
        return weight == BorderWeight::Hairline ? LXW_BORDER_HAIR : LXW_BORDER_DOTTED;
    case LineStyle::Double:
        return LXW_BORDER_DOUBLE;
    case LineStyle::DashDot:
        return heavy ? LXW_BORDER_MEDIUM_DASH_DOT : LXW_BORDER_DASH_DOT;
    case LineStyle::DashDotDot:
        return heavy ? LXW_BORDER_MEDIUM_DASH_DOT_DOT : LXW_BORDER_DASH_DOT_DOT;
    case LineStyle::SlantDashDot:
        return LXW_BORDER_SLANT_DASH_DOT;
    default:
        break;
    }
    if (weight == BorderWeight::Hairline)
        return LXW_BORDER_HAIR;
    if (weight == BorderWeight::Thick)
        return LXW_BORDER_THICK;
    return heavy ? LXW_BORDER_MEDIUM : LXW_BORDER_THIN;
}

void setBorder(lxw_format* format, Edge edge, const BorderLine& line)
{
    if (!line.isVisible())
        return;
    const uint8_t style = fileBorderStyle(line);
    const int index = line.colorIndex.value_or(0);
    const lxw_color_t color =
        index >= 1 && index <= 56 ? fileColor(palette[static_cast<size_t>(index - 1)]) : 0;
    switch (edge) {
    case Edge::Left:
        format_set_left(format, style);
        format_set_left_color(format, color);
        break;
    case Edge::Right:
        format_set_right(format, style);
        format_set_right_color(format, color);
        break;
    case Edge::Top:
        format_set_top(format, style);
        format_set_top_color(format, color);
        break;
    case Edge::Bottom:
        format_set_bottom(format, style);
        format_set_bottom_color(format, color);
        break;
    }
}

// The name of a sheet's continuation: "Name (2)", the name shortened to leave the number room within
// the format's 31 characters.
QString continuationName(const QString& name, int part)
{
    const QString number = u" (%1)"_s.arg(part + 1);
    return name.left(31 - number.size()) + number;
}

struct StyleKey
{
    quint32 column;
    quint32 row;
    quint32 cell;
    bool operator==(const StyleKey&) const = default;
};

struct StyleKeyHash
{
    size_t operator()(const StyleKey& key) const noexcept
    {
        return qHashMulti(0, key.column, key.row, key.cell);
    }
};

// One run of writing: the file's formats, shared by all sheets, and the first error.
class FileBuilder
{
public:
    FileBuilder(lxw_workbook* workbook, const XlsxFileWriter::Progress& progress, int totalRows)
        : m_workbook(workbook), m_progress(progress), m_totalRows(totalRows)
    {
    }

    // A sheet with more manual page breaks than the file format holds goes on in further worksheets,
    // each beginning where a page would, under a copy of the sheet's print title rows.
    bool writeSheet(const Sheet& sheet);
    QString error() const { return m_error; }

private:
    // A cell's column, row and own format taken together.
    struct Combined
    {
        lxw_format* file;
        CellFormat format;
        double lineHeight;
    };

    // The rows of a sheet one worksheet holds, in the order written: the print title rows copied on
    // top of a continuation, then the part's own rows.
    struct Part
    {
        std::vector<std::pair<int, int>> ranges; // first and last row of the sheet
        std::span<const int> breaks;             // the page breaks among the part's own rows
        int rowCount() const;
        bool holds(int row) const;
        // The worksheet's row, from 0, of a row of the sheet the part holds.
        lxw_row_t fileRow(int row) const;
    };

    bool writePart(const Sheet& sheet, const Part& part, const QString& name);
    bool writeColumns(const Sheet& sheet, lxw_worksheet* worksheet);
    bool writeMerges(const Sheet& sheet, const Part& part, lxw_worksheet* worksheet);
    bool writeRows(const Sheet& sheet, const Part& part, lxw_worksheet* worksheet);
    bool writePageSetup(const Sheet& sheet, const Part& part, lxw_worksheet* worksheet);
    lxw_format* formatFor(const CellFormat& format);
    bool check(lxw_error result, const Sheet& sheet, const QString& what);

    lxw_workbook* m_workbook;
    const XlsxFileWriter::Progress& m_progress;
    int m_totalRows;    // of the whole workbook
    int m_rowsDone = 0; // of the sheets written before the current one
    QHash<CellFormat, lxw_format*> m_formats;
    // Of the sheet being written, the last column holding a cell or a merge: the print area of each of
    // its worksheets, so that all print at one scale.
    int m_usedColumns = 0;
    QString m_error;
};

int FileBuilder::Part::rowCount() const
{
    int rows = 0;
    for (const auto& [first, last] : ranges)
        rows += last - first + 1;
    return rows;
}

bool FileBuilder::Part::holds(int row) const
{
    return std::any_of(ranges.cbegin(), ranges.cend(),
                       [row](const auto& range) { return row >= range.first && row <= range.second; });
}

lxw_row_t FileBuilder::Part::fileRow(int row) const
{
    int before = 0;
    for (const auto& [first, last] : ranges) {
        if (row >= first && row <= last)
            return static_cast<lxw_row_t>(before + row - first);
        before += last - first + 1;
    }
    return 0;
}

bool FileBuilder::writeSheet(const Sheet& sheet)
{
    m_usedColumns = 0;
    for (const CellArea& area : sheet.merges())
        m_usedColumns = std::max(m_usedColumns, area.lastColumn);
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        const auto cells = sheet.cellsOfRow(row);
        if (!cells.empty())
            m_usedColumns = std::max(m_usedColumns, int(cells.back().column));
    }
    // Each worksheet holds the most breaks the format allows; the break after them begins the next.
    const std::vector<int>& breaks = sheet.pageSetup().pageBreaksBefore;
    const auto& titles = sheet.pageSetup().printTitleRows;
    constexpr size_t perPart = LXW_BREAKS_MAX;
    int first = 1;
    for (size_t part = 0, at = 0;; ++part, at += perPart + 1) {
        const size_t count = std::min(perPart, breaks.size() - std::min(at, breaks.size()));
        const bool more = at + count < breaks.size();
        const int last = more ? breaks[at + count] - 1 : sheet.rowCount();
        Part written{{}, std::span(breaks).subspan(std::min(at, breaks.size()), count)};
        if (part > 0 && titles && titles->lastRow < first)
            written.ranges.emplace_back(titles->firstRow, titles->lastRow);
        written.ranges.emplace_back(first, last);
        if (!writePart(sheet, written, part == 0 ? sheet.name() : continuationName(sheet.name(), int(part))))
            return false;
        if (!more)
            return true;
        first = last + 1;
    }
}

bool FileBuilder::writePart(const Sheet& sheet, const Part& part, const QString& name)
{
    const QByteArray utf8 = name.toUtf8();
    if (!check(workbook_validate_sheet_name(m_workbook, utf8.constData()), sheet, u"имя листа"_s))
        return false;
    lxw_worksheet* worksheet = workbook_add_worksheet(m_workbook, utf8.constData());
    if (!worksheet)
        return check(LXW_ERROR_MEMORY_MALLOC_FAILED, sheet, u"новый лист"_s);
    // Merged areas before the cells: the cells written after them carry their own values and formats.
    return writeColumns(sheet, worksheet) && writeMerges(sheet, part, worksheet) &&
           writeRows(sheet, part, worksheet) && writePageSetup(sheet, part, worksheet);
}

bool FileBuilder::writeColumns(const Sheet& sheet, lxw_worksheet* worksheet)
{
    // In runs of the same width and format.
    for (int first = 1, last = 1; first <= sheet.columnCount(); first = last + 1) {
        const auto width = sheet.columnWidth(first);
        const quint32 style = sheet.columnStyle(first);
        for (last = first; last < sheet.columnCount() && sheet.columnWidth(last + 1) == width &&
                           sheet.columnStyle(last + 1) == style;
             ++last) {
        }
        if ((width || style) &&
            !check(worksheet_set_column(worksheet, static_cast<lxw_col_t>(first - 1),
                                        static_cast<lxw_col_t>(last - 1), width.value_or(LXW_DEF_COL_WIDTH),
                                        formatFor(sheet.style(style))),
                   sheet, u"столбцы %1–%2"_s.arg(first).arg(last)))
            return false;
    }
    return true;
}

bool FileBuilder::writeMerges(const Sheet& sheet, const Part& part, lxw_worksheet* worksheet)
{
    for (const CellArea& area : sheet.merges()) {
        // An area goes where its first row goes, cut at the end of the rows written with it.
        const auto range = std::find_if(part.ranges.cbegin(), part.ranges.cend(), [&](const auto& r) {
            return area.firstRow >= r.first && area.firstRow <= r.second;
        });
        if (range == part.ranges.cend())
            continue;
        const int lastRow = std::min(area.lastRow, range->second);
        if (lastRow == area.firstRow && area.lastColumn == area.firstColumn)
            continue;
        if (!check(worksheet_merge_range(worksheet, part.fileRow(area.firstRow),
                                         static_cast<lxw_col_t>(area.firstColumn - 1), part.fileRow(lastRow),
                                         static_cast<lxw_col_t>(area.lastColumn - 1), "", nullptr),
                   sheet, area.toString()))
            return false;
    }
    return true;
}

bool FileBuilder::writeRows(const Sheet& sheet, const Part& part, lxw_worksheet* worksheet)
{
    // Cells of a sheet repeat a few combinations of column, row and own format.
    std::unordered_map<StyleKey, Combined, StyleKeyHash> combinations;
    StyleKey lastKey{0, 0, 0};
    const Combined* last = nullptr;
    const auto combined = [&](const StyleKey& key) {
        if (last && key == lastKey)
            return last;
        auto found = combinations.find(key);
        if (found == combinations.end()) {
            CellFormat format = sheet.style(key.column);
            format.overlay(sheet.style(key.row));
            format.overlay(sheet.style(key.cell));
            const double line = RowAutoFit::lineHeight(format);
            found = combinations.emplace(key, Combined{formatFor(format), std::move(format), line}).first;
        }
        lastKey = key;
        last = &found->second;
        return last;
    };
    // A merged cell's text does not make its row taller, as in a spreadsheet application.
    QSet<QPair<int, int>> mergedCells;
    for (const CellArea& area : sheet.merges())
        mergedCells.insert({area.firstRow, area.firstColumn});

    int done = 0;
    for (const auto& [firstRow, lastRow] : part.ranges) {
        for (int row = firstRow; row <= lastRow; ++row) {
            // A block of rows at a time: a progress per row would cost more than the row.
            ++done;
            if (m_progress && done % 500 == 0 &&
                !m_progress(std::min(100, int(qint64(m_rowsDone + done) * 100 / std::max(m_totalRows, 1))))) {
                m_error = u"запись остановлена"_s;
                return false;
            }
            // The part's rows follow one another in the worksheet.
            const auto fileRow = static_cast<lxw_row_t>(done - 1);
            const quint32 rowStyle = sheet.rowStyle(row);
            double height = rowStyle ? RowAutoFit::lineHeight(sheet.style(rowStyle)) : 0;
            const auto cells = sheet.cellsOfRow(row);
            for (const Sheet::StoredCell& cell : cells) {
                // An emptied cell without a format of its own is shown by its row and column.
                if (cell.kind == Sheet::ValueKind::Empty && cell.style == 0)
                    continue;
                const auto fileColumn = static_cast<lxw_col_t>(cell.column - 1);
                const Combined* format = combined({sheet.columnStyle(cell.column), rowStyle, cell.style});
                height = std::max(height, format->lineHeight);
                lxw_error result = LXW_NO_ERROR;
                switch (cell.kind) {
                case Sheet::ValueKind::Number:
                    result =
                        worksheet_write_number(worksheet, fileRow, fileColumn, cell.number, format->file);
                    break;
                case Sheet::ValueKind::Text:
                    result = worksheet_write_string(worksheet, fileRow, fileColumn, sheet.utf8Text(cell),
                                                    format->file);
                    if (RowAutoFit::dependsOnText(format->format)) {
                        const auto width = mergedCells.contains({row, cell.column})
                                               ? std::nullopt
                                               : std::optional(sheet.columnWidth(cell.column)
                                                                   .value_or(RowAutoFit::DefaultColumnWidth));
                        height = std::max(
                            height, RowAutoFit::cellHeight(format->format, sheet.utf8Text(cell), width));
                    }
                    break;
                case Sheet::ValueKind::Empty:
                    result = worksheet_write_blank(worksheet, fileRow, fileColumn, format->file);
                    break;
                }
                if (result != LXW_NO_ERROR)
                    return check(
                        result, sheet,
                        CellArea{CellArea::Kind::Cells, row, cell.column, row, cell.column}.toString());
            }
            // Rows of the default height are left for the application to fit.
            const bool taller = height > RowAutoFit::DefaultHeight;
            if ((rowStyle || taller) &&
                !check(worksheet_set_row(worksheet, fileRow, taller ? height : LXW_DEF_ROW_HEIGHT,
                                         rowStyle ? formatFor(sheet.style(rowStyle)) : nullptr),
                       sheet, u"строка %1"_s.arg(row)))
                return false;
        }
    }
    m_rowsDone += done;
    return true;
}

bool FileBuilder::writePageSetup(const Sheet& sheet, const Part& part, lxw_worksheet* worksheet)
{
    const PageSetup& page = sheet.pageSetup();
    if (page.orientation == PageOrientation::Landscape)
        worksheet_set_landscape(worksheet);
    worksheet_set_paper(worksheet, static_cast<uint8_t>(page.paperSize));
    if (!part.breaks.empty()) {
        // Zero-terminated; libxlsxwriter's zero-based row is the one the new page begins with.
        std::vector<lxw_row_t> breaks;
        for (const int row : part.breaks)
            breaks.push_back(part.fileRow(row));
        breaks.push_back(0);
        if (!check(worksheet_set_h_pagebreaks(worksheet, breaks.data()), sheet, u"разрывы страниц"_s))
            return false;
    }
    // The cells are what prints, as the spreadsheet application takes its used range: text running on
    // past the last column would otherwise add pages holding nothing but its tail.
    const int rows = part.rowCount();
    if (m_usedColumns > 0 && rows > 0 &&
        !check(worksheet_print_area(worksheet, 0, 0, static_cast<lxw_row_t>(rows - 1),
                                    static_cast<lxw_col_t>(m_usedColumns - 1)),
               sheet, u"область печати"_s))
        return false;
    if (page.onePageWide)
        worksheet_fit_to_pages(worksheet, 1, 0);
    // Points in the automation interface, inches in the file; -1 keeps the default.
    if (page.leftMargin || page.rightMargin)
        worksheet_set_margins(worksheet, page.leftMargin ? *page.leftMargin / 72 : -1,
                              page.rightMargin ? *page.rightMargin / 72 : -1, -1, -1);
    // A continuation has the title rows on top: its own rows 1 on.
    if (const auto& titles = page.printTitleRows;
        titles && part.holds(titles->firstRow) && part.holds(titles->lastRow) &&
        !check(
            worksheet_repeat_rows(worksheet, part.fileRow(titles->firstRow), part.fileRow(titles->lastRow)),
            sheet, titles->toString()))
        return false;
    const auto& columns = page.printTitleColumns;
    return !columns ||
           check(worksheet_repeat_columns(worksheet, static_cast<lxw_col_t>(columns->firstColumn - 1),
                                          static_cast<lxw_col_t>(columns->lastColumn - 1)),
                 sheet, columns->toString());
}

lxw_format* FileBuilder::formatFor(const CellFormat& format)
{
    static const CellFormat plain;
    if (format == plain)
        return nullptr;
    const auto found = m_formats.constFind(format);
    if (found != m_formats.cend())
        return found.value();

    lxw_format* made = workbook_add_format(m_workbook);
    if (format.fontName)
        format_set_font_name(made, format.fontName->toUtf8().constData());
    if (format.fontSize)
        format_set_font_size(made, *format.fontSize);
    if (format.bold.value_or(false))
        format_set_bold(made);
    if (format.fontColor)
        format_set_font_color(made, fromAutomationColor(*format.fontColor));
    switch (format.horizontalAlignment.value_or(HAlign::General)) {
    case HAlign::General:
        break;
    case HAlign::Left:
        format_set_align(made, LXW_ALIGN_LEFT);
        break;
    case HAlign::Center:
        format_set_align(made, LXW_ALIGN_CENTER);
        break;
    case HAlign::Right:
        format_set_align(made, LXW_ALIGN_RIGHT);
        break;
    }
    if (format.verticalAlignment) {
        switch (*format.verticalAlignment) {
        case VAlign::Top:
            format_set_align(made, LXW_ALIGN_VERTICAL_TOP);
            break;
        case VAlign::Center:
            format_set_align(made, LXW_ALIGN_VERTICAL_CENTER);
            break;
        case VAlign::Bottom:
            format_set_align(made, LXW_ALIGN_VERTICAL_BOTTOM);
            break;
        }
    }
    if (format.wrapText.value_or(false))
        format_set_text_wrap(made);
    if (format.orientation.value_or(0) != 0)
        format_set_rotation(made, static_cast<int16_t>(*format.orientation));
    if (format.numberFormat && !format.numberFormat->isEmpty())
        format_set_num_format(made, format.numberFormat->toUtf8().constData());
    for (int edge = 1; edge <= 4; ++edge)
        setBorder(made, static_cast<Edge>(edge), format.border(static_cast<Edge>(edge)));
    m_formats.insert(format, made);
    return made;
}

bool FileBuilder::check(lxw_error result, const Sheet& sheet, const QString& what)
{
    if (result == LXW_NO_ERROR)
        return true;
    if (m_error.isEmpty())
        m_error = u"лист «%1», %2: %3"_s.arg(sheet.name(), what, QString::fromUtf8(lxw_strerror(result)));
    return false;
}

// Runs 'work' with standard error sent nowhere. Another thread's message in that moment is lost too,
// which is the lesser evil against English error lines on a user's terminal.
template <typename Work> auto withoutLibraryMessages(Work&& work)
{
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && nowhere >= 0)
        ::dup2(nowhere, STDERR_FILENO);
    auto result = work();
    const int workErrno = errno;
    std::fflush(stderr);
    if (saved >= 0 && nowhere >= 0)
        ::dup2(saved, STDERR_FILENO);
    if (nowhere >= 0)
        ::close(nowhere);
    if (saved >= 0)
        ::close(saved);
    errno = workErrno;
    return result;
}

} // namespace

std::optional<QByteArray> XlsxFileWriter::bytes(const Workbook& workbook, const Progress& progress)
{
    m_error.clear();
    // The library writes into a file of memory, so that its own trouble with a full or failing disk
    // never arises: the bytes then reach the disk whole or not at all, with the reason in Russian.
    const int memory = ::memfd_create("kuhnemer-xlsx", MFD_CLOEXEC);
    if (memory < 0) {
        m_error = u"не хватает памяти для таблицы: %1"_s.arg(systemErrorText(errno));
        return std::nullopt;
    }
    const QByteArray path = "/proc/self/fd/" + QByteArray::number(memory);
    const CNumericLocale cNumbers;
    lxw_workbook* file = workbook_new(path.constData());
    if (!file) {
        ::close(memory);
        m_error = u"не хватает памяти для таблицы"_s;
        return std::nullopt;
    }
    int totalRows = 0;
    for (int number = 1; number <= workbook.sheetCount(); ++number)
        totalRows += workbook.sheet(number).rowCount();
    FileBuilder builder(file, progress, totalRows);
    bool written = true;
    for (int number = 1; written && number <= workbook.sheetCount(); ++number)
        written = builder.writeSheet(workbook.sheet(number));
    // Closing writes the file and frees the workbook, so it is called whatever happened before. The
    // library tells its trouble on standard error in English: the user gets it in Russian instead.
    errno = 0;
    const lxw_error closed = withoutLibraryMessages([file] { return workbook_close(file); });
    const int closeErrno = errno;
    if (!written)
        m_error = builder.error();
    else if (closed != LXW_NO_ERROR)
        m_error = u"таблица не собрана во временных файлах: %1 (%2)"_s.arg(
            closeErrno != 0 ? systemErrorText(closeErrno) : u"не хватает памяти"_s,
            QString::fromUtf8(lxw_strerror(closed)));
    std::optional<QByteArray> result;
    if (m_error.isEmpty()) {
        struct stat info
        {
        };
        if (::fstat(memory, &info) == 0) {
            QByteArray data(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
            if (::pread(memory, data.data(), static_cast<size_t>(data.size()), 0) == data.size())
                result = std::move(data);
        }
        if (!result)
            m_error = u"таблица не прочитана из памяти: %1"_s.arg(systemErrorText(errno));
    }
    ::close(memory);
    return result;
}

bool XlsxFileWriter::write(const Workbook& workbook, const QString& path)
{
    const std::optional<QByteArray> data = bytes(workbook);
    return data && writeWholeFile(path, *data, &m_error);
}
