#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

class Clock;
class Workbook;

// The two technological documents of the national standard for catering products.
enum class TechnologicalCard
{
    Technological,         // ТК: a dish made by a published collection of recipes
    TechnicalTechnological // ТТК: a dish of the kitchen's own, with the standard's numbered sections
};

struct TechnologicalCardResult
{
    // Null when the print stopped; error then says why.
    std::unique_ptr<Workbook> workbook;
    QString error;
    QString dish;
    // The ingredients whose nutrition is not given in full, named on the card as well.
    QStringList missingNutrition;
};

// ТК or ТТК of one dish: the recipe as gross and net grams of one portion and of the card's portions,
// taken from the costing card's figures (checked as its print checks them), the yield, the cooking
// technology from the recipe text, the serving and storage requirements stored with the dish, and the
// nutrition of one portion summed over the net weights from the ingredients' values per 100 g. A
// value an ingredient does not give is never counted as 0: that total is left unstated and the
// ingredient is named.
class TechnologicalCardPrint
{
public:
    TechnologicalCardPrint(QSqlDatabase db, const Clock& clock) : m_db(std::move(db)), m_clock(clock) {}

    TechnologicalCardResult run(qlonglong dish, TechnologicalCard kind);

private:
    QSqlDatabase m_db;
    const Clock& m_clock;
};
