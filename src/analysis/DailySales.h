#pragma once

#include "AnalysisTable.h"

#include <QDate>
#include <QSqlDatabase>

#include <vector>

struct SalesDay
{
    QDate date;
    int documents = 0;
    double sales = 0;     // the line sums, each to the kopeck
    double cost = 0;      // the consumption rows at the store price (quantity × price), unrounded
    int uncalculated = 0; // documents with portions sold but no consumption rows
};

// Sales and the cost of the ingredients they consumed, per day over a period (both ends included),
// from the sales documents and their stored consumption rows. Days without a document are left out.
struct DailySales
{
    QDate start;
    QDate end;
    std::vector<SalesDay> days; // in date order
    double sales = 0;
    double cost = 0;
    int uncalculated = 0;

    static bool read(const QSqlDatabase& db, const QDate& start, const QDate& end, DailySales* daily,
                     QString* error);

    AnalysisTable table() const;
};
