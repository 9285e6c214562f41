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
    double sales = 0;           // the printed dishes' "Итого реализовано"
    double ingredientsCost = 0; // the printed ingredients' sum at their prices

    // What the user should hear about a summary that went through, empty when nothing.
    QString notice() const;
};

// "Свод": the dishes sold and the ingredients consumed by every sales document dated in a period,
// summed into `Svodb` and `Svodi` (left filled until the next summary) and printed by group and name
// with average prices. Open documents of status 5 get their consumption computed first, from the
// lines with portions sold; other documents count with the consumption rows they have.
//
// A calculation that refuses stops the summary before the scratch tables are touched; the documents
// calculated before it keep their new figures, as after the button "Расчёт".
class SalesSummary
{
public:
    // False stops the summary before its next document or sheet; what it stored is its caller's to
    // roll back.
    using Progress = std::function<bool(int percent)>;

    explicit SalesSummary(QSqlDatabase db) : m_db(std::move(db)) {}

    SalesSummaryResult run(const QDate& start, const QDate& end, const Progress& progress = {}) const;

    // A row of the scratch table of ingredients (`Svodi`) that other tools read after a summary or a
    // cross table; a value left null is stored empty.
    struct IngredientRow
    {
        QVariant ingredient;
        QVariant quantity;
        QVariant sum;
        QVariant sumWithMarkup;
    };
    // Replaces every scratch row of ingredients, inside the caller's transaction.
    static bool replaceIngredientRows(QSqlDatabase db, const std::vector<IngredientRow>& rows,
                                      QString* error);

private:
    QSqlDatabase m_db;
};
