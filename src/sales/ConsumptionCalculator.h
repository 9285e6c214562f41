#pragma once

#include <QSqlDatabase>
#include <QString>

// Which lines of a document a calculation expands: all of them, or only those with portions sold
// (the view's filter "Kolvo <> 0" that printing and the period summary switch on).
enum class SalesLines
{
    All,
    Sold
};

// The outcome of one consumption calculation.
struct ConsumptionRun
{
    bool ok = true;
    // Why nothing was stored (in Russian, for the user, under the caption below); empty on success.
    QString caption;
    QString message;
    qlonglong failedDish = 0; // the dish whose figures stopped the run, 0 when none
    int linesExpanded = 0;
    int linesSkipped = 0;       // lines whose dish no longer exists
    int rows = 0;               // consumption rows of the document
    bool rowsRewritten = false; // false when the stored rows already held these figures
    int dishPricesChanged = 0;

    // What the user should hear about a run that went through, empty when nothing: the skipped lines.
    QString notice() const;
};

// The hidden "Расчёт" of the sales page: the ingredients a sales document consumes, one row per
// (document, ingredient group, ingredient) in `RealItog`, and the price of one portion of every dish
// the document names, rewritten with the whole-number markup and rounded to the kopeck.
//
// Each line's dish is expanded through its costing card; a semi-finished product on a card is expanded
// one level into its components. The card's portions, the components' yields and every markup count as
// whole numbers; the other yields and the unit weights as stored. An ingredient met again adds to the
// row of its first occurrence, whose price, unit and copied attributes stay.
//
// Everything is read with a few set-based queries, computed in memory and then written in one
// transaction: a posted document, a zero divisor (after the rounding above) or a value that is not a
// finite number leaves the stored rows and prices as they were. A line whose dish is gone is skipped.
class ConsumptionCalculator
{
public:
    explicit ConsumptionCalculator(QSqlDatabase db) : m_db(std::move(db)) {}

    // Removes the document's consumption rows, inside the caller's transaction (a deleted document).
    bool clear(qlonglong document, QString* error);

    ConsumptionRun run(qlonglong document, SalesLines lines = SalesLines::All);

private:
    QSqlDatabase m_db;
};
