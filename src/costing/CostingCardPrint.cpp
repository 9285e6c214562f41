#include "CostingCardPrint.h"

#include "reports/FormStyle.h"
#include "reports/PageFlow.h"
#include "reports/Workbook.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"
#include "store/UserPrompts.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qlonglong noKey = -1;
constexpr int lastColumn = 9;    // I
constexpr int ruledColumns = 8;  // A to H
constexpr int signedColumns = 6; // A to F

const QString blank = u" "_s;

qlonglong keyOf(const QVariant& value)
{
    return rowKey(value).value_or(noKey);
}

struct Ingredient
{
    QString name;
    double price = 0;
    double percent = 0;              // whole
    double yield = 0;                // whole
    std::optional<double> unitGrams; // whole; nothing when the unit is gone
};

struct Group
{
    qlonglong key = noKey;
    QString name;
};

struct Dish
{
    qlonglong group = noKey;
    qlonglong key = noKey;
    QString name;
    double portions = 0; // whole
    QString yield;
    QString mark;
};

struct Line
{
    qlonglong dish = noKey;
    qlonglong ingredient = noKey;
    double grams = 0;
};

struct Figures
{
    QString name;
    double gross = 0;
    double price = 0;
    double sum = 0;
    qlonglong ingredient = noKey;
    double unitGrams = 0;
    double costPrice = 0;
    double sellingPrice = 0;
    double net = 0;
};

// A dish that gets a card: its lines computed before anything is written.
struct Card
{
    const Dish* dish = nullptr;
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
    // The cards of the dishes to print; false with *error at the first figure that would divide by zero.
    bool compute(QString* error);
    void fill(Sheet& sheet, const QDate& today, const CostingCardPrint::Progress& progress) const;
    bool clearMarks(QString* error) const;

    std::vector<CostingCardFigures> figures() const;
    int cardsPrinted() const { return static_cast<int>(m_cards.size()); }
    int dishesPassed() const { return static_cast<int>(m_dishes.size()); }

private:
    bool prints(const Dish& dish) const
    {
        if (m_options.scope == CardPrintScope::OneDish)
            return dish.key == m_options.dish;
        // Any visible character marks a dish; empty, a space and control characters do not.
        return m_options.scope != CardPrintScope::MarkedDishes ||
               (!dish.mark.isEmpty() && dish.mark.front().unicode() > u' ');
    }
    std::optional<Figures> lineFigures(const Dish& dish, const Line& line, QString* error) const;
    int writeCard(Sheet& sheet, int row, const Card& card) const;

    QSqlDatabase m_db;
    const CostingCardOptions& m_options;
    QHash<qlonglong, Ingredient> m_ingredients;
    std::vector<Group> m_groups;
    std::vector<Dish> m_dishes; // of the printed groups, by group, then key
    std::vector<Line> m_lines;  // by dish, then key
    std::vector<Card> m_cards;
};

