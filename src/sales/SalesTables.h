#pragma once

#include <QString>

#include <functional>
#include <vector>

class Sheet;

// A dish row of a sales table: the portions sold and their money, already taken to the kopeck where
// the line sum is (the sums of a group add these as they are).
struct SoldDish
{
    QString group;
    QString name;
    double portions = 0;
    double price = 0;
    double sum = 0;
};

// An ingredient row of a consumption table; the two sums unrounded, as the totals add them.
struct ConsumedIngredient
{
    QString group;
    QString name;
    double quantity = 0;
    QString unit;
    double sum = 0;           // at store prices
    double sumWithMarkup = 0; // at prices with markup
};

// The two tables that the sales document print and the period summary share: dishes by group with
// "Всего за группу:" and "Итого реализовано:", and the ingredients consumed with their running numbers.
// Money is shown to the kopeck (halves to even); only the cells are rounded, never what is added up.
namespace salestables {

// k of n rows written, for a progress bar.
using RowProgress = std::function<void(int k, int n)>;

// The column headings in headingRow and the body under it.
void writeDishes(Sheet& sheet, int headingRow, const std::vector<SoldDish>& dishes,
                 const RowProgress& progress);

// Headings in row 3, the body from row 4. The quantity stands in quantityColumn; issueColumn adds
// the empty "Выдано" column for the quantity actually issued.
void writeIngredients(Sheet& sheet, int quantityColumn, bool issueColumn,
                      const std::vector<ConsumedIngredient>& ingredients, const RowProgress& progress);

} // namespace salestables
