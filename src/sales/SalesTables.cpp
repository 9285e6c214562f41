#include "SalesTables.h"

#include "reports/FormStyle.h"
#include "reports/PageFlow.h"
#include "reports/Sheet.h"
#include "store/Rounding.h"

using namespace Qt::StringLiterals;
using namespace formstyle;

namespace salestables {

namespace {

constexpr int lastColumn = 9; // I

void moneyCell(Sheet& sheet, int row, int column, double value)
{
    sheet.cell(row, column).setValue(rounding::toKopeck(value)).font().setSize(10);
}

} // namespace

void writeDishes(Sheet& sheet, int headingRow, const std::vector<SoldDish>& dishes,
                 const RowProgress& progress)
{
    sheet.cell(headingRow, 2).setValue(u"Наименование блюда"_s);
    sheet.cell(headingRow, 7).setValue(u"Кол-во"_s);
    sheet.cell(headingRow, 8).setValue(u"Цена"_s);
    sheet.cell(headingRow, 9).setValue(u"Сумма"_s);
    setRowFont(sheet, headingRow, 12, true);
    sheet.range(headingRow, 7, headingRow, 9).setHorizontalAlignment(HAlign::Right);

    int row = headingRow + 1;
    double groupSum = 0;
    double total = 0;
    const auto groupTotal = [&] {
        sheet.cell(row, 6).setValue(u"Всего за группу:"_s);
        moneyCell(sheet, row, lastColumn, groupSum);
        setRowFont(sheet, row, 12, true);
        groupSum = 0;
        ++row;
    };
    const int n = int(dishes.size());
    for (int k = 0; k < n; ++k) {
        const SoldDish& dish = dishes[k];
        if (k == 0 || dish.group != dishes[k - 1].group) {
            if (k > 0)
                groupTotal();
            sheet.cell(row, 1).setValue(dish.group);
            setRowFont(sheet, row, 14, true);
            ++row;
        }
        sheet.cell(row, 2).setValue(dish.name);
        sheet.cell(row, 7).setValue(dish.portions);
        sheet.cell(row, 8).setValue(rounding::toKopeck(dish.price));
        moneyCell(sheet, row, lastColumn, dish.sum);
        setRowFont(sheet, row, 12, false);
        bottomRule(sheet.range(row, 2, row, lastColumn));
        groupSum += dish.sum;
        total += dish.sum;
        ++row;
        if (progress)
            progress(k + 1, n);
    }
    // The last group's total, a zero one when nothing was sold.
    groupTotal();
    sheet.cell(row, 6).setValue(u"Итого реализовано:"_s);
    moneyCell(sheet, row, lastColumn, total);
    setRowFont(sheet, row, 12, true);
    // The totals never stand alone on a last page: the table's last lines go over with them.
    pageflow::keepTogether(sheet, {{std::max(headingRow + 1, row - 4), row}});
}

void writeIngredients(Sheet& sheet, int quantityColumn, bool issueColumn,
                      const std::vector<ConsumedIngredient>& ingredients, const RowProgress& progress)
{
    sheet.cell(3, 1).setValue(u"№"_s);
    sheet.cell(3, 2).setValue(u"Наименование ингредиента"_s);
    sheet.cell(3, quantityColumn).setValue(u"Кол-во"_s);
    if (issueColumn)
        sheet.cell(3, 6).setValue(u"Выдано"_s);
    sheet.cell(3, 7).setValue(u"Ед.изм"_s).setHorizontalAlignment(HAlign::Center);
    sheet.cell(3, 8).setValue(u"Сумма скл."_s);
    sheet.cell(3, 9).setValue(u"Сумма отп."_s);
    for (int column : {6, 8, 9})
        sheet.cell(3, column).setHorizontalAlignment(HAlign::Right);
    setRowFont(sheet, 3, 10, true);

    int row = 4;
    double groupSums[2] = {0, 0};
    double totals[2] = {0, 0};
    const auto sumsRow = [&](const QString& text, double(&sums)[2]) {
        sheet.cell(row, 3).setValue(text);
        moneyCell(sheet, row, 8, sums[0]);
        moneyCell(sheet, row, 9, sums[1]);
        setRowFont(sheet, row, 12, true);
        ++row;
    };
    const auto groupTotal = [&] {
        sumsRow(u"Всего за группу:"_s, groupSums);
        groupSums[0] = groupSums[1] = 0;
    };
    const int n = int(ingredients.size());
    for (int k = 0; k < n; ++k) {
        const ConsumedIngredient& item = ingredients[k];
        if (k == 0 || item.group != ingredients[k - 1].group) {
            if (k > 0)
                groupTotal();
            sheet.cell(row, 5).setValue(item.group);
            setRowFont(sheet, row, 12, true);
            ++row;
        }
        sheet.cell(row, 1).setValue(k + 1);
        sheet.cell(row, 2).setValue(item.name);
        sheet.cell(row, quantityColumn).setValue(item.quantity);
        sheet.cell(row, 7).setValue(item.unit).setHorizontalAlignment(HAlign::Center);
        moneyCell(sheet, row, 8, item.sum);
        moneyCell(sheet, row, 9, item.sumWithMarkup);
        setRowFont(sheet, row, 12, false);
        bottomRule(sheet.range(row, 1, row, lastColumn));
        groupSums[0] += item.sum;
        groupSums[1] += item.sumWithMarkup;
        totals[0] += item.sum;
        totals[1] += item.sumWithMarkup;
        ++row;
        if (progress)
            progress(k + 1, n);
    }
    groupTotal();
    sumsRow(u"Итого реализовано:"_s, totals);
}

} // namespace salestables
