#pragma once

#include "CostingCardPrint.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

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
class CalculationCardPrint
{
public:
    CalculationCardPrint(QSqlDatabase db, const Clock& clock) : m_db(std::move(db)), m_clock(clock) {}

    CalculationCardResult run(const CostingCardOptions& options);

private:
    QSqlDatabase m_db;
    const Clock& m_clock;
};
