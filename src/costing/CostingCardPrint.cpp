#include "CostingCardPrint.h"

#include "DishCatalog.h"
#include "HistoricalPrices.h"
#include "RecipeBook.h"
#include "reports/FormStyle.h"
#include "reports/PageFlow.h"
#include "reports/PrintJob.h"
#include "reports/Workbook.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/UserPrompts.h"

#include <QSqlError>
#include <QSqlQuery>

#include <optional>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int lastColumn = 9;    // I
constexpr int ruledColumns = 8;  // A to H
constexpr int signedColumns = 6; // A to F

const QString blank = u" "_s;
const QString refused = u"Калькуляционные карты не напечатаны: "_s;

struct Figures
{
    QString name;
    double gross = 0;
    double price = 0;
    double sum = 0;
    qlonglong ingredient = 0;
    double unitGrams = 0;
    double costPrice = 0;
    double sellingPrice = 0;
    double net = 0;
};

// A dish that gets a card: its lines computed before anything is written.
struct Card
{
    const RecipeDish* dish = nullptr;
    std::vector<Figures> lines;
    double total = 0;
};

class CardPrintRun
{
public:
    CardPrintRun(QSqlDatabase db, const CostingCardOptions& options) : m_db(std::move(db)), m_options(options)
    {
    }

    bool load(QString* error);
    // The prices the cards are computed with from now on, in place of those stored.
    void substitutePrices(const QHash<qlonglong, std::optional<double>>& prices)
    {
        for (auto it = prices.cbegin(); it != prices.cend(); ++it)
            m_book.substitutePrice(it.key(), it.value());
    }
    // The cards of the dishes to print; false with *error at the first figure that would divide by zero.
    bool compute(QString* error);
    // False when the progress said stop.
    bool fill(Sheet& sheet, const QDate& today, const CostingCardPrint::Progress& progress) const;
    bool clearMarks(QString* error) const;

    std::vector<CostingCardFigures> figures() const;
    int cardsPrinted() const { return static_cast<int>(m_cards.size()); }
    int dishesPassed() const { return static_cast<int>(m_dishes.size()); }

private:
    bool prints(const RecipeDish& dish) const
    {
        if (m_options.scope == CardPrintScope::OneDish)
            return dish.key == m_options.dish;
        // Any visible character marks a dish; empty, a space and control characters do not.
        return m_options.scope != CardPrintScope::MarkedDishes ||
               (!dish.mark.isEmpty() && dish.mark.front().unicode() > u' ');
    }
    std::optional<Figures> lineFigures(const RecipeDish& dish, const RecipeLine& line, QString* error) const;
    // Writes the card from the row and returns the row after it. With pages, a card longer than a
    // page begins each of its pages with the heads of its columns.
    int writeCard(Sheet& sheet, int row, const Card& card, pageflow::Pages* pages = nullptr) const;

    QSqlDatabase m_db;
    const CostingCardOptions& m_options;
    RecipeBook m_book;
    // The dishes of the printed groups, by group, then key. A dish whose group is gone is passed by no
    // run and keeps its mark.
    std::vector<const RecipeDish*> m_dishes;
    std::vector<Card> m_cards;
};

bool CardPrintRun::load(QString* error)
{
    const bool chosen = m_options.scope == CardPrintScope::ChosenGroup;
    // The card shows a semi-finished product's price as stored: its composition is not read.
    const RecipeSelection selection{
        chosen ? RecipeSelection::Dishes::Group : RecipeSelection::Dishes::Kitchen, m_options.group, false};
    if (!m_book.load(m_db, selection, error))
        return false;
    for (const RecipeGroup& group : m_book.groups()) {
        for (const RecipeDish& dish : m_book.dishesOf(group.key))
            m_dishes.push_back(&dish);
    }
    return true;
}

