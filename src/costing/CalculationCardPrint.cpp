#include "CalculationCardPrint.h"

#include "reference/OrganisationDetails.h"
#include "reports/FormStyle.h"
#include "reports/PageFlow.h"
#include "reports/StateForm.h"
#include "reports/Workbook.h"
#include "store/Rounding.h"
#include "store/UserPrompts.h"

#include <QDate>

#include <algorithm>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace {

constexpr int firstCalculationColumn = 4; // D: норма, цена, сумма of the first calculation
constexpr double portionsOfForm = 100;

struct LineFigures
{
    double norm = 0;  // kilograms for 100 portions
    double price = 0; // of a kilogram
    double sum = 0;
};

// One dated calculation of a dish: a column block of the form, to the right of the one before, with
// its lines in the order of the products' rows and nothing for a product it did not have.
struct Calculation
{
    int number = 0; // on the dish's forms, from 1
    QDate date;
    std::vector<std::optional<LineFigures>> lines;
    double cost = 0;
    double markup = 0;
    double sellingPrice = 0; // of one portion
};

Calculation calculate(const CostingCardFigures& card, int number, const QDate& date)
{
    Calculation calculation{number, date, {}, 0, 0, 0};
    double selling = 0;
    for (const CostingCardFigures::Line& line : card.lines) {
        const double norm = line.gross * portionsOfForm / card.portions / 1000;
        const double price = line.costPrice * 1000 / line.unitGrams;
        const LineFigures figures{norm, price, rounding::toKopeck(norm * price)};
        calculation.cost += figures.sum;
        selling += rounding::toKopeck(norm * line.sellingPrice * 1000 / line.unitGrams);
        calculation.lines.push_back(figures);
    }
    calculation.cost = rounding::toKopeck(calculation.cost);
    // The dish's own markup comes on top, as the dish price run puts it.
    selling = rounding::toKopeck(selling * (1 + card.percent / 100));
    calculation.markup = rounding::toKopeck(selling - calculation.cost);
    calculation.sellingPrice = rounding::toKopeck(selling / portionsOfForm);
    return calculation;
}

int blockColumn(size_t calculation)
{
    return firstCalculationColumn + 3 * int(calculation);
}

void box(Range range)
{
    range.borders()
        .setLineStyle(LineStyle::Continuous)
        .setWeight(BorderWeight::Thin)
        .setColorIndex(ColorIndex::Black);
}

