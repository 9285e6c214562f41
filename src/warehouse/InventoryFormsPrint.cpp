#include "InventoryFormsPrint.h"

#include "reference/OrganisationDetails.h"
#include "reports/AmountInWords.h"
#include "reports/FormStyle.h"
#include "reports/StateForm.h"
#include "reports/Workbook.h"
#include "store/Database.h"
#include "store/Rounding.h"

#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

struct Line
{
    QString name;
    qlonglong ingredient = 0;
    QString unit;
    double book = 0;
    double found = 0;
    double price = 0;

    double foundSum() const { return rounding::toKopeck(found * price); }
    double bookSum() const { return rounding::toKopeck(book * price); }
    // Compared as counted, to the gram: a difference in binary noise is none.
    double difference() const { return rounding::toDecimals(found - book, 3); }
};

struct Document
{
    QDate date;
    std::vector<Line> lines;
};

struct Layout
{
    QString form;
    QString okud;
    QString title;
    QString subtitle;
    int lastColumn = 0;
};

QString dayText(const QDate& date)
{
    return date.isValid() ? date.toString(u"dd.MM.yyyy"_s) : QString();
}

bool readDocument(const QSqlDatabase& db, qlonglong inventory, Document* document, QString* error)
{
    bool exists = false;
    if (!forEachRow(
            db, u"SELECT Date FROM invdok WHERE Kod = ?"_s, {inventory},
            [&](const QSqlQuery& q) {
                exists = true;
                document->date = QDate::fromString(q.value(0).toString(), Qt::ISODate);
            },
            error))
        return false;
    if (!exists) {
        *error = u"Инвентаризация %1 не найдена."_s.arg(inventory);
        return false;
    }
    return forEachRow(
        db,
        u"SELECT v.Ing22, v.Ing, u.Shorthame, v.Oldkolvo, v.NewKolvo, v.Newprice FROM inv v "
        "LEFT JOIN Ing i ON i.Kod1 = v.Ing LEFT JOIN Edinica u ON u.Kod = i.Edinica "
        "WHERE v.Kod = ? ORDER BY v.Ing22 COLLATE %1, v.Nnn"_s.arg(QLatin1String(Database::collation)),
        {inventory},
        [&](const QSqlQuery& q) {
            document->lines.push_back({q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toString(),
                                       q.value(3).toDouble(), q.value(4).toDouble(), q.value(5).toDouble()});
        },
        error);
}

// The head both forms share: approval, codes, organisation, unit, the inventory's dates and the title.
int writeHead(Sheet& sheet, const Layout& layout, const OrganisationDetails& organisation,
              qlonglong inventory, const QDate& date)
{
    const int code = layout.lastColumn;
    const int label = code - 1;
    const int lineEnd = code - 3;
    int row = stateform::writeApproval(sheet, 1, code, u"Унифицированная форма № "_s + layout.form,
                                       u"Утверждена постановлением Госкомстата России от 18.08.98 № 88"_s);
    sheet.cell(row, code).setValue(u"Код"_s).setHorizontalAlignment(HAlign::Center);
    ++row;
    stateform::writeCode(sheet, row++, label, code, u"Форма по ОКУД"_s, layout.okud);
    stateform::writeCode(sheet, row, label, code, u"по ОКПО"_s, organisation.okpo);
    row = stateform::writeCaptionedLine(sheet, row, 1, lineEnd, stateform::organisationLine(organisation),
                                        u"организация"_s);
    row = stateform::writeCaptionedLine(sheet, row, 1, lineEnd, organisation.unit,
                                        u"структурное подразделение"_s);
    sheet.cell(row, 1).setValue(u"Основание для проведения инвентаризации: приказ, постановление, "
                                "распоряжение (ненужное зачеркнуть)"_s);
    stateform::writeCode(sheet, row++, label, code, u"номер"_s, QString());
    stateform::writeCode(sheet, row++, label, code, u"дата"_s, QString());
    stateform::writeCode(sheet, row++, label, code, u"Дата начала инвентаризации"_s, dayText(date));
    stateform::writeCode(sheet, row++, label, code, u"Дата окончания инвентаризации"_s, dayText(date));
    stateform::writeCode(sheet, row++, label, code, u"Вид операции"_s, QString());
    ++row;
    sheet.cell(row, label).setValue(u"Номер документа"_s);
    sheet.cell(row, code).setValue(u"Дата составления"_s);
    setRowFont(sheet, row, 8);
    centre(sheet.range(row, label, row, code).setWrapText(true));
    ++row;
    sheet.cell(row, 2).setValue(layout.title);
    setRowFont(sheet, row, 12, true);
    stateform::writeCode(sheet, row, label - 1, label, QString(), QString::number(inventory));
    stateform::writeCode(sheet, row, code, code, QString(), dayText(date));
    ++row;
    sheet.cell(row, 2).setValue(layout.subtitle);
    setRowFont(sheet, row, 10, true);
    return row + 2;
}