std::optional<Figures> CardPrintRun::lineFigures(const RecipeDish& dish, const RecipeLine& line,
                                                 QString* error) const
{
    // The card has always counted unit weights, yields and markups as whole numbers, and a card
    // line's own yield plays no part in it.
    static constexpr Divisors divisors{.unitGrams = DivisorForm::Whole,
                                       .portions = DivisorForm::Whole,
                                       .yield = DivisorForm::Whole,
                                       .lineYield = DivisorForm::Unused};
    const QString fault = m_book.lineFault(dish, line, divisors);
    if (!fault.isEmpty()) {
        *error = refused + fault;
        return std::nullopt;
    }
    const RecipeIngredient* ingredient = m_book.ingredient(line.ingredient);
    const double unitGrams = *ingredient->wholeUnitGrams;
    const double yield = ingredient->wholeYield;
    const double stored = ingredient->price.value_or(0);
    const double selling = stored * (1 + ingredient->wholePercent / 100);
    const double price = m_options.prices == CardPrices::Cost ? stored : selling;
    return Figures{ingredient->name,
                   line.grams * 100 / yield,
                   price,
                   rounding::toKopeck(line.grams * (price / unitGrams) * 100 / yield),
                   line.ingredient,
                   unitGrams,
                   stored,
                   selling,
                   line.grams};
}

bool CardPrintRun::compute(QString* error)
{
    m_cards.clear();
    for (const RecipeDish* dish : m_dishes) {
        if (!prints(*dish))
            continue;
        // The card divides its total by the portions even when it has no lines.
        const QString fault = m_book.portionsFault(*dish, DivisorForm::Whole);
        if (!fault.isEmpty()) {
            *error = refused + fault;
            return false;
        }
        Card card{dish, {}, 0};
        for (const RecipeLine& line : m_book.card(dish->key)) {
            std::optional<Figures> figures = lineFigures(*dish, line, error);
            if (!figures)
                return false;
            card.total += figures->sum;
            card.lines.push_back(std::move(*figures));
        }
        // The line sums are whole kopecks; rounding drops what adding them in binary left over.
        card.total = rounding::toKopeck(card.total);
        m_cards.push_back(std::move(card));
    }
    return true;
}

bool CardPrintRun::fill(Sheet& sheet, const QDate& today, const CostingCardPrint::Progress& progress) const
{
    sheet.setName(u"Калькуляционные карты"_s);
    // Column I, the end of each card's title, would otherwise fall on pages of its own.
    sheet.setOnePageWide(true);
    sheet.setColumnWidth(1, 4);
    sheet.columns(2, lastColumn).setColumnWidth(10.2);
    sheet.column(6).setNumberFormat(u"0"_s);
    sheet.columns(7, 8).setNumberFormat(u"0.00"_s);
    sheet.column(1).setHorizontalAlignment(HAlign::Center).setVerticalAlignment(VAlign::Center);

    // The title goes into the last cell of its block before the merge, as the spreadsheet keeps it.
    sheet.cell(1, lastColumn)
        .setValue(u"Калькуляционные карты блюд, состояние на %1 г."_s.arg(today.toString(u"dd.MM.yyyy"_s)));
    sheet.range(1, 1, 1, lastColumn).merge();
    formstyle::setRowFont(sheet, 1, 16, true);
    sheet.row(1).setHorizontalAlignment(HAlign::Center).setVerticalAlignment(VAlign::Center);

    const std::vector<RecipeGroup>& groups = m_book.groups();
    const double groupCount = m_options.scope == CardPrintScope::ChosenGroup ? 1 : double(groups.size());
    auto card = m_cards.cbegin();
    int row = 2;
    // Each card on one page where it fits; a group's heading goes with its first card. A card longer
    // than a page stays where it begins and repeats its heading on each page it runs onto.
    pageflow::Pages pages(sheet, pageflow::Pages::Ends::Breaks);
    for (size_t g = 0; g < groups.size(); ++g) {
        ++row;
        const int heading = row;
        sheet.cell(row, 1).setValue(groups[g].name).setHorizontalAlignment(HAlign::Left);
        formstyle::setRowFont(sheet, row, 16, true);
        ++row;
        const std::span<const RecipeDish> dishes = m_book.dishesOf(groups[g].key);
        const double dishCount = double(dishes.size());
        bool first = true;
        int k = 0;
        for (const RecipeDish& dish : dishes) {
            ++k;
            if (progress && !progress(rounding::toInt(k / dishCount / groupCount * 100) +
                                      rounding::toInt(100 / groupCount * double(g))))
                return false;
            if (card == m_cards.cend() || card->dish != &dish)
                continue;
            const int top = first ? heading : row;
            first = false;
            pages.countTo(top);
            int end = writeCard(sheet, row, *card);
            const double block = pages.height(top, end - 3); // two empty rows follow a card
            if (!pages.fits(block) && pages.fitAPage(block)) {
                if (!pages.atTop())
                    pages.breakBefore(top);
            } else if (!pages.fits(block)) {
                sheet.discardRowsFrom(row);
                end = writeCard(sheet, row, *card, &pages);
            }
            row = end;
            ++card;
        }
    }
    return true;
}

