#include "StockValuation.h"

#include <algorithm>

const StockValuation& StockValuation::kitchen()
{
    static const AverageValuation average;
    return average;
}

double AverageValuation::averagePrice(double price, double balance, double quantity, double lineCost)
{
    // Stock below zero was never paid for: it does not weigh in the average.
    const double held = std::max(balance, 0.0);
    if (quantity + held == 0)
        return price;
    return (price * held + lineCost * quantity) / (quantity + held);
}

StockValuation::Stock AverageValuation::receive(qlonglong, const Stock& stock, double quantity,
                                                double linePrice, PriceRule rule) const
{
    Stock after = stock;
    if (rule == PriceRule::Average)
        after.price = averagePrice(stock.price, stock.balance, quantity, linePrice);
    else if (rule == PriceRule::New)
        after.price = linePrice;
    after.balance += quantity;
    return after;
}

StockValuation::Stock AverageValuation::issue(qlonglong, const Stock& stock, double quantity) const
{
    return {stock.balance - quantity, stock.price};
}

double AverageValuation::issueCost(qlonglong, const Stock& stock, double) const
{
    return stock.price;
}