bool CardPrintRun::load(QString* error)
{
    const bool chosen = m_options.scope == CardPrintScope::ChosenGroup;
    const QVariantList group = chosen ? QVariantList{m_options.group} : QVariantList{};
    const QString ofGroup = chosen ? u" WHERE Kod = ?"_s : QString();
    QHash<qlonglong, double> unitGrams;
    QString badReference;
    const bool read =
        forEachRow(
            m_db, u"SELECT Kod, Gramm FROM Edinica"_s, {},
            [&](const QSqlQuery& q) {
                unitGrams.insert(q.value(0).toLongLong(), rounding::wholeNumber(q.value(1).toDouble()));
            },
            error) &&
        forEachRow(
            m_db, u"SELECT Kod1, Name, Edinica, Cena, Proc, Vih FROM Ing"_s, {},
            [&](const QSqlQuery& q) {
                const auto unit = unitGrams.constFind(keyOf(q.value(2)));
                m_ingredients.insert(
                    q.value(0).toLongLong(),
                    Ingredient{q.value(1).toString(), q.value(3).toDouble(),
                               rounding::wholeNumber(q.value(4).toDouble()),
                               rounding::wholeNumber(q.value(5).toDouble()),
                               unit == unitGrams.cend() ? std::nullopt : std::optional<double>(*unit)});
            },
            error) &&
        forEachRow(
            m_db,
            u"SELECT Kod, Name FROM Grbludo%1 ORDER BY Name COLLATE %2, Kod"_s.arg(
                ofGroup, QLatin1String(Database::collation)),
            group,
            [&](const QSqlQuery& q) {
                m_groups.push_back(Group{q.value(0).toLongLong(), q.value(1).toString()});
            },
            error) &&
        forEachRow(
            m_db, u"SELECT Kod, Kod1, Name, Nporc, Vixod, Print FROM Bludo%1 ORDER BY Kod1"_s.arg(ofGroup),
            group,
            [&](const QSqlQuery& q) {
                m_dishes.push_back(Dish{keyOf(q.value(0)), q.value(1).toLongLong(), q.value(2).toString(),
                                        rounding::wholeNumber(q.value(3).toDouble()), q.value(4).toString(),
                                        q.value(5).toString()});
            },
            error) &&
        forEachRow(
            m_db,
            chosen ? u"SELECT Kod, Name, Kolvo, NNN FROM Karta WHERE Kod IN "
                     "(SELECT Kod1 FROM Bludo WHERE Kod = ?) ORDER BY NNN"_s
                   : u"SELECT Kod, Name, Kolvo, NNN FROM Karta ORDER BY NNN"_s,
            group,
            [&](const QSqlQuery& q) {
                if (badReference.isEmpty() && !isWholeReference(q.value(1)))
                    badReference = notWholeReference(u"Karta"_s, q.value(3), u"Name"_s, q.value(1));
                // A line whose dish reference is not whole belongs to no dish, as in every join.
                m_lines.push_back(
                    Line{wholeKey(q.value(0)).value_or(noKey), keyOf(q.value(1)), q.value(2).toDouble()});
            },
            error);
    if (!read)
        return false;
    if (!badReference.isEmpty()) {
        *error = badReference;
        return false;
    }
    // Dishes of a group in key order, the lines of a card in key order. A dish whose group is gone is
    // passed by no run and keeps its mark.
    QHash<qlonglong, int> groupOrder;
    for (const Group& g : m_groups)
        groupOrder.insert(g.key, static_cast<int>(groupOrder.size()));
    std::erase_if(m_dishes, [&](const Dish& dish) { return !groupOrder.contains(dish.group); });
    std::stable_sort(m_dishes.begin(), m_dishes.end(), [&](const Dish& a, const Dish& b) {
        return groupOrder.value(a.group) < groupOrder.value(b.group);
    });
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [](const Line& a, const Line& b) { return a.dish < b.dish; });
    return true;
}

std::optional<Figures> CardPrintRun::lineFigures(const Dish& dish, const Line& line, QString* error) const
{
    const QString where = u"Калькуляционные карты не напечатаны. Блюдо \"%1\""_s.arg(dish.name);
    const auto found = m_ingredients.constFind(line.ingredient);
    if (found == m_ingredients.cend()) {
        *error = where + u": ингредиента строки калькуляционной карты нет в справочнике "
                         "ингредиентов, его выход и цена равны нулю."_s;
        return std::nullopt;
    }
    const Ingredient& ingredient = *found;
    const QString what = where + u", ингредиент \"%1\": "_s.arg(ingredient.name);
    if (!ingredient.unitGrams) {
        *error = what + u"не найдена единица измерения, вес единицы (Грамм) равен нулю."_s;
        return std::nullopt;
    }
    if (*ingredient.unitGrams == 0) {
        *error = what + u"вес единицы измерения (Грамм) равен нулю."_s;
        return std::nullopt;
    }
    if (ingredient.yield == 0) {
        *error = what + u"выход (% Вых) равен нулю."_s;
        return std::nullopt;
    }
    const double selling = ingredient.price * (1 + ingredient.percent / 100);
    const double price = m_options.prices == CardPrices::Cost ? ingredient.price : selling;
    return Figures{ingredient.name,
                   line.grams * 100 / ingredient.yield,
                   price,
                   rounding::toKopeck(line.grams * (price / *ingredient.unitGrams) * 100 / ingredient.yield),
                   line.ingredient,
                   *ingredient.unitGrams,
                   ingredient.price,
                   selling,
                   line.grams};
}

