#pragma once

#include "AnalysisTable.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

// One recorded change of an ingredient's price.
struct PriceChange
{
    QDate date;
    std::optional<double> oldPrice; // nothing for a new ingredient
    std::optional<double> price;
    QVariant document; // the document's key, null when no document changed it
    QString source;    // what changed it
    bool receipt = false;
};

// An ingredient's price over a period, from its price history: the price the period starts with,
// every change within it (both ends included) in date order, and the price it ends with.
struct PriceTrend
{
    QString ingredient;
    QString unit; // the unit's short name, empty when it is gone
    QDate start;
    QDate end;
    std::optional<double> startPrice; // nothing when no price is known before the first change
    std::optional<double> endPrice;
    std::vector<PriceChange> changes;

    // False with the store's message; an ingredient that is gone is refused by name of its key.
    static bool read(const QSqlDatabase& db, qlonglong ingredient, const QDate& start, const QDate& end,
                     PriceTrend* trend, QString* error);
    // A receipt is told by what the history says changed the price, in PriceHistory's own words.
    static bool isReceipt(const QString& source);

    AnalysisTable table() const;
};