int CardPrintRun::writeCard(Sheet& sheet, int row, const Card& card, pageflow::Pages* pages) const
{
    sheet.cell(row, 1).setValue(m_options.enterprise).setHorizontalAlignment(HAlign::Left);
    formstyle::setRowFont(sheet, row, 12, true);
    ++row;
    sheet.cell(row, lastColumn).setValue(u"Калькуляционная карточка №____"_s);
    sheet.range(row, 1, row, lastColumn)
        .merge()
        .setHorizontalAlignment(HAlign::Center)
        .setVerticalAlignment(VAlign::Center);
    formstyle::setRowFont(sheet, row, 16, true);
    ++row;
    sheet.cell(row, 7).setValue(u"№ по сборнику рецептур____"_s);
    formstyle::setRowFont(sheet, row, 10);
    ++row;
    sheet.cell(row, 1)
        .setValue(u"Наименование блюда: "_s + card.dish->name)
        .setHorizontalAlignment(HAlign::Left);
    formstyle::setRowFont(sheet, row, 14);
    ++row;

    const auto heading = [&](int at) {
        sheet.cell(at, 1).setValue(u"№"_s);
        sheet.cell(at, 2).setValue(u"Наименование продуктов"_s);
        sheet.cell(at, 5).setValue(u"Норма в гр. (Брутто)"_s);
        sheet.cell(at, 7).setValue(u"Цена"_s);
        sheet.cell(at, 8).setValue(u"Сумма"_s);
        formstyle::setRowFont(sheet, at, 12, true);
        sheet.range(at, 6, at, 8).setHorizontalAlignment(HAlign::Right).setVerticalAlignment(VAlign::Center);
        formstyle::bottomRule(sheet.range(at, 1, at, ruledColumns));
        return at + 1;
    };
    const auto line = [&](int at, int n) {
        const Figures& figures = card.lines[size_t(n)];
        sheet.cell(at, 1).setValue(n + 1);
        sheet.cell(at, 2).setValue(figures.name);
        sheet.cell(at, 6).setValue(figures.gross);
        sheet.cell(at, 7).setValue(figures.price);
        sheet.cell(at, 8).setValue(figures.sum);
        formstyle::setRowFont(sheet, at, 12);
        formstyle::bottomRule(sheet.range(at, 1, at, ruledColumns));
        return at + 1;
    };
    const int lines = int(card.lines.size());
    if (pages) {
        row = pageflow::continuedTable(*pages, row, lines, heading, line);
    } else {
        row = heading(row);
        for (int n = 0; n < lines; ++n)
            row = line(row, n);
    }

    const double portions = rounding::wholeNumber(card.dish->portions);
    const auto totalRow = [&](const QString& text) {
        sheet.cell(row, 1).setValue(text).setHorizontalAlignment(HAlign::Left);
        formstyle::setRowFont(sheet, row, 12, true);
        formstyle::bottomRule(sheet.range(row, 1, row, ruledColumns));
        return sheet.cell(row++, 8);
    };
    totalRow(u"Общая стоимость сырьевого набора на %1 блюд"_s.arg(portions, 0, 'f', 0)).setValue(card.total);
    totalRow(u"Продажная цена одного блюда"_s).setValue(rounding::toKopeck(card.total / portions));
    totalRow(u"Выход в готовом виде одного блюда"_s)
        .setValue(card.dish->yield)
        .setHorizontalAlignment(HAlign::Right);
    ++row;

    for (const QString& text : {u"Калькуляцию составил"_s, u"Утверждаю: Руководитель"_s}) {
        sheet.cell(row, 1).setValue(text).setHorizontalAlignment(HAlign::Left);
        formstyle::setRowFont(sheet, row, 12);
        formstyle::bottomRule(sheet.range(row, 1, row, signedColumns));
        ++row;
    }
    return row + 2;
}