// One form from its head to its signatures; returns the row after it.
int writeCard(pageflow::Pages& pages, int row, const CostingCardFigures& card,
              std::span<const Calculation> calculations, const OrganisationDetails& organisation,
              const QDate& today)
{
    Sheet& sheet = pages.sheet();
    const int lastColumn = blockColumn(calculations.size()) - 1;
    const int code = lastColumn;
    const int label = code - 1;
    const int lineEnd = code - 3;
    row = stateform::writeApproval(sheet, row, code, u"Унифицированная форма № ОП-1"_s,
                                   u"Утверждена постановлением Госкомстата России от 25.12.98 № 132"_s);
    sheet.cell(row++, code).setValue(u"Код"_s).setHorizontalAlignment(HAlign::Center);
    stateform::writeCode(sheet, row++, label, code, u"Форма по ОКУД"_s, u"0330501"_s);
    stateform::writeCode(sheet, row, label, code, u"по ОКПО"_s, organisation.okpo);
    row = stateform::writeCaptionedLine(sheet, row, 1, lineEnd, stateform::organisationLine(organisation),
                                        u"организация"_s);
    row = stateform::writeCaptionedLine(sheet, row, 1, lineEnd, organisation.unit,
                                        u"структурное подразделение"_s);
    stateform::writeCode(sheet, row++, label, code, u"Вид деятельности по ОКДП"_s, QString());
    row = stateform::writeCaptionedLine(sheet, row, 1, lineEnd, card.name, u"наименование блюда"_s);
    stateform::writeCode(sheet, row++, label, code, u"Номер блюда по сборнику рецептур, ТТК, СТП"_s,
                         QString());
    stateform::writeCode(sheet, row++, label, code, u"Вид операции"_s, QString());
    ++row;
    sheet.cell(row, label).setValue(u"Номер документа"_s);
    sheet.cell(row, code).setValue(u"Дата составления"_s);
    setRowFont(sheet, row, 8);
    centre(sheet.range(row, label, row, code).setWrapText(true));
    ++row;
    sheet.cell(row, 2).setValue(u"КАЛЬКУЛЯЦИОННАЯ КАРТОЧКА"_s);
    setRowFont(sheet, row, 12, true);
    stateform::writeCode(sheet, row, label - 1, label, QString(), QString());
    stateform::writeCode(sheet, row, code, code, QString(), today.toString(u"dd.MM.yyyy"_s));
    row += 2;

    // The heading: the calculations' numbers and dates over their blocks, then the products' columns;
    // written again on each page the lines run onto.
    const int tableTop = row;
    const auto heading = [&](int at) {
        const int top = at;
        sheet.cell(at, 1).setValue(u"Порядковый номер калькуляции, дата утверждения"_s);
        sheet.range(at, 1, at, 3).merge();
        for (size_t k = 0; k < calculations.size(); ++k) {
            const int column = blockColumn(k);
            sheet.cell(at, column)
                .setValue(u"№ %1 от %2"_s.arg(calculations[k].number)
                              .arg(calculations[k].date.toString(u"dd.MM.yyyy"_s)));
            sheet.range(at, column, at, column + 2).merge();
        }
        ++at;
        sheet.cell(at, 1).setValue(u"Номер по порядку"_s);
        sheet.range(at, 1, at + 1, 1).merge();
        sheet.cell(at, 2).setValue(u"Продукты"_s);
        sheet.range(at, 2, at, 3).merge();
        sheet.cell(at + 1, 2).setValue(u"наименование"_s);
        sheet.cell(at + 1, 3).setValue(u"код"_s);
        for (size_t k = 0; k < calculations.size(); ++k) {
            const int column = blockColumn(k);
            const QString captions[] = {u"норма, кг"_s, u"цена, руб. коп."_s, u"сумма, руб. коп."_s};
            for (int c = 0; c < 3; ++c) {
                sheet.cell(at, column + c).setValue(captions[c]);
                sheet.range(at, column + c, at + 1, column + c).merge();
            }
        }
        at += 2;
        for (int column = 1; column <= lastColumn; ++column)
            sheet.cell(at, column).setValue(column);
        sheet.range(at, 1, at, lastColumn).setNumberFormat(u"0"_s);
        for (int r = top; r <= at; ++r)
            setRowFont(sheet, r, 8);
        centre(sheet.range(top, 1, at, lastColumn).setWrapText(true));
        return at + 1;
    };
    const auto line = [&](int at, int n) {
        sheet.cell(at, 1).setValue(double(n + 1)).setHorizontalAlignment(HAlign::Center);
        sheet.cell(at, 2).setValue(card.lines[size_t(n)].name).setWrapText(true);
        sheet.cell(at, 3)
            .setValue(double(card.lines[size_t(n)].ingredient))
            .setHorizontalAlignment(HAlign::Center);
        for (size_t k = 0; k < calculations.size(); ++k) {
            const std::optional<LineFigures>& figures = calculations[k].lines[size_t(n)];
            if (!figures)
                continue;
            const int column = blockColumn(k);
            sheet.cell(at, column).setValue(figures->norm).setNumberFormat(u"0.000"_s);
            sheet.cell(at, column + 1).setValue(figures->price).setNumberFormat(u"0.00"_s);
            sheet.cell(at, column + 2).setValue(figures->sum).setNumberFormat(u"0.00"_s);
        }
        setRowFont(sheet, at, 9);
        return at + 1;
    };
    row = pageflow::continuedTable(pages, row, int(card.lines.size()), heading, line);

    // The totals and the signatures, each under the sum or across the block of its calculation.
    const auto totalRow = [&](const QString& caption) {
        sheet.cell(row, 1).setValue(caption).setHorizontalAlignment(HAlign::Left).setWrapText(true);
        sheet.range(row, 1, row, 3).merge();
        setRowFont(sheet, row, 9);
        return row++;
    };
    const auto perCalculation = [&](int r, auto value, bool wholeBlock) {
        for (size_t k = 0; k < calculations.size(); ++k) {
            const int column = blockColumn(k);
            Range cell = sheet.cell(r, wholeBlock ? column : column + 2);
            value(cell, calculations[k]);
            if (wholeBlock)
                sheet.range(r, column, r, column + 2).merge();
        }
    };
    const auto money = [&](double Calculation::*field) {
        return [field](Range& cell, const Calculation& c) {
            cell.setValue(c.*field).setNumberFormat(u"0.00"_s);
        };
    };
    perCalculation(totalRow(u"Общая стоимость сырьевого набора на 100 блюд, руб. коп."_s),
                   money(&Calculation::cost), false);
    perCalculation(totalRow(u"Наценка, руб. коп."_s), money(&Calculation::markup), false);
    perCalculation(totalRow(u"Цена продажи блюда, руб. коп."_s), money(&Calculation::sellingPrice), false);
    perCalculation(
        totalRow(u"Выход одного блюда в готовом виде, г"_s),
        [&](Range& cell, const Calculation&) {
            cell.setValue(card.yield).setHorizontalAlignment(HAlign::Right);
        },
        false);
    const QString head = (organisation.headPosition + u' ' + organisation.head).trimmed();
    for (const auto& [role, person] : {std::pair{u"Заведующий производством"_s, organisation.chef},
                                       std::pair{u"Калькуляцию составил"_s, organisation.calculator},
                                       std::pair{u"Утверждаю: руководитель организации"_s, head}}) {
        perCalculation(
            totalRow(role), [&](Range& cell, const Calculation&) { cell.setValue(person); }, true);
    }
    box(sheet.range(tableTop, 1, row - 1, lastColumn));
    return row;
}

} // namespace