// The table's heading in two rows over the columns' numbers: each group's caption over its columns,
// a column without a group merged down over both rows.
struct Heading
{
    int first;
    int last;
    QString caption;
    QStringList columns; // one per column of the group; empty for a single column
};

int writeTableHeading(Sheet& sheet, int row, std::span<const Heading> headings, int lastColumn)
{
    for (const Heading& heading : headings) {
        sheet.cell(row, heading.first).setValue(heading.caption);
        if (heading.columns.isEmpty()) {
            sheet.range(row, heading.first, row + 1, heading.last).merge();
            continue;
        }
        sheet.range(row, heading.first, row, heading.last).merge();
        for (int k = 0; k < heading.columns.size(); ++k)
            sheet.cell(row + 1, heading.first + k).setValue(heading.columns[k]);
    }
    for (int column = 1; column <= lastColumn; ++column)
        sheet.cell(row + 2, column).setValue(column);
    sheet.range(row + 2, 1, row + 2, lastColumn).setNumberFormat(u"0"_s);
    for (int r = row; r <= row + 2; ++r)
        setRowFont(sheet, r, 8);
    Range all = sheet.range(row, 1, row + 2, lastColumn);
    centre(all.setWrapText(true));
    all.borders()
        .setLineStyle(LineStyle::Continuous)
        .setWeight(BorderWeight::Thin)
        .setColorIndex(ColorIndex::Black);
    sheet.setPrintTitleRows(u"$%1:$%2"_s.arg(row).arg(row + 2));
    return row + 3;
}

void gridRow(Sheet& sheet, int row, int lastColumn)
{
    setRowFont(sheet, row, 9);
    sheet.range(row, 1, row, lastColumn)
        .borders()
        .setLineStyle(LineStyle::Continuous)
        .setWeight(BorderWeight::Thin)
        .setColorIndex(ColorIndex::Black);
}

// "а) количество порядковых номеров ... прописью": a label, then the value over a rule with its
// caption under it.
int writeInWords(Sheet& sheet, int row, int valueColumn, int lastColumn, const QString& label,
                 const QString& words)
{
    sheet.cell(row, 2).setValue(label);
    setRowFont(sheet, row, 9);
    return stateform::writeCaptionedLine(sheet, row, valueColumn, lastColumn, words, u"прописью"_s);
}

// The role in a wide column, the person over the next ones up to the column to sign in.
struct SignatureColumns
{
    int role;
    int person;
    int sign;
};

int writeSignatures(Sheet& sheet, int row, SignatureColumns at,
                    const QList<std::pair<QString, QString>>& people)
{
    for (const auto& [role, person] : people) {
        row = stateform::writeSignature(sheet, row, at.role, at.person, at.sign, role, person);
        setRowFont(sheet, row - 2, 9);
    }
    return row;
}

int writeLines(Sheet& sheet, int row, const QStringList& lines)
{
    for (const QString& line : lines) {
        sheet.cell(row, 1).setValue(line);
        setRowFont(sheet, row++, 9);
    }
    return row;
}

