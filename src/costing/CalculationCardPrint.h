#pragma once

#include "CostingCardPrint.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <vector>

class Clock;
class Workbook;

struct CalculationCardResult
{
    // Null when the print stopped; *error then says why.
    std::unique_ptr<Workbook> workbook;
    QString error;
    int cards = 0;
};

// The costing card of the state's unified form ОП-1, one per dish (one dish, the marked dishes or a
// group, as CostingCardOptions choose them; prices and enterprise are the form's own), each on pages
// of its own. The figures are those of the costing card print, checked the same way, taken to 100
// portions: the gross norm in kilograms, the warehouse price of a kilogram and its sum, the raw set's
// cost, the markup the ingredients' percents give, the selling price of one portion and its yield.
// The dish marks are left as they are: they belong to the costing card print.
//
// Several calculations of a dish stand side by side, each a block of columns headed by its number and
// day, computed with the ingredients' prices in force on that day (HistoricalPrices); a form holds
// calculationsPerForm of them and the next form of the dish goes on with the rest.
class CalculationCardPrint
{
public:
    // Two blocks still print legibly across a portrait page, which holds the form's long head and a
    // dish's lines; a landscape page would split most forms.
    static constexpr int calculationsPerForm = 2;

    CalculationCardPrint(QSqlDatabase db, const Clock& clock) : m_db(std::move(db)), m_clock(clock) {}

    // One calculation per day, in date order, a day named twice counting once. No day gives one
    // calculation of today with the prices as they stand.
    CalculationCardResult run(const CostingCardOptions& options, std::vector<QDate> days = {});

private:
    QSqlDatabase m_db;
    const Clock& m_clock;
};