std::vector<CostingCardFigures> CardPrintRun::figures() const
{
    std::vector<CostingCardFigures> cards;
    for (const Card& card : m_cards) {
        CostingCardFigures& figures = cards.emplace_back();
        figures.dish = card.dish->key;
        figures.name = card.dish->name;
        figures.portions = rounding::wholeNumber(card.dish->portions);
        figures.percent = rounding::wholeNumber(card.dish->percent);
        figures.yield = card.dish->yield;
        for (const Figures& line : card.lines)
            figures.lines.push_back({line.ingredient, line.name, line.net, line.gross, line.unitGrams,
                                     line.costPrice, line.sellingPrice});
    }
    return cards;
}

bool CardPrintRun::clearMarks(QString* error) const
{
    QList<qlonglong> marked;
    for (const RecipeDish* dish : m_dishes) {
        if (dish->mark != blank) // a clear mark needs no write
            marked.append(dish->key);
    }
    return inTransaction(m_db, error, [&] { return DishCatalog::setPrintMarks(m_db, marked, blank, error); });
}

} // namespace

CostingCardPrintResult CostingCardPrint::run(const CostingCardOptions& options, const Progress& progress)
{
    CostingCardPrintResult result;
    CardPrintRun run(m_db, options);
    QString error;
    if (!run.load(&error)) {
        result.error = refused + error;
        return result;
    }
    if (!run.compute(&result.error))
        return result;
    auto workbook = std::make_unique<Workbook>();
    if (!run.fill(workbook->sheet(1), m_clock.today(), progress)) {
        result.error = PrintJob::cancelledText();
        return result;
    }
    if (!run.clearMarks(&error)) {
        result.error = u"Не удалось снять отметки \"V\" напечатанных блюд: "_s + error;
        return result;
    }
    result.workbook = std::move(workbook);
    result.cardsPrinted = run.cardsPrinted();
    result.dishesPassed = run.dishesPassed();
    return result;
}

std::optional<std::vector<CostingCardFigures>> CostingCardPrint::figures(const CostingCardOptions& options,
                                                                         QString* error)
{
    CardPrintRun run(m_db, options);
    if (!run.load(error)) {
        *error = refused + *error;
        return std::nullopt;
    }
    if (!run.compute(error))
        return std::nullopt;
    return run.figures();
}

std::optional<std::vector<std::vector<CostingCardFigures>>>
CostingCardPrint::figuresOn(const CostingCardOptions& options, std::span<const QDate> days, QString* error)
{
    CardPrintRun run(m_db, options);
    HistoricalPrices history;
    if (!run.load(error) || !history.load(m_db, error)) {
        *error = refused + *error;
        return std::nullopt;
    }
    std::vector<std::vector<CostingCardFigures>> cards;
    for (const QDate& day : days) {
        run.substitutePrices(history.on(day));
        if (!run.compute(error))
            return std::nullopt;
        cards.push_back(run.figures());
    }
    return cards;
}
