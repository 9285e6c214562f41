#pragma once

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <vector>

// The ingredients' prices as they stood on past days, from the price history (table Pricehist), read
// once and asked for any number of days.
//
// On a day an ingredient's price is that of its last change dated on or before the day; with no such
// change, the price its first later change started from; an ingredient without a history keeps the
// price it has today. Changes on one day count in the order they were made.
class HistoricalPrices
{
public:
    bool load(const QSqlDatabase& db, QString* error);

    // The price in force on the day of every ingredient with a history (nothing for an empty price);
    // the ingredients without one are not named.
    QHash<qlonglong, std::optional<double>> on(const QDate& day) const;

private:
    struct Change
    {
        QDate day;
        std::optional<double> oldPrice;
        std::optional<double> price;
    };
    QHash<qlonglong, std::vector<Change>> m_changes; // by ingredient, in the order they were made
};