// ИНВ-3: the lines by pages of linesPerPage, each page closed by its totals in figures and words; the
// totals of the whole list, the commission, and the materially responsible person's confirmation.
void fillList(Sheet& sheet, const Document& document, const OrganisationDetails& organisation,
              qlonglong inventory)
{
    constexpr int lastColumn = 13;
    sheet.setName(u"ИНВ-3"_s);
    sheet.setPageOrientation(PageOrientation::Landscape);
    sheet.setOnePageWide(true);
    const double widths[] = {5, 7, 28, 9, 6, 10, 10, 8, 8, 10, 12, 10, 12};
    for (int column = 1; column <= lastColumn; ++column)
        sheet.setColumnWidth(column, widths[column - 1]);
    sheet.columns(10, 10).setNumberFormat(u"0.000"_s);
    sheet.columns(12, 12).setNumberFormat(u"0.000"_s);
    for (int column : {7, 11, 13})
        sheet.column(column).setNumberFormat(u"0.00"_s);

    const Layout layout{u"ИНВ-3"_s, u"0317004"_s, u"ИНВЕНТАРИЗАЦИОННАЯ ОПИСЬ"_s,
                        u"товарно-материальных ценностей"_s, lastColumn};
    int row = writeHead(sheet, layout, organisation, inventory, document.date);
    constexpr SignatureColumns signatures{3, 4, 8};
    sheet.cell(row++, 2).setValue(u"РАСПИСКА"_s);
    // Lines of their own rather than one wrapped cell: the spreadsheet does not grow a merged row.
    row = writeLines(
        sheet, row,
        {u"К началу проведения инвентаризации все расходные и приходные документы на ценности сданы в "
         "бухгалтерию и все ценности, поступившие"_s,
         u"на мою (нашу) ответственность, оприходованы, а выбывшие списаны в расход."_s});
    row = writeSignatures(sheet, row, signatures, {{u"Материально ответственное лицо"_s, QString()}});
    sheet.cell(row++, 1).setValue(
        u"Произведено снятие фактических остатков ценностей по состоянию на %1"_s.arg(
            dayText(document.date)));
    ++row;

    // The table starts a page of its own, as the form's pages after the title page do.
    sheet.addPageBreakBefore(row);
    const Heading headings[] = {
        {1, 1, u"Номер по порядку"_s, {}},
        {2, 2, u"Счёт, субсчёт"_s, {}},
        {3,
         4,
         u"Товарно-материальные ценности"_s,
         {u"наименование, характеристика (вид, сорт, группа)"_s, u"код (номенклатурный номер)"_s}},
        {5, 6, u"Единица измерения"_s, {u"код по ОКЕИ"_s, u"наименование"_s}},
        {7, 7, u"Цена, руб. коп."_s, {}},
        {8, 9, u"Номер"_s, {u"инвентарный"_s, u"паспорта"_s}},
        {10, 11, u"Фактическое наличие"_s, {u"количество"_s, u"сумма, руб. коп."_s}},
        {12, 13, u"По данным бухгалтерского учёта"_s, {u"количество"_s, u"сумма, руб. коп."_s}},
    };
    row = writeTableHeading(sheet, row, headings, lastColumn);

    const int count = int(document.lines.size());
    double allQuantity = 0;
    double allSum = 0;
    for (int start = 0; start < count || start == 0; start += InventoryFormsPrint::linesPerPage) {
        if (start > 0)
            sheet.addPageBreakBefore(row);
        const int end = std::min(count, start + InventoryFormsPrint::linesPerPage);
        double quantity = 0;
        double foundSum = 0;
        double bookQuantity = 0;
        double bookSum = 0;
        for (int k = start; k < end; ++k) {
            const Line& line = document.lines[k];
            sheet.cell(row, 1).setValue(k + 1);
            sheet.cell(row, 3).setValue(line.name);
            sheet.cell(row, 4).setValue(double(line.ingredient));
            sheet.cell(row, 6).setValue(line.unit);
            sheet.cell(row, 7).setValue(line.price);
            sheet.cell(row, 10).setValue(line.found);
            sheet.cell(row, 11).setValue(line.foundSum());
            sheet.cell(row, 12).setValue(line.book);
            sheet.cell(row, 13).setValue(line.bookSum());
            gridRow(sheet, row, lastColumn);
            sheet.cell(row, 3).setWrapText(true);
            quantity += line.found;
            foundSum += line.foundSum();
            bookQuantity += line.book;
            bookSum += line.bookSum();
            ++row;
        }
        sheet.cell(row, 3).setValue(u"Итого по странице"_s);
        sheet.cell(row, 10).setValue(rounding::toDecimals(quantity, 3));
        sheet.cell(row, 11).setValue(rounding::toKopeck(foundSum));
        sheet.cell(row, 12).setValue(rounding::toDecimals(bookQuantity, 3));
        sheet.cell(row, 13).setValue(rounding::toKopeck(bookSum));
        gridRow(sheet, row, lastColumn);
        sheet.row(row).font().setBold(true);
        ++row;
        row = writeInWords(sheet, row, 7, lastColumn, u"а) количество порядковых номеров"_s,
                           amountInWords::lineCount(end - start));
        row = writeInWords(sheet, row, 7, lastColumn, u"б) общее количество единиц, фактически"_s,
                           stateform::quantityInWords(quantity));
        row = writeInWords(sheet, row, 7, lastColumn, u"в) на сумму, руб. коп., фактически"_s,
                           stateform::rublesInWords(foundSum));
        allQuantity += quantity;
        allSum += foundSum;
    }

    ++row;
    sheet.cell(row, 2).setValue(u"Итого по описи:"_s);
    setRowFont(sheet, row++, 9, true);
    row = writeInWords(sheet, row, 7, lastColumn, u"а) количество порядковых номеров"_s,
                       amountInWords::lineCount(count));
    row = writeInWords(sheet, row, 7, lastColumn, u"б) общее количество единиц, фактически"_s,
                       stateform::quantityInWords(allQuantity));
    row = writeInWords(sheet, row, 7, lastColumn, u"в) на сумму, руб. коп., фактически"_s,
                       stateform::rublesInWords(allSum));
    ++row;
    row = writeSignatures(sheet, row, signatures,
                          {{u"Председатель комиссии"_s, organisation.commission1},
                           {u"Члены комиссии"_s, organisation.commission2},
                           {QString(), organisation.commission3}});
    ++row;
    row = writeLines(
        sheet, row,
        {(count > 0
              ? u"Все ценности, поименованные в настоящей инвентаризационной описи с № 1 по № %1, "_s.arg(
                    count)
              : u"Все ценности, поименованные в настоящей инвентаризационной описи, "_s) +
             u"комиссией проверены в натуре в моём (нашем) присутствии"_s,
         u"и внесены в опись, в связи с чем претензий к инвентаризационной комиссии не имею (не имеем). "
         "Ценности, перечисленные в описи, находятся"_s,
         u"на моём (нашем) ответственном хранении."_s});
    row = writeSignatures(sheet, row, signatures, {{u"Материально ответственное лицо"_s, QString()}});
    writeSignatures(sheet, row, signatures, {{u"Указанные в описи данные и расчёты проверил"_s, QString()}});
}

