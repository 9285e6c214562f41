#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

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

// A consumption row of a document as `RealItog` stores it.
struct ConsumptionRow
{
    qlonglong ingredient = 0;
    QVariant group; // the ingredient's group, null when none
    QVariant unit;
    double price = 0;
    double priceWithMarkup = 0;
    double quantity = 0;
    double okr = 0;
    double position = 0;
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

// Every open document (status exactly 5) of a period calculated as ConsumptionCalculator::run
// calculates one from its lines with portions sold, but through one read of the recipe and one write
// for them all: what the period summary does to the open documents of its period. Runs inside the
// caller's transaction, which it checks nothing outside of.
class PeriodConsumption
{
public:
    explicit PeriodConsumption(QSqlDatabase db);
    ~PeriodConsumption();

    // Reads the lines with portions sold of the period's open documents and the recipe of their dishes.
    bool load(const QDate& start, const QDate& end, QString* error);
    // Calculates one of those documents in memory. A refusal (ok false, with the caption and message
    // run() gives) keeps nothing of it.
    ConsumptionRun calculate(qlonglong document);
    // The rows the last calculate() gave its document, in the order they are stored.
    const std::vector<ConsumptionRow>& rows() const;
    // Writes every calculated document's rows where they differ from the stored ones, then the new
    // prices of their dishes.
    bool store(QString* error);

private:
    struct State;
    QSqlDatabase m_db;
    std::unique_ptr<State> m_state;
};
