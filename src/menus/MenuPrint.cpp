#include "MenuPrint.h"

#include "MenuBook.h"
#include "MenuPrintSettings.h"
#include "reports/FormStyle.h"
#include "reports/PrintJob.h"
#include "reports/Workbook.h"
#include "store/Database.h"
#include "store/Rounding.h"

#include <QSqlQuery>

#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

constexpr int lastColumn = 9;           // I: headings and the title span A to I
constexpr int underlinedColumns = 8;    // A to H
constexpr int yieldColumn = 7;          // G
constexpr int priceColumn = 8;          // H
constexpr int signatureLastColumn = 26; // Z

struct Entry
{
    QString dish;
    QString yield;
    double price = 0;
    QString description;
    QString group;
};

struct Signature
{
    QString position;
    QString name;
};

} // namespace

QString MenuPrint::priceText(double price, const QString& wholeWord, const QString& fractionWord)
{
    // To the kopeck before splitting: 12.996 must not read "12р 100к", nor 12.001 "12р 0к".
    const double kopecks = rounding::toKopeck(price);
    const double whole = std::trunc(kopecks);
    const int fraction = rounding::toInt((kopecks - whole) * 100);
    QString text = QString::number(qlonglong(whole)) + wholeWord;
    if (fraction > 0)
        text += u' ' + QString::number(fraction) + fractionWord;
    return text;
}

QString MenuPrint::skippedNotice(int skipped)
{
    if (skipped <= 0)
        return {};
    return u"Строк меню не напечатано: %1 (блюд этих строк больше нет в справочнике блюд)."_s.arg(skipped);
}

bool MenuPrint::fill(Workbook& workbook, qlonglong menu, const MenuPrintOptions& options, QString* error,
                     const Progress& progress, int* skipped) const
{
    std::vector<Entry> entries;
    int gone = 0;
    QString order;
    for (const QString& field : MenuBook::entryOrder())
        order += (order.isEmpty() ? u"s."_s : u", s."_s) + field;
    // The group shown is the dish's group now, not the one the entry recorded.
    if (!forEachRow(
            m_db,
            u"SELECT b.Name, b.Vixod, s.CenaProd, s.Opis, g.Name, b.Kod1 IS NULL FROM MenuSp s "
            "LEFT JOIN Bludo b ON b.Kod1 = s.Name LEFT JOIN Grbludo g ON g.Kod = b.Kod "
            "WHERE s.Kod = ? AND s.Status = 1 ORDER BY "_s +
                order,
            {menu},
            [&](const QSqlQuery& q) {
                // A dish that is gone has no name, yield or group: it would print as an empty heading.
                if (q.value(5).toBool()) {
                    ++gone;
                    return;
                }
                entries.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toDouble(),
                                   q.value(3).toString(), q.value(4).toString()});
            },
            error))
        return false;
    if (skipped)
        *skipped = gone;
    std::vector<Signature> signatures;
    if (!forEachRow(
            m_db, u"SELECT Dol, Fam, Nam, Ot FROM Podpis ORDER BY Poradok, Kod"_s,
            [&](const QSqlQuery& q) {
                QStringList name;
                for (int i = 1; i <= 3; ++i)
                    name << q.value(i).toString();
                signatures.push_back({q.value(0).toString(), name.join(u' ')});
            },
            error))
        return false;

    const QStringList& texts = options.texts;
    const auto text = [&texts](MenuPrintSettings::Line line) { return texts.value(line); };
    const QString date = options.date.toString(u"dd.MM.yyyy"_s) + u" г."_s;

    Sheet& sheet = workbook.sheet(1);
    sheet.setName(u"Меню на "_s + date);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    sheet.setOnePageWide(true);
    sheet.setPrintTitleRows(u"$3:$3");
    sheet.range(u"A:I").setColumnWidth(8.3);
    sheet.setColumnWidth(yieldColumn, 12.5);
    sheet.setColumnWidth(6, 9);
    sheet.column(yieldColumn).setHorizontalAlignment(HAlign::Left);
    sheet.column(priceColumn).setNumberFormat(u"0.00"_s);

    sheet.cell(1, lastColumn).setValue(u"Меню"_s);
    sheet.range(u"A1:I1").merge();
    setRowFont(sheet, 1, 26, true);
    centre(sheet.range(u"A1:I1"));
    sheet.cell(2, 1).setValue(date);
    setRowFont(sheet, 2, 14, false);
    sheet.cell(3, 1).setValue(text(MenuPrintSettings::NameHeading));
    sheet.cell(3, yieldColumn).setValue(text(MenuPrintSettings::YieldHeading));
    sheet.cell(3, priceColumn).setValue(text(MenuPrintSettings::PriceHeading));
    setRowFont(sheet, 3, 14, true);
    sheet.cell(3, priceColumn).setHorizontalAlignment(HAlign::Right);

    int c = 0; // the current sheet row is c + 4
    QString lastGroup;
    const int count = int(entries.size());
    for (int k = 0; k < count; ++k) {
        const Entry& entry = entries[k];
        if (progress && !progress(rounding::toInt(double(k + 1) / count * 100))) {
            *error = PrintJob::cancelledText();
            return false;
        }
        if (entry.group != lastGroup) {
            const int row = c + 4;
            sheet.cell(row, lastColumn).setValue(entry.group);
            sheet.range(row, 1, row, lastColumn).merge();
            setRowFont(sheet, row, 18, true);
            centre(sheet.range(row, 1, row, lastColumn));
            lastGroup = entry.group;
            ++c;
        }
        const int row = c + 4;
        setRowFont(sheet, row, 16, false);
        sheet.cell(row, 1).setValue(entry.dish);
        sheet.cell(row, yieldColumn).setValue(entry.yield);
        sheet.cell(row, priceColumn)
            .setValue(priceText(entry.price, text(MenuPrintSettings::WholeWord),
                                text(MenuPrintSettings::FractionWord)));
        if (options.underline)
            bottomRule(sheet.range(row, 1, row, underlinedColumns));
        if (!entry.description.isEmpty()) {
            setRowFont(sheet, row + 1, 12, false);
            sheet.cell(row + 1, 2).setValue(entry.description);
            c += 2;
        } else {
            ++c;
        }
    }

    const int first = c + 5; // one empty row after the body
    const int s = int(signatures.size());
    Range block = sheet.range(first, 1, c + s + 6, signatureLastColumn);
    block.font().setSize(14).setBold(false);
    block.setHorizontalAlignment(HAlign::Left);
    for (int i = 0; i < s; ++i) {
        sheet.cell(first + i, 1).setValue(signatures[i].position);
        sheet.cell(first + i, yieldColumn).setValue(signatures[i].name);
    }
    return true;
}