// ИНВ-19: the lines whose counted quantity differs from the books, with the surplus or the shortage
// in quantity and money, their totals in figures and words.
void fillComparison(Sheet& sheet, const Document& document, const OrganisationDetails& organisation,
                    qlonglong inventory)
{
    constexpr int lastColumn = 11;
    sheet.setName(u"ИНВ-19"_s);
    sheet.setPageOrientation(PageOrientation::Landscape);
    sheet.setOnePageWide(true);
    const double widths[] = {5, 30, 9, 7, 10, 9, 9, 11, 13, 11, 13};
    for (int column = 1; column <= lastColumn; ++column)
        sheet.setColumnWidth(column, widths[column - 1]);
    for (int column : {8, 10})
        sheet.column(column).setNumberFormat(u"0.000"_s);
    for (int column : {9, 11})
        sheet.column(column).setNumberFormat(u"0.00"_s);

    const Layout layout{u"ИНВ-19"_s, u"0317021"_s, u"СЛИЧИТЕЛЬНАЯ ВЕДОМОСТЬ"_s,
                        u"результатов инвентаризации товарно-материальных ценностей"_s, lastColumn};
    int row = writeHead(sheet, layout, organisation, inventory, document.date);
    constexpr SignatureColumns signatures{2, 3, 7};
    sheet.cell(row++, 1).setValue(u"по состоянию на %1"_s.arg(dayText(document.date)));
    row = writeSignatures(sheet, row, signatures, {{u"Материально ответственное лицо"_s, QString()}});
    ++row;

    const Heading headings[] = {
        {1, 1, u"Номер по порядку"_s, {}},
        {2, 3, u"Товарно-материальные ценности"_s, {u"наименование"_s, u"код (номенклатурный номер)"_s}},
        {4, 5, u"Единица измерения"_s, {u"код по ОКЕИ"_s, u"наименование"_s}},
        {6, 7, u"Номер"_s, {u"инвентарный"_s, u"паспорта"_s}},
        {8, 9, u"Результаты инвентаризации: излишек"_s, {u"количество"_s, u"сумма, руб. коп."_s}},
        {10, 11, u"Результаты инвентаризации: недостача"_s, {u"количество"_s, u"сумма, руб. коп."_s}},
    };
    row = writeTableHeading(sheet, row, headings, lastColumn);

    int number = 0;
    double surplus = 0;
    double shortage = 0;
    for (const Line& line : document.lines) {
        const double difference = line.difference();
        if (difference == 0)
            continue;
        const double sum = rounding::toKopeck(std::abs(difference) * line.price);
        sheet.cell(row, 1).setValue(++number);
        sheet.cell(row, 2).setValue(line.name).setWrapText(true);
        sheet.cell(row, 3).setValue(double(line.ingredient));
        sheet.cell(row, 5).setValue(line.unit);
        const int column = difference > 0 ? 8 : 10;
        sheet.cell(row, column).setValue(std::abs(difference));
        sheet.cell(row, column + 1).setValue(sum);
        (difference > 0 ? surplus : shortage) += sum;
        gridRow(sheet, row, lastColumn);
        ++row;
    }
    sheet.cell(row, 2).setValue(u"Итого"_s);
    sheet.cell(row, 9).setValue(rounding::toKopeck(surplus));
    sheet.cell(row, 11).setValue(rounding::toKopeck(shortage));
    gridRow(sheet, row, lastColumn);
    sheet.row(row).font().setBold(true);
    row += 2;
    row = writeInWords(sheet, row, 5, lastColumn, u"Излишек на сумму"_s, stateform::rublesInWords(surplus));
    row =
        writeInWords(sheet, row, 5, lastColumn, u"Недостача на сумму"_s, stateform::rublesInWords(shortage));
    ++row;
    writeSignatures(sheet, row, signatures,
                    {{u"Бухгалтер"_s, QString()},
                     {u"Председатель комиссии"_s, organisation.commission1},
                     {u"Материально ответственное лицо"_s, QString()}});
}

} // namespace

bool InventoryFormsPrint::fill(Workbook& workbook, qlonglong inventory, InventoryForm form,
                               QString* error) const
{
    Document document;
    if (!readDocument(m_db, inventory, &document, error))
        return false;
    const std::optional<OrganisationDetails> organisation = OrganisationDetails::load(m_db, error);
    if (!organisation)
        return false;
    Sheet& sheet = workbook.sheet(1);
    if (form == InventoryForm::List)
        fillList(sheet, document, *organisation, inventory);
    else
        fillComparison(sheet, document, *organisation, inventory);
    return true;
}

QString InventoryFormsPrint::title(InventoryForm form, const QDate& date)
{
    const QString name = form == InventoryForm::List ? u"ИНВ-3 Инвентаризационная опись"_s
                                                     : u"ИНВ-19 Сличительная ведомость"_s;
    return date.isValid() ? u"%1 от %2"_s.arg(name, dayText(date)) : name;
}
