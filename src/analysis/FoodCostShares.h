#pragma once

#include "AnalysisTable.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Whose dishes a picture is of.
enum class DishSet
{
    Group, // the dishes of a dish group, at their own price ("Цена 1 пор.")
    Menu   // the switched-on entries of a menu, at the menu's selling price
};

struct FoodCostRow
{
    qlonglong dish = 0;
    QString name;
    QString group;
    double cost = 0;             // of one portion at the ingredients' own prices, to the kopeck
    std::optional<double> price; // the selling price; nothing when empty or not above zero
    std::optional<double> share; // cost ÷ price in percent, to one decimal; nothing without a price
    bool over = false;           // the share is above the threshold
};

// The food-cost share of each dish of a group or a menu: the cost of a portion as the price run
// computes it, without markups, against its selling price.
struct FoodCostShares
{
    static constexpr double defaultThreshold = 35;

    QString of; // "группа "…"" or "меню "…""
    double threshold = defaultThreshold;
    // By share, largest first (ties by name); the dishes without a selling price after them by name.
    std::vector<FoodCostRow> rows;
    QStringList leftOut; // dishes whose cost cannot be computed, each with the reason

    // The names of the dishes over the threshold, largest share first.
    QStringList over() const;

    // False with the store's message; a group or menu that is gone is refused.
    static bool read(const QSqlDatabase& db, DishSet set, qlonglong key, double threshold,
                     FoodCostShares* shares, QString* error);

    AnalysisTable table() const;
};
