#include "SalesDocumentPrint.h"

#include "ConsumptionCalculator.h"
#include "costing/RecipeBook.h"
#include "reports/FormStyle.h"
#include "reports/PrintJob.h"
#include "reports/Workbook.h"
#include "SalesDocuments.h"
#include "SalesTables.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QDate>
#include <QSqlQuery>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

constexpr int lastColumn = 9; // I

struct Line
{
    SoldDish sold;
    qlonglong dish = 0;
    double cardPortions = 0; // whole
    QString yield;
};

// One row of a working card, computed before anything is written.
struct CardFigures
{
    QString name;
    double gross = 0;
    double net = 0;
    QString unit;
};

struct WorkingCard
{
    const Line* line = nullptr;
    std::vector<CardFigures> rows;
};

// The working card of one line; false with *error naming the dish and the figure.
bool computeCard(const Line& line, const RecipeBook& book, WorkingCard& card, QString* error)
{
    // The working card divides by whole portions and whole yields, a semi-finished product's included.
    static constexpr Divisors divisors{.portions = DivisorForm::Whole,
                                       .yield = DivisorForm::Whole,
                                       .lineYield = DivisorForm::Whole,
                                       .productYield = DivisorForm::Whole,
                                       .productLineYield = DivisorForm::Whole,
                                       .componentYield = DivisorForm::Whole};
    const auto refuse = [&](const QString& fault) {
        *error = u"Технологические карты не напечатаны: "_s + fault;
        return false;
    };
    // The lines and the recipe are read by one filter; a dish deleted between the two reads is refused.
    const RecipeDish* found = book.dish(line.dish);
    if (!found)
        return refuse(u"блюда \"%1\" больше нет."_s.arg(line.sold.name));
    const RecipeDish& dish = *found;
    const double sold = line.sold.portions;
    for (const RecipeLine& row : book.card(line.dish)) {
        const QString fault = book.lineFault(dish, row, divisors);
        if (!fault.isEmpty())
            return refuse(fault);
        const RecipeIngredient* ingredient = book.ingredient(row.ingredient);
        const double portion = row.grams / *ingredient->unitGrams / line.cardPortions;
        const double net = sold * portion;
        const double gross = net * 100 / ingredient->wholeYield * 100 / rounding::wholeNumber(row.yield);
        card.rows.push_back(
            {ingredient->semiFinished ? u"П.Ф. - \"%1\""_s.arg(ingredient->name) : ingredient->name, gross,
             net, ingredient->unitName});
        if (!ingredient->semiFinished)
            continue;
        for (const RecipeLine& part : book.composition(ingredient->key)) {
            const QString partFault = book.componentFault(dish, ingredient->key, part, divisors);
            if (!partFault.isEmpty())
                return refuse(partFault);
            const RecipeIngredient* component = book.ingredient(part.ingredient);
            const double partNet = sold * part.grams / *component->unitGrams * portion;
            card.rows.push_back({u"  - "_s + component->name, partNet * 100 / component->wholeYield, partNet,
                                 component->unitName});
        }
    }
    return true;
}

void titleRow(Sheet& sheet, int row, const QString& text, double size)
{
    sheet.cell(row, lastColumn).setValue(text);
    centre(sheet.range(row, 1, row, lastColumn).merge());
    setRowFont(sheet, row, size, true);
}

