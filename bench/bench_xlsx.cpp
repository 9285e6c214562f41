// Writes a sheet of 200,000 rows of 8 cells through the workbook model and, for comparison, the same
// cells straight through libxlsxwriter, and prints both times and their ratio.
//
//   bench_xlsx [rows]

#include "reports/Workbook.h"
#include "reports/XlsxFileWriter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int columnCount = 8;
// Every so many rows a group heading in bold, as in the longer print-outs.
constexpr int headingEvery = 25;
constexpr int firstDataRow = 3;

// The texts of a row, prepared before any clock runs so both writers get the same input.
struct RowTexts
{
    QString name;
    QString unit;
    QString note;
};

struct Data
{
    std::vector<RowTexts> texts;
    std::vector<QByteArray> names;
    std::vector<QByteArray> units;
    std::vector<QByteArray> notes;
};

Data makeData(int rows)
{
    static const char* const units[] = {"кг", "л", "шт", "уп"};
    Data data;
    data.texts.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        RowTexts texts{u"Ингредиент № %1"_s.arg(row + 1), QString::fromUtf8(units[row % 4]),
                       row % 3 == 0 ? u"склад %1"_s.arg(row % 17) : QString()};
        data.names.push_back(texts.name.toUtf8());
        data.units.push_back(texts.unit.toUtf8());
        data.notes.push_back(texts.note.toUtf8());
        data.texts.push_back(std::move(texts));
    }
    return data;
}

double quantity(int row, int column)
{
    return (row % 1000) * 0.125 + column * 1.5;
}

bool isHeading(int row)
{
    return row % headingEvery == 0;
}

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

struct OurTimes
{
    double fill = 0;
    double write = 0;
};

void fillModel(Workbook& book, const Data& data)
{
    Sheet& sheet = book.sheet(1);
    sheet.setName(u"Расход"_s);
    sheet.columns(1, columnCount).setColumnWidth(10.2);
    sheet.columns(4, 5).setNumberFormat(u"0.000"_s);
    sheet.columns(6, 7).setNumberFormat(u"0.00"_s);
    sheet.cell(1, columnCount).setValue(u"Расход ингредиентов"_s);
    sheet.range(u"A1:H1").merge();
    sheet.row(1).font().setSize(16).setBold(true);
    sheet.setPrintTitleRows(u"$2:$2");
    const int rows = static_cast<int>(data.texts.size());
    for (int i = 0; i < rows; ++i) {
        const int row = firstDataRow + i;
        const RowTexts& texts = data.texts[static_cast<size_t>(i)];
        if (isHeading(i))
            sheet.row(row).font().setBold(true);
        sheet.cell(row, 1).setValue(i + 1);
        sheet.cell(row, 2).setValue(texts.name);
        sheet.cell(row, 3).setValue(texts.unit);
        for (int column = 4; column <= 7; ++column)
            sheet.cell(row, column).setValue(quantity(i, column));
        sheet.cell(row, 8).setValue(texts.note);
    }
}

OurTimes writeThroughModel(const Data& data, const QString& path)
{
    OurTimes times;
    QElapsedTimer timer;
    timer.start();
    Workbook book;
    fillModel(book, data);
    times.fill = seconds(timer);

    timer.restart();
    XlsxFileWriter writer;
    if (!writer.write(book, path)) {
        std::fprintf(stderr, "bench_xlsx: %s\n", qPrintable(writer.errorString()));
        std::exit(1);
    }
    times.write = seconds(timer);
    return times;
}

