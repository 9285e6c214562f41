#include "InventoryActPrint.h"

#include "reports/FormStyle.h"
#include "reports/PrintJob.h"
#include "reports/Workbook.h"
#include "store/Database.h"
#include "store/Rounding.h"

#include <QSqlQuery>

#include <vector>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

constexpr int lastColumn = 10; // J

struct ActLine
{
    QString name;
    QString unit;
    double documented = 0;
    double found = 0;
    double price = 0;
};

} // namespace

bool InventoryActPrint::fill(Workbook& workbook, qlonglong inventory, QString* error,
                             const Progress& progress) const
{
    std::vector<ActLine> lines;
    if (!forEachRow(
            m_db,
            u"SELECT v.Ing22, u.Shorthame, v.Oldkolvo, v.NewKolvo, v.Newprice FROM inv v "
            "LEFT JOIN Ing i ON i.Kod1 = v.Ing LEFT JOIN Edinica u ON u.Kod = i.Edinica "
            "WHERE v.Kod = ? ORDER BY v.Ing22 COLLATE %1, v.Nnn"_s.arg(QLatin1String(Database::collation)),
            {inventory},
            [&](const QSqlQuery& q) {
                lines.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toDouble(),
                                 q.value(3).toDouble(), q.value(4).toDouble()});
            },
            error))
        return false;

    Sheet& sheet = workbook.sheet(1);
    sheet.setName(u"Акт инвентаризации"_s);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    sheet.setOnePageWide(true);
    sheet.setPrintTitleRows(u"$3:$3");
    sheet.setPageOrientation(PageOrientation::Landscape);
    const double widths[] = {5, 35, 6.5, 10.5, 9, 9, 9, 9, 9};
    for (int column = 1; column <= 9; ++column)
        sheet.setColumnWidth(column, widths[column - 1]);
    for (int column : {1, 3})
        sheet.column(column).setHorizontalAlignment(HAlign::Center);
    sheet.columns(4, 7).setNumberFormat(u"0.000"_s);
    sheet.columns(8, 9).setNumberFormat(u"0.00"_s);

    sheet.cell(1, 9).setValue(u"Акт инвентаризации"_s);
    centre(sheet.range(u"A1:I1").merge());
    setRowFont(sheet, 1, 26, true);

    const QString headings[] = {u"№"_s,         u"Наименование"_s,
                                u"Ед.изм."_s,   u"К-во по документам"_s,
                                u"В наличии"_s, u"Излишки"_s,
                                u"Недостача"_s, u"Цена за ед."_s,
                                u"Сумма"_s,     u"Сумма недостачи / излишка"_s};
    for (int column = 1; column <= lastColumn; ++column)
        sheet.cell(3, column).setValue(headings[column - 1]);
    setRowFont(sheet, 3, 10, true);
    centre(sheet.row(3).setWrapText(true));
    bottomRule(sheet.range(u"A3:J3"), 3);

    const int n = int(lines.size());
    for (int k = 1; k <= n; ++k) {
        if (progress && !progress(rounding::toInt(double(k) / n * 100))) {
            *error = PrintJob::cancelledText();
            return false;
        }
        const ActLine& line = lines[k - 1];
        const int row = k + 3;
        const double o = line.documented;
        const double f = line.found;
        const double p = line.price;
        sheet.cell(row, 1).setValue(k);
        sheet.cell(row, 2).setValue(line.name);
        sheet.cell(row, 3).setValue(line.unit);
        sheet.cell(row, 4).setValue(o);
        sheet.cell(row, 5).setValue(f);
        if (f > o)
            sheet.cell(row, 6).setValue(f - o);
        if (f < o)
            sheet.cell(row, 7).setValue(o - f);
        sheet.cell(row, 8).setValue(p);
        sheet.cell(row, 9).setValue(f * p);
        sheet.cell(row, 10).setValue((f - o) * p);
        bottomRule(sheet.range(row, 1, row, lastColumn));
    }
    return true;
}
