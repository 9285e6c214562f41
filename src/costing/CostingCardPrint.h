#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class Clock;
class Workbook;

// Which dishes a costing card print covers.
enum class CardPrintScope
{
    AllGroups,
    ChosenGroup,
    MarkedDishes,
    OneDish
};

// The unit price a card line shows: the warehouse price, or the price with the ingredient's markup.
enum class CardPrices
{
    Cost,
    Selling
};

struct CostingCardOptions
{
    CardPrintScope scope = CardPrintScope::ChosenGroup;
    qlonglong group = 0; // the dish group of ChosenGroup
    CardPrices prices = CardPrices::Selling;
    QString enterprise; // printed above every card
    qlonglong dish = 0; // the dish of OneDish
};

struct CostingCardPrintResult
{
    // The filled workbook; null when the print stopped, and then no mark was cleared.
    std::unique_ptr<Workbook> workbook;
    QString error; // why it stopped, for the user
    int cardsPrinted = 0;
    int dishesPassed = 0; // printed or skipped: their marks are cleared
};

// One dish's card as the print computes it, for the forms that lay the same figures out otherwise.
struct CostingCardFigures
{
    struct Line
    {
        qlonglong ingredient = 0;
        QString name;
        double net = 0;          // grams for the card's portions, as the card line holds them
        double gross = 0;        // grams for the card's portions, before the ingredient's waste
        double unitGrams = 0;    // of the ingredient's unit, which its prices are for
        double costPrice = 0;    // of a unit, as the warehouse keeps it
        double sellingPrice = 0; // with the ingredient's markup
    };
    qlonglong dish = 0;
    QString name;
    double portions = 0; // whole
    double percent = 0;  // the dish's whole markup, on top of its ingredients' selling prices
    QString yield;
    std::vector<Line> lines;
};

// "Печать калькуляционных карт": one card per dish with the gross norms, prices and sums computed from
// the ingredients' warehouse prices at the moment of printing.
//
// Everything is read first and checked before a cell is written: a zero portion count, yield or unit
// weight, a vanished ingredient or unit stops the print with a message naming the dish and the
// ingredient, so that no half-built workbook reaches the user and no mark is lost. The marks of the
// dishes the run passed are cleared in one transaction once the workbook is complete.
class CostingCardPrint
{
public:
    // False stops the print between two cards: nothing is printed and no mark is cleared.
    using Progress = std::function<bool(int percent)>;

    CostingCardPrint(QSqlDatabase db, const Clock& clock) : m_db(std::move(db)), m_clock(clock) {}

    CostingCardPrintResult run(const CostingCardOptions& options, const Progress& progress = {});

    // The cards of the options' dishes, read and checked as run() does them; no mark is cleared.
    // Nothing, and the reason in *error, where the print would stop.
    std::optional<std::vector<CostingCardFigures>> figures(const CostingCardOptions& options, QString* error);
    // The same cards with the ingredients' prices in force on each day (HistoricalPrices), one list per
    // day in the days' order; the dishes and their lines are the same in each.
    std::optional<std::vector<std::vector<CostingCardFigures>>>
    figuresOn(const CostingCardOptions& options, std::span<const QDate> days, QString* error);

private:
    QSqlDatabase m_db;
    const Clock& m_clock;
};