void writeCards(Sheet& sheet, const QString& date, const std::vector<WorkingCard>& cards,
                const QLocale& locale, const std::function<void(int, int)>& progress)
{
    sheet.setName(u"Технологические карты"_s);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    sheet.setOnePageWide(true);
    sheet.range(u"A:I").setColumnWidth(8.4);
    sheet.columns(6, 7).setNumberFormat(u"0.000"_s);
    titleRow(sheet, 1, u"Технологические карты на приготовление блюд "_s + date, 16);
    int r = 2;
    const int n = int(cards.size());
    for (int k = 0; k < n; ++k) {
        const Line& line = *cards[k].line;
        if (k == 0 || line.sold.group != cards[k - 1].line->sold.group) {
            ++r;
            sheet.cell(r, 1).setValue(line.sold.group);
            setRowFont(sheet, r, 16, true);
            ++r;
        }
        sheet.cell(r, lastColumn)
            .setValue(u"%1 %2 п. (%3)"_s.arg(
                line.sold.name, SalesDocumentPrint::portionsText(line.sold.portions, locale), line.yield));
        centre(sheet.range(r, 1, r, lastColumn).merge());
        setRowFont(sheet, r, 16, false);
        ++r;
        sheet.cell(r, 2).setValue(u"Ингредиенты"_s);
        sheet.cell(r, 6).setValue(u"Брутто"_s);
        sheet.cell(r, 7).setValue(u"Нетто"_s);
        sheet.cell(r, 8).setValue(u"Ед.Изм."_s);
        setRowFont(sheet, r, 12, true);
        sheet.row(r).setVerticalAlignment(VAlign::Center).setHorizontalAlignment(HAlign::General);
        bottomRule(sheet.range(r, 2, r, 8));
        ++r;
        for (const CardFigures& row : cards[k].rows) {
            sheet.cell(r, 2).setValue(row.name);
            sheet.cell(r, 6).setValue(row.gross);
            sheet.cell(r, 7).setValue(row.net);
            sheet.cell(r, 8).setValue(row.unit);
            setRowFont(sheet, r, 12);
            bottomRule(sheet.range(r, 2, r, 8));
            ++r;
        }
        if (progress)
            progress(k + 1, n);
    }
}

} // namespace

QString SalesPrintResult::notice() const
{
    QStringList parts;
    if (linesSkipped > 0)
        parts << u"Строк документа не напечатано: %1 (блюда этих строк больше нет в справочнике блюд)."_s.arg(
            linesSkipped);
    if (ingredientsLeftOut > 0)
        parts << u"Строк калькуляционных карт не разложено: %1 (их ингредиентов нет в расходе документа)."_s
                     .arg(ingredientsLeftOut);
    return parts.join(u'\n');
}

QString SalesDocumentPrint::portionsText(double portions, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(portions, 'g', QLocale::FloatingPointShortest);
}

