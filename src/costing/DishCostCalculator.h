#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <optional>

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
};

// The cost of one portion at the ingredients' own prices: the price run's computation with no markup,
// neither the ingredients' nor the dish's, to the kopeck. Without a cost, fault says why as the run
// would (the dish, its group and what is zero).
struct PortionCost
{
    std::optional<double> cost;
    QString fault;
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
    explicit DishCostCalculator(QSqlDatabase db) : m_db(std::move(db)) {}

    DishCostRun run();

    // The portion cost of every dish of the book (those of groups that still exist), each on its own:
    // a dish the run would stop at gets its fault, and the others are costed all the same.
    static QHash<qlonglong, PortionCost> portionCosts(const RecipeBook& book);

private:
    QSqlDatabase m_db;
};
