#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <functional>
class RecipeBook;

// The outcome of one price run.
struct DishCostRun
{
    bool ok = true;
    // Why the run stopped (in Russian, for the user); empty when it went through.
    QString message;
    // The dish the run stopped at, 0 when none.
    qlonglong failedDish = 0;
    int dishesPriced = 0;       // dishes computed and stored
    int dishPricesChanged = 0;  // of them, those whose stored price differed
    int semiFinishedPriced = 0; // distinct semi-finished products met in the priced cards
    int dishesSkipped = 0;      // dishes whose group no longer exists, left with their price
    bool cancelled = false;     // stopped by its progress: nothing stored
};

// "Расчёт цен блюд": the price of one portion of every dish of every dish group, and on the way the
// price of every semi-finished product a card uses.
//
// The run reads units, ingredients, compositions, dishes and card lines once, computes in memory and
// writes only the prices that changed, all in one transaction. Groups go in name order, dishes in key
// order within their group. A zero or empty divisor, a vanished ingredient or a result that is no
// longer a finite number stops the run: the dishes computed before keep their new prices, the dish at
// fault and whatever it computed are not stored, the dishes after it are not touched.
class DishCostCalculator
{
public:
    // The share of the groups priced; false stops the run before its next group, storing nothing.
    using Progress = std::function<bool(int percent)>;

    explicit DishCostCalculator(QSqlDatabase db) : m_db(std::move(db)) {}

    DishCostRun run(const Progress& progress = {});

    // What the kitchen pays: the run's arithmetic with every markup left out.
    struct PortionCosts
    {
        QHash<qlonglong, double> dishes;       // a portion, in kopecks as the run rounds a price
        QHash<qlonglong, double> semiFinished; // a unit of each product on a card
        int notComputed = 0;                   // dishes the run would stop at
        QString firstFault;                    // where and why, for the first of them
        QHash<qlonglong, QString> faults;      // where and why, for each of them
    };
    // Every dish of the book that can be priced, past any fault, and nothing stored: the book as
    // given, prices substituted in memory included.
    static PortionCosts portionCosts(const RecipeBook& book);

private:
    QSqlDatabase m_db;
};
