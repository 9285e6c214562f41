#include "CrossTablePrint.h"

#include "costing/RecipeBook.h"
#include "reports/CellArea.h"
#include "reports/FormStyle.h"
#include "reports/PrintJob.h"
#include "reports/Workbook.h"
#include "SalesDocuments.h"
#include "SalesSummary.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QDate>
#include <QHash>
#include <QSqlQuery>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

constexpr int firstDishColumn = 5; // E
constexpr int headRows = 4;        // the ingredient of map number k stands in row k + 4

struct Line
{
    QString group;
    QString dish;
    double sold = 0;
    qlonglong key = 0;
    double cardPortions = 0; // whole
};

struct ItogRow
{
    qlonglong ingredient = 0;
    QString name;
    double quantity = 0;
    QString unit;
};

// What one card row adds to one cell of the line's column.
struct Share
{
    int line = 0; // index into the printed lines
    int mapNumber = 0;
    double quantity = 0;
};

} // namespace

SalesPrintResult CrossTablePrint::run(qlonglong document, const Progress& progress) const
{
    SalesPrintResult result;
    QString error;
    QString notWhole;
    QSqlQuery head(m_db);
    if (!runQuery(head, u"SELECT DateR, Status FROM Realdoc WHERE Kod = ?"_s, {document}, &error)) {
        result.error = u"Перекрёстная таблица не напечатана: "_s + error;
        return result;
    }
    if (!head.next()) {
        result.error = u"Документ реализации не найден."_s;
        return result;
    }
    const QString date = QDate::fromString(head.value(0).toString(), Qt::ISODate).toString(u"dd.MM.yyyy"_s);
    result.posted = !SalesDocuments::isOpen(head.value(1));

    std::vector<Line> lines;
    std::vector<ItogRow> itog;
    RecipeBook cards;
    bool read =
        forEachRow(
            m_db,
            u"SELECT g.Name, b.Name, s.Kolvo, s.KodBludo, b.Kod1 IS NOT NULL, b.Nporc, s.Nnn FROM Realsum s "
            "LEFT JOIN Grbludo g ON g.Kod = s.KodGrBludo LEFT JOIN Bludo b ON b.Kod1 = s.KodBludo "
            "WHERE s.Kod = ? ORDER BY s.Nnn"_s,
            {document},
            [&](const QSqlQuery& q) {
                if (!isWholeReference(q.value(3)) && notWhole.isEmpty())
                    notWhole = notWholeReference(u"Realsum"_s, q.value(6), u"KodBludo"_s, q.value(3));
                if (!q.value(4).toBool()) {
                    ++result.linesSkipped;
                    return;
                }
                lines.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toDouble(),
                                 rowKey(q.value(3)).value_or(0),
                                 rounding::wholeNumber(q.value(5).toDouble())});
            },
            &error) &&
        forEachRow(
            m_db,
            u"SELECT r.KodIng, i.Name, r.Kolvo, u.Shorthame, r.NNN FROM RealItog r LEFT JOIN Ing i ON i.Kod1 "
            u"= "
            u"r.KodIng "
            "LEFT JOIN Edinica u ON u.Kod = r.Edinica WHERE r.Kod = ? ORDER BY r.KodGrIng, r.KodIng, r.NNN"_s,
            {document},
            [&](const QSqlQuery& q) {
                if (!isWholeReference(q.value(0)) && notWhole.isEmpty())
                    notWhole = notWholeReference(u"RealItog"_s, q.value(4), u"KodIng"_s, q.value(0));
                itog.push_back({rowKey(q.value(0)).value_or(0), q.value(1).toString(), q.value(2).toDouble(),
                                q.value(3).toString()});
            },
            &error) &&
        cards.load(m_db, RecipeSelection{RecipeSelection::Dishes::SalesDocument, document}, &error);
    // A reference that is not whole names no dish or ingredient: refused, never rounded or left out.
    if (read && !notWhole.isEmpty()) {
        read = false;
        error = notWhole;
    }
    if (!read) {
        result.error = u"Перекрёстная таблица не напечатана: "_s + error;
        return result;
    }

    QHash<qlonglong, int> map; // ingredient -> its number, the first row of an ingredient met twice
    for (int k = 0; k < int(itog.size()); ++k)
        map.insert(itog[k].ingredient, map.value(itog[k].ingredient, k + 1));

    // Every share first: a zero divisor refuses the print before anything is written. The table divides
    // by whole portions and yields; a semi-finished product only by its unit and the portions.
    static constexpr Divisors divisors{.portions = DivisorForm::Whole,
                                       .yield = DivisorForm::Whole,
                                       .lineYield = DivisorForm::Whole,
                                       .componentYield = DivisorForm::Whole};
    const auto refuse = [&](const QString& fault) {
        result.error = u"Перекрёстная таблица не напечатана: "_s + fault;
        return std::move(result);
    };
    std::vector<Share> shares;
    for (int m = 0; m < int(lines.size()); ++m) {
        const Line& line = lines[m];
        // The lines and the recipe are read by one filter; a dish deleted between the two reads is refused.
        const RecipeDish* dish = cards.dish(line.key);
        if (!dish)
            return refuse(u"блюда \"%1\" больше нет."_s.arg(line.dish));
        for (const RecipeLine& row : cards.card(line.key)) {
            const RecipeIngredient* ingredient = cards.ingredient(row.ingredient);
            const bool product = ingredient && ingredient->semiFinished;
            std::vector<std::pair<int, const RecipeLine*>> places;
            if (product) {
                for (const RecipeLine& part : cards.composition(row.ingredient)) {
                    if (map.contains(part.ingredient))
                        places.emplace_back(map.value(part.ingredient), &part);
                    else
                        ++result.ingredientsLeftOut;
                }
            } else if (map.contains(row.ingredient)) {
                places.emplace_back(map.value(row.ingredient), nullptr);
            } else {
                ++result.ingredientsLeftOut;
            }
            if (places.empty())
                continue;
            const QString fault = cards.lineFault(*dish, row, divisors);
            if (!fault.isEmpty())
                return refuse(fault);
            const double portion = row.grams / *ingredient->unitGrams / line.cardPortions;
            for (const auto& [number, part] : places) {
                if (!part) {
                    shares.push_back({m, number,
                                      line.sold * portion * 100 / ingredient->wholeYield * 100 /
                                          rounding::wholeNumber(row.yield)});
                    continue;
                }
                const QString partFault = cards.componentFault(*dish, row.ingredient, *part, divisors);
                if (!partFault.isEmpty())
                    return refuse(partFault);
                const RecipeIngredient* component = cards.ingredient(part->ingredient);
                shares.push_back({m, number,
                                  line.sold * (part->grams / *component->unitGrams * portion) * 100 /
                                      component->wholeYield});
            }
        }
    }

    // The scratch map, as other tools may read it: ingredient key and its number.
    std::vector<SalesSummary::IngredientRow> numbers;
    numbers.reserve(itog.size());
    for (int k = 0; k < int(itog.size()); ++k)
        numbers.push_back({itog[k].ingredient, {}, k + 1, {}});
    const bool stored = inTransaction(
        m_db, &error, [&] { return SalesSummary::replaceIngredientRows(m_db, numbers, &error); });
    if (!stored) {
        result.error = u"Перекрёстная таблица не напечатана: "_s + error;
        return result;
    }

    auto workbook = std::make_unique<Workbook>();
    Sheet& sheet = workbook->sheet(1);
    sheet.setName(u"Перекрёстная таблица"_s);
    sheet.setPageOrientation(PageOrientation::Landscape);
    sheet.setPrintTitleRows(u"$4:$4");
    // The numbers and the ingredient names on every page, so the dishes of later pages read too.
    sheet.setPrintTitleColumns(u"$A:$B");
    sheet.range(u"A:II").setColumnWidth(6);
    sheet.setColumnWidth(2, 24.5);
    sheet.setColumnWidth(1, 4);
    for (int column : {1, 4})
        centre(sheet.column(column));
    sheet.cell(1, 10).setValue(u"Раскладка ингредиентов на "_s + date + u" г."_s);
    centre(sheet.range(u"A1:J1").merge());
    setRowFont(sheet, 1, 16, true);

    const int count = int(itog.size());
    for (int k = 1; k <= count; ++k) {
        const ItogRow& row = itog[k - 1];
        const int r = k + headRows;
        sheet.cell(r, 1).setValue(k);
        sheet.cell(r, 2).setValue(row.name);
        sheet.cell(r, 3).setValue(row.quantity);
        sheet.cell(r, 4).setValue(row.unit);
        setRowFont(sheet, r, 10, false);
    }

    for (int r = 2; r <= headRows; ++r)
        setRowFont(sheet, r, 10, false);
    Range heads = sheet.rows(2, headRows);
    heads.setHorizontalAlignment(HAlign::Center);
    sheet.row(2).setVerticalAlignment(VAlign::Bottom).setOrientation(90);
    sheet.rows(3, headRows).setVerticalAlignment(VAlign::Center);
    sheet.cell(2, 1).setValue(u"№"_s);
    sheet.cell(2, 2).setValue(u"Наименование ингредиенты\\блюда"_s).setWrapText(true);
    sheet.range(u"A2:B2").setOrientation(0).setVerticalAlignment(VAlign::Center).font().setSize(14);
    sheet.cell(2, 3).setValue(u"Итого"_s).font().setSize(14).setBold(true);
    sheet.cell(2, 4).setValue(u"Единица измерения"_s);
    sheet.column(3).setNumberFormat(u"0.000"_s);

    // Columns: a narrow one where the group changes, then one per line.
    std::vector<int> columnOf(lines.size());
    int next = firstDishColumn;
    for (int m = 0; m < int(lines.size()); ++m) {
        const Line& line = lines[m];
        if (m == 0 || line.group != lines[m - 1].group) {
            sheet.cell(2, next).setValue(line.group).font().setBold(true);
            sheet.setColumnWidth(next, 2.1);
            sheet.cell(4, next).setValue(next - 4);
            ++next;
        }
        sheet.cell(2, next).setValue(line.dish);
        sheet.cell(3, next).setValue(SalesDocumentPrint::portionsText(line.sold, m_locale) + u" п."_s);
        sheet.cell(4, next).setValue(next - 4);
        columnOf[m] = next++;
    }
    auto share = shares.cbegin();
    for (int m = 0; m < int(lines.size()); ++m) {
        for (; share != shares.cend() && share->line == m; ++share) {
            const int r = share->mapNumber + headRows;
            Range cell = sheet.cell(r, columnOf[m]);
            cell.setValue(cell.value().toDouble() + share->quantity).setNumberFormat(u"0.000"_s);
        }
        if (progress && !progress(rounding::toInt(double(m + 1) / double(lines.size()) * 100))) {
            result.error = PrintJob::cancelledText();
            return result;
        }
    }

    const int lastRow = count == 0 ? 3 : count + headRows;
    sheet.range(u"A2:"_s + CellArea::columnLetters(next - 1) + QString::number(lastRow))
        .borders()
        .setLineStyle(LineStyle::Continuous)
        .setWeight(BorderWeight::Thin)
        .setColorIndex(0);
    result.workbook = std::move(workbook);
    return result;
}