CalculationCardResult CalculationCardPrint::run(const CostingCardOptions& options, std::vector<QDate> days)
{
    CalculationCardResult result;
    const QDate today = m_clock.today();
    std::optional<std::vector<std::vector<CostingCardFigures>>> dated;
    if (days.empty()) {
        days = {today};
        if (auto cards = CostingCardPrint(m_db, m_clock).figures(options, &result.error))
            dated.emplace(1, std::move(*cards));
    } else {
        std::sort(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end()), days.end());
        dated = CostingCardPrint(m_db, m_clock).figuresOn(options, days, &result.error);
    }
    if (!dated)
        return result;
    const std::vector<CostingCardFigures>& cards = dated->front();
    if (cards.empty()) {
        result.error = u"Калькуляционные карточки не напечатаны: нет блюд для печати."_s;
        return result;
    }
    const std::optional<OrganisationDetails> organisation = OrganisationDetails::load(m_db, &result.error);
    if (!organisation)
        return result;
    auto workbook = std::make_unique<Workbook>();
    Sheet& sheet = workbook->sheet(1);
    sheet.setName(u"ОП-1"_s);
    const size_t perForm = std::min(days.size(), size_t(calculationsPerForm));
    sheet.setOnePageWide(true);
    const double widths[] = {6, 30, 9};
    for (int column = 1; column <= 3; ++column)
        sheet.setColumnWidth(column, widths[column - 1]);
    for (size_t k = 0; k < perForm; ++k) {
        for (int c = 0; c < 3; ++c)
            sheet.setColumnWidth(blockColumn(k) + c, c == 0 ? 9 : 11);
    }
    pageflow::Pages pages(sheet, pageflow::Pages::Ends::Breaks);
    int row = 1;
    for (size_t dish = 0; dish < cards.size(); ++dish) {
        std::vector<Calculation> calculations;
        for (size_t k = 0; k < days.size(); ++k)
            calculations.push_back(calculate((*dated)[k][dish], int(k + 1), days[k]));
        for (size_t first = 0; first < calculations.size(); first += perForm) {
            // Each form starts a page: it is filed on its own.
            if (row > 1)
                pages.breakBefore(row);
            const size_t count = std::min(perForm, calculations.size() - first);
            row = writeCard(pages, row, cards[dish], std::span(calculations).subspan(first, count),
                            *organisation, today) +
                  1;
        }
    }
    result.cards = int(cards.size());
    result.workbook = std::move(workbook);
    return result;
}
