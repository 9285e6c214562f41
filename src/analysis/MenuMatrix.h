#pragma once

#include "AnalysisTable.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <vector>

// Where a dish falls on the menu matrix, split at the averages of the dishes sold in the period.
enum class MatrixKind
{
    PopularProfitable,
    PopularPoor,
    RareProfitable,
    RarePoor
};

struct MatrixDish
{
    qlonglong dish = 0;
    QString name;
    double portions = 0; // sold in the period
    double revenue = 0;  // the line sums, each to the kopeck
    double price = 0;    // per portion: revenue ÷ portions; with none sold, the last line's price
    double cost = 0;     // of one portion now, as the food-cost share takes it
    double margin = 0;   // price − cost, to the kopeck
    MatrixKind kind = MatrixKind::RarePoor;
};

// Popularity (portions sold) against margin per portion of every dish on the sales documents of a
// period (both ends included, open and posted alike). A dish at an average counts as reaching it; the
// averages are compared as shown (portions and money to two decimals).
struct MenuMatrix
{
    QDate start;
    QDate end;
    int documents = 0;
    double averagePortions = 0;
    double averageMargin = 0;
    std::vector<MatrixDish> dishes; // by kind, then portions sold, most first
    QStringList leftOut;

    static QString kindName(MatrixKind kind);

    static bool read(const QSqlDatabase& db, const QDate& start, const QDate& end, MenuMatrix* matrix,
                     QString* error);

    AnalysisTable table() const;
};
