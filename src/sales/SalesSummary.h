#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class Workbook;

struct SalesSummaryResult
{
    // The filled workbook; null when the summary stopped, with caption and error for the user.
    std::unique_ptr<Workbook> workbook;
    QString caption;
    QString error;
    int documents = 0;     // documents of the period
    int recalculated = 0;  // open ones whose consumption was computed on the way
    int linesSkipped = 0;  // lines of recalculated documents whose dish is gone
    int dishesLeftOut = 0; // dishes or ingredients of the period whose directory row is gone
    int ingredientsLeftOut = 0;
    bool stopped = false;       // by the user: nothing stored, no workbook
    double sales = 0;           // the printed dishes' "Итого реализовано"
    double ingredientsCost = 0; // the printed ingredients' sum at their prices

    // What the user should hear about a summary that went through, empty when nothing.
    QString notice() const;
};

// "Свод": the dishes sold and the ingredients consumed by every sales document dated in a period,
// printed by group and name with average prices from the totals in memory, and left in `Svodb` and
// `Svodi` (emptied first, filled until the next summary) for the tools that read them. Two summaries at
// once each print their own totals; the second one's writing of the tables waits for the first.
//
// Open documents of status 5 get their consumption computed on the way, all through one read of the
// recipe (PeriodConsumption), from the lines with portions sold; other documents count with the
// consumption rows they have. One transaction: a calculation that refuses stops the summary before
// the tables are filled, the documents calculated before it keeping their new figures, as after the
// button "Расчёт"; stopped by the user, it leaves nothing stored.
class SalesSummary
{
public:
    // False stops the summary before its next sheet, as a false step does before its next document.
    using Progress = std::function<bool(int percent)>;
    // Before each document of the period, n of total; false stops the summary.
    using Step = std::function<bool(int n, int total)>;

    explicit SalesSummary(QSqlDatabase db) : m_db(std::move(db)) {}

    SalesSummaryResult run(const QDate& start, const QDate& end, const Progress& progress = {},
                           const Step& step = {}) const;

    // A row of the scratch table of ingredients (`Svodi`) that other tools read after a summary or a
    // cross table; a value left null is stored empty.
    struct IngredientRow
    {
        QVariant ingredient;
        QVariant quantity;
        QVariant sum;
        QVariant sumWithMarkup;
    };
    // Replaces every scratch row of ingredients, inside the caller's transaction, which keeps other
    // connections from writing the table until it ends.
    static bool replaceIngredientRows(QSqlDatabase db, const std::vector<IngredientRow>& rows,
                                      QString* error);

private:
    QSqlDatabase m_db;
};
