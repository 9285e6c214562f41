#pragma once

#include "DbfTable.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// One product of the outside point-of-sale program's sales table, summed over its rows.
struct TorgSale
{
    qlonglong dish = 0;  // the code without its leading zeros (0 for a code of zeros only)
    QString name;        // NAME of the first row of the code
    double price = 0;    // PRICE of the first row of the code
    double quantity = 0; // the sum of KOL
};

struct TorgSales
{
    QDate date;                   // DATEO of the first row (null when empty)
    QString name;                 // SECTION, KASSA and KASSIR of the first row, without NUL
    QString firstCode, firstName; // CODE and NAME of the first row, to name it
    bool hasRows = false;
    QList<TorgSale> sales; // in the order of first appearance
};

// Reads the sales table: rows whose CODE is not 13 decimal digits are dropped; the rest are summed per
// code. Every number read must convert; a problem refuses the whole table.
class TorgSalesTable
{
public:
    struct ReadResult
    {
        std::optional<TorgSales> sales;
        QString problem;
        bool tooLarge = false; // the file is over the reader's size limit
    };
    static ReadResult interpret(const DbfTable::Table& table);
    static ReadResult read(QIODevice& device);
};
