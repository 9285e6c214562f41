#pragma once

#include <QtGlobal>

// How a receipt sets the warehouse price of an ingredient ("Расчёт цен").
enum class PriceRule
{
    Average, // "Расчитать среднюю цену"
    New,     // "Поставить новую цену"
    Keep     // "Оставить старую цену"
};

// How the warehouse values its stock: the price a receipt leaves and what an issue costs. The
// postings ask it line by line, in the document's order; another valuation (first in, first out)
// is one more implementation of this interface.
class StockValuation
{
public:
    // An ingredient's stock as the postings hold it: its balance and its price.
    struct Stock
    {
        double balance = 0;
        double price = 0;
    };

    virtual ~StockValuation() = default;

    // The stock after a receipt line of quantity at linePrice, priced by the rule.
    virtual Stock receive(qlonglong ingredient, const Stock& stock, double quantity, double linePrice,
                          PriceRule rule) const = 0;
    // The stock after an issue line of quantity.
    virtual Stock issue(qlonglong ingredient, const Stock& stock, double quantity) const = 0;
    // What one unit of an issue line of quantity costs, taken from the stock.
    virtual double issueCost(qlonglong ingredient, const Stock& stock, double quantity) const = 0;

    // The valuation the kitchen uses: the average.
    static const StockValuation& kitchen();
};

// The moving average: a receipt averages its price into the stock held, an issue leaves the price
// and costs the price held.
class AverageValuation final : public StockValuation
{
public:
    // The new average price; the old one when the quantity and the (non-negative part of the) balance
    // add up to 0, where the average is undefined.
    static double averagePrice(double price, double balance, double quantity, double lineCost);

    Stock receive(qlonglong ingredient, const Stock& stock, double quantity, double linePrice,
                  PriceRule rule) const override;
    Stock issue(qlonglong ingredient, const Stock& stock, double quantity) const override;
    double issueCost(qlonglong ingredient, const Stock& stock, double quantity) const override;
};