SalesPrintResult SalesDocumentPrint::run(qlonglong document, const Progress& progress) const
{
    SalesPrintResult result;
    QString error;
    QSqlQuery head(m_db);
    if (!runQuery(head, u"SELECT DateR, NameR, Status FROM Realdoc WHERE Kod = ?"_s, {document}, &error)) {
        result.error = u"Документ не напечатан: "_s + error;
        return result;
    }
    if (!head.next()) {
        result.error = u"Документ реализации не найден."_s;
        return result;
    }
    const QString date =
        QDate::fromString(head.value(0).toString(), Qt::ISODate).toString(u"dd.MM.yyyy"_s) + u" г."_s;
    const QString name = head.value(1).toString();
    result.posted = !SalesDocuments::isOpen(head.value(2));

    std::vector<Line> lines;
    std::vector<ConsumedIngredient> consumed;
    QString notWhole;
    RecipeBook cards;
    const bool read =
        forEachRow(
            m_db,
            u"SELECT g.Name, b.Name, s.Kolvo, s.Cumma, s.KodBludo, b.Kod1 IS NOT NULL, b.Nporc, b.Vixod, "
            u"s.Nnn "
            "FROM Realsum s LEFT JOIN Grbludo g ON g.Kod = s.KodGrBludo "
            "LEFT JOIN Bludo b ON b.Kod1 = s.KodBludo WHERE s.Kod = ? AND s.Kolvo <> 0 ORDER BY s.Nnn"_s,
            {document},
            [&](const QSqlQuery& q) {
                if (!isWholeReference(q.value(4)) && notWhole.isEmpty())
                    notWhole = notWholeReference(u"Realsum"_s, q.value(8), u"KodBludo"_s, q.value(4));
                if (!q.value(5).toBool()) {
                    ++result.linesSkipped;
                    return;
                }
                const double portions = q.value(2).toDouble();
                lines.push_back(Line{{q.value(0).toString(), q.value(1).toString(), portions,
                                      q.value(3).toDouble(), SalesDocuments::lineSum(q.value(2), q.value(3))},
                                     rowKey(q.value(4)).value_or(0),
                                     rounding::wholeNumber(q.value(6).toDouble()),
                                     q.value(7).toString()});
            },
            &error) &&
        forEachRow(
            m_db,
            u"SELECT g.Name, i.Name, r.Kolvo, u.Shorthame, r.CenaIng, r.Cenaing1, r.KodIng, r.NNN FROM "
            u"RealItog r "
            "LEFT JOIN Ing i ON i.Kod1 = r.KodIng LEFT JOIN Gring g ON g.Kod = r.KodGrIng "
            "LEFT JOIN Edinica u ON u.Kod = r.Edinica WHERE r.Kod = ? ORDER BY r.KodGrIng, r.KodIng, r.NNN"_s,
            {document},
            [&](const QSqlQuery& q) {
                if (!isWholeReference(q.value(6)) && notWhole.isEmpty())
                    notWhole = notWholeReference(u"RealItog"_s, q.value(7), u"KodIng"_s, q.value(6));
                const double quantity = q.value(2).toDouble();
                consumed.push_back({q.value(0).toString(), q.value(1).toString(), quantity,
                                    q.value(3).toString(), quantity * q.value(4).toDouble(),
                                    quantity * q.value(5).toDouble()});
            },
            &error) &&
        (result.posted ||
         cards.load(m_db, RecipeSelection{RecipeSelection::Dishes::SoldInDocument, document}, &error));
    // A reference that is not whole names no dish or ingredient: refused, never left out unsaid.
    if (!read || !notWhole.isEmpty()) {
        result.error = u"Документ не напечатан: "_s + (read ? notWhole : error);
        return result;
    }

    std::vector<WorkingCard> workingCards;
    if (!result.posted) {
        for (const Line& line : lines) {
            WorkingCard card{&line, {}};
            if (!computeCard(line, cards, card, &result.error))
                return result;
            workingCards.push_back(std::move(card));
        }
    }

    auto workbook = std::make_unique<Workbook>();
    bool stopped = false;
    const auto stage = [&progress, &stopped](int offset) {
        return [&progress, &stopped, offset](int k, int n) {
            if (progress && !progress(rounding::toInt(double(k) / n / 3 * 100) + offset))
                stopped = true;
        };
    };
    const auto cancelled = [&result] {
        result.error = PrintJob::cancelledText();
        return std::move(result);
    };

    Sheet& dishes = workbook->sheet(1);
    dishes.setName(u"Буфетон"_s);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    dishes.setOnePageWide(true);
    dishes.setPrintTitleRows(u"$3:$3");
    dishes.range(u"A:I").setColumnWidth(8.3);
    dishes.columns(8, 9).setNumberFormat(u"0.00"_s);
    titleRow(dishes, 1, u"Буфетон "_s + date, 18);
    std::vector<SoldDish> sold;
    sold.reserve(lines.size());
    for (const Line& line : lines)
        sold.push_back(line.sold);
    salestables::writeDishes(dishes, 3, sold, stage(0));
    if (stopped)
        return cancelled();

    Sheet& issue = workbook->sheet(2);
    issue.setName(u"Расход ингредиентов"_s);
    // One page wide on A4: the last columns would otherwise print on pages of their own.
    issue.setOnePageWide(true);
    issue.setPrintTitleRows(u"$3:$3");
    issue.setColumnWidth(1, 3.3);
    issue.columns(2, 7).setColumnWidth(8.1);
    issue.columns(8, 9).setColumnWidth(11);
    issue.column(5).setNumberFormat(u"0.000"_s);
    issue.columns(8, 9).setNumberFormat(u"0.00"_s);
    titleRow(issue, 1, u"Расход ингредиентов со склада "_s + date, 18);
    titleRow(issue, 2, name, 16);
    salestables::writeIngredients(issue, 5, true, consumed, stage(34));
    if (stopped)
        return cancelled();

    if (!result.posted)
        writeCards(workbook->sheet(3), date, workingCards, m_locale, stage(67));
    if (stopped)
        return cancelled();
    result.workbook = std::move(workbook);
    return result;
}