bool CardPrintRun::compute(QString* error)
{
    for (const Dish& dish : m_dishes) {
        if (!prints(dish))
            continue;
        if (dish.portions == 0) {
            *error = u"Калькуляционные карты не напечатаны. Блюдо \"%1\": число порций равно нулю."_s.arg(
                dish.name);
            return false;
        }
        Card card{&dish, {}, 0};
        const auto [first, last] =
            std::equal_range(m_lines.cbegin(), m_lines.cend(), Line{dish.key},
                             [](const Line& a, const Line& b) { return a.dish < b.dish; });
        for (auto line = first; line != last; ++line) {
            std::optional<Figures> figures = lineFigures(dish, *line, error);
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

void CardPrintRun::fill(Sheet& sheet, const QDate& today, const CostingCardPrint::Progress& progress) const
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

    const double groupCount = m_options.scope == CardPrintScope::ChosenGroup ? 1 : double(m_groups.size());
    auto dish = m_dishes.cbegin();
    auto card = m_cards.cbegin();
    int row = 2;
    // Each card on one page where it fits; a group's heading goes with its first card.
    std::vector<std::pair<int, int>> cardRows;
    for (size_t g = 0; g < m_groups.size(); ++g) {
        ++row;
        const int heading = row;
        sheet.cell(row, 1).setValue(m_groups[g].name).setHorizontalAlignment(HAlign::Left);
        formstyle::setRowFont(sheet, row, 16, true);
        ++row;
        const auto end =
            std::find_if(dish, m_dishes.cend(), [&](const Dish& d) { return d.group != m_groups[g].key; });
        const double dishCount = double(end - dish);
        for (int k = 1; dish != end; ++dish, ++k) {
            if (progress)
                progress(rounding::toInt(k / dishCount / groupCount * 100) +
                         rounding::toInt(100 / groupCount * double(g)));
            if (card != m_cards.cend() && card->dish == &*dish) {
                const int first = cardRows.empty() || cardRows.back().second < heading ? heading : row;
                row = writeCard(sheet, row, *card++);
                cardRows.emplace_back(first, row - 3); // two empty rows follow a card
            }
        }
    }
    pageflow::keepTogether(sheet, cardRows);
}

int CardPrintRun::writeCard(Sheet& sheet, int row, const Card& card) const
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

    sheet.cell(row, 1).setValue(u"№"_s);
    sheet.cell(row, 2).setValue(u"Наименование продуктов"_s);
    sheet.cell(row, 5).setValue(u"Норма в гр. (Брутто)"_s);
    sheet.cell(row, 7).setValue(u"Цена"_s);
    sheet.cell(row, 8).setValue(u"Сумма"_s);
    formstyle::setRowFont(sheet, row, 12, true);
    sheet.range(row, 6, row, 8).setHorizontalAlignment(HAlign::Right).setVerticalAlignment(VAlign::Center);
    formstyle::bottomRule(sheet.range(row, 1, row, ruledColumns));
    ++row;

    int number = 0;
    for (const Figures& line : card.lines) {
        sheet.cell(row, 1).setValue(++number);
        sheet.cell(row, 2).setValue(line.name);
        sheet.cell(row, 6).setValue(line.gross);
        sheet.cell(row, 7).setValue(line.price);
        sheet.cell(row, 8).setValue(line.sum);
        formstyle::setRowFont(sheet, row, 12);
        formstyle::bottomRule(sheet.range(row, 1, row, ruledColumns));
        ++row;
    }

    const double portions = card.dish->portions;
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
        figures.portions = card.dish->portions;
        figures.yield = card.dish->yield;
        for (const Figures& line : card.lines)
            figures.lines.push_back({line.ingredient, line.name, line.net, line.gross, line.unitGrams,
                                     line.costPrice, line.sellingPrice});
    }
    return cards;
}

bool CardPrintRun::clearMarks(QString* error) const
{
    return inTransaction(m_db, error, [&] {
        QSqlQuery query(m_db);
        query.prepare(u"UPDATE Bludo SET Print = ? WHERE Kod1 = ?"_s);
        for (const Dish& dish : m_dishes) {
            if (dish.mark == blank)
                continue; // already clear: nothing to write
            query.addBindValue(blank);
            query.addBindValue(dish.key);
            if (!query.exec()) {
                *error = sqlErrorText(query.lastError());
                return false;
            }
        }
        return true;
    });
}

} // namespace

CostingCardPrintResult CostingCardPrint::run(const CostingCardOptions& options, const Progress& progress)
{
    CostingCardPrintResult result;
    CardPrintRun run(m_db, options);
    QString error;
    if (!run.load(&error)) {
        result.error = u"Калькуляционные карты не напечатаны: "_s + error;
        return result;
    }
    if (!run.compute(&result.error))
        return result;
    auto workbook = std::make_unique<Workbook>();
    run.fill(workbook->sheet(1), m_clock.today(), progress);
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
        *error = u"Калькуляционные карты не напечатаны: "_s + *error;
        return std::nullopt;
    }
    if (!run.compute(error))
        return std::nullopt;
    return run.figures();
}