double writeDirectly(const Data& data, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    lxw_workbook* file = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(file, "Расход");
    lxw_format* bold = workbook_add_format(file);
    format_set_bold(bold);
    lxw_format* title = workbook_add_format(file);
    format_set_bold(title);
    format_set_font_size(title, 16);
    // Number formats of the columns, plain and in a bold row.
    lxw_format* numbers[2][2];
    for (int heading = 0; heading < 2; ++heading) {
        for (int decimals = 0; decimals < 2; ++decimals) {
            lxw_format* format = workbook_add_format(file);
            format_set_num_format(format, decimals == 0 ? "0.000" : "0.00");
            if (heading)
                format_set_bold(format);
            numbers[heading][decimals] = format;
        }
    }
    worksheet_set_column(sheet, 0, 2, 10.2, nullptr);
    worksheet_set_column(sheet, 3, 4, 10.2, numbers[0][0]);
    worksheet_set_column(sheet, 5, 6, 10.2, numbers[0][1]);
    worksheet_set_column(sheet, 7, 7, 10.2, nullptr);
    worksheet_set_row(sheet, 0, LXW_DEF_ROW_HEIGHT, title);
    worksheet_merge_range(sheet, 0, 0, 0, columnCount - 1, "Расход ингредиентов", title);
    worksheet_repeat_rows(sheet, 1, 1);
    const int rows = static_cast<int>(data.texts.size());
    for (int i = 0; i < rows; ++i) {
        const auto row = static_cast<lxw_row_t>(firstDataRow - 1 + i);
        const int heading = isHeading(i) ? 1 : 0;
        lxw_format* rowFormat = heading ? bold : nullptr;
        if (heading)
            worksheet_set_row(sheet, row, LXW_DEF_ROW_HEIGHT, bold);
        worksheet_write_number(sheet, row, 0, i + 1, rowFormat);
        worksheet_write_string(sheet, row, 1, data.names[static_cast<size_t>(i)].constData(), rowFormat);
        worksheet_write_string(sheet, row, 2, data.units[static_cast<size_t>(i)].constData(), rowFormat);
        for (int column = 4; column <= 7; ++column)
            worksheet_write_number(sheet, row, static_cast<lxw_col_t>(column - 1), quantity(i, column),
                                   numbers[heading][column <= 5 ? 0 : 1]);
        worksheet_write_string(sheet, row, 7, data.notes[static_cast<size_t>(i)].constData(), rowFormat);
    }
    if (workbook_close(file) != LXW_NO_ERROR) {
        std::fprintf(stderr, "bench_xlsx: libxlsxwriter failed\n");
        std::exit(1);
    }
    return seconds(timer);
}

long statusKilobytes(const char* field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
    QTemporaryDir dir;
    const QString ours = dir.filePath(u"model.xlsx"_s);
    const QString direct = dir.filePath(u"direct.xlsx"_s);
    const Data data = makeData(rows);
    std::printf("%d rows x %d columns = %d cells\n", rows, columnCount, rows * columnCount);
    {
        const long before = statusKilobytes("VmRSS:");
        Workbook book;
        fillModel(book, data);
        std::printf("model in memory: %ld kB\n", statusKilobytes("VmRSS:") - before);
    }

    // Alternating runs, the best of each, so that neither profits from a warmer cache alone.
    constexpr int runs = 3;
    double bestDirect = 1e300;
    OurTimes bestOurs{1e300, 1e300};
    for (int run = 0; run < runs; ++run) {
        const double directTime = writeDirectly(data, direct);
        const OurTimes ourTimes = writeThroughModel(data, ours);
        std::printf("run %d: libxlsxwriter %.3f s; model fill %.3f s + write %.3f s = %.3f s\n", run + 1,
                    directTime, ourTimes.fill, ourTimes.write, ourTimes.fill + ourTimes.write);
        bestDirect = std::min(bestDirect, directTime);
        if (ourTimes.fill + ourTimes.write < bestOurs.fill + bestOurs.write)
            bestOurs = ourTimes;
    }
    const double oursTotal = bestOurs.fill + bestOurs.write;
    std::printf("best: libxlsxwriter %.3f s, model %.3f s (fill %.3f, write %.3f)\n", bestDirect, oursTotal,
                bestOurs.fill, bestOurs.write);
    std::printf("ratio model / libxlsxwriter: %.2f (write alone %.2f)\n", oursTotal / bestDirect,
                bestOurs.write / bestDirect);
    std::printf("files: model %lld bytes, libxlsxwriter %lld bytes; peak resident memory %ld kB\n",
                static_cast<long long>(QFileInfo(ours).size()),
                static_cast<long long>(QFileInfo(direct).size()), statusKilobytes("VmHWM:"));
    return 0;
}
