#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <functional>

class Workbook;

// What a turnover statement covers: the current ingredient of the stock page, its current group, or
// every group.
enum class TurnoverScope
{
    Ingredient,
    Group,
    AllGroups
};

struct TurnoverOptions
{
    TurnoverScope scope = TurnoverScope::Ingredient;
    bool shortVariant = true; // "Сокращенный вариант": one row per ingredient
    QDate start;
    QDate end;
    qlonglong group = 0;      // of Group
    qlonglong ingredient = 0; // of Ingredient
};

// "Оборотка": the posted receipts and issues of a period from the movement lines alone (documents
// deleted without their lines included), as quantities and money at the line's price taken to the
// kopeck, with totals per ingredient, group and warehouse. Semi-finished products are not stocked and
// are left out of the groups. Covers all partners. Reads only.
class TurnoverStatement
{
public:
    // False stops the statement between two groups.
    using Progress = std::function<bool(int percent)>;

    explicit TurnoverStatement(QSqlDatabase db) : m_db(std::move(db)) {}

    // Fills the first sheet; false and the database's complaint (or the cancellation) on failure.
    bool fill(Workbook& workbook, const TurnoverOptions& options, QString* error,
              const Progress& progress = {}) const;

    // The money of the warehouse's receipts and issues of a period, as the statement of every group
    // sums them.
    struct Sums
    {
        double receipts = 0;
        double issues = 0;
    };
    bool warehouseSums(const QDate& start, const QDate& end, Sums* sums, QString* error) const;
    // The stock's value at the end of a day: today's balances at today's prices, less the receipts
    // and plus the issues posted after it at their lines' prices.
    bool stockValueAt(const QDate& day, double* value, QString* error) const;

private:
    QSqlDatabase m_db;
};
