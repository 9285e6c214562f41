#include "ConsumptionCalculator.h"

#include "costing/DishCatalog.h"
#include "costing/RecipeBook.h"
#include "SalesDocuments.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/PreparedStatement.h"
#include "store/Rounding.h"
#include "store/RowBatch.h"
#include "store/RowKey.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qlonglong noKey = RecipeBook::noKey;

const QString caption = u"Ошибка расчёта реализации"_s;

// The sales calculation has always divided by whole portions and whole yields of components.
constexpr Divisors divisors{.portions = DivisorForm::Whole, .componentYield = DivisorForm::Whole};

bool sameReference(const QVariant& stored, const QVariant& written)
{
    return stored.isNull() ? written.isNull()
                           : !written.isNull() && rowKey(stored).value_or(noKey) == written.toLongLong();
}

struct SalesLine
{
    qlonglong dish = noKey;
    double sold = 0;
};

using Row = ConsumptionRow;

// One document's rows expanded from its lines through the recipe; first occurrence wins for everything
// but the quantity.
class Expansion
{
public:
    // expectedRows: room made at once, as a period's documents have much the same number of rows.
    explicit Expansion(const RecipeBook& book, std::size_t expectedRows = 0) : m_book(book)
    {
        rows.reserve(expectedRows);
        m_rowIndex.reserve(qsizetype(expectedRows));
    }

    // Expands every line in memory; false with the user's message in result.message on a fault.
    bool compute(const std::vector<SalesLine>& lines, ConsumptionRun& result);

    std::vector<Row> rows;
    std::vector<std::pair<qlonglong, double>> newPrices; // dishes whose stored price differs

private:
    // The price of one portion of the dish, adding sold × quantities to the rows; nothing with *fault.
    std::optional<double> expand(const RecipeDish& dish, double sold, QString* fault);
    void plainLine(const RecipeIngredient& ingredient, const RecipeLine& line, double portions, double sold,
                   double* price);
    bool semiFinishedLine(const RecipeDish& dish, const RecipeIngredient& product, const RecipeLine& line,
                          double portions, double sold, double* price, QString* fault);
    Row& rowOf(const RecipeIngredient& ingredient);

    const RecipeBook& m_book;
    QHash<qlonglong, std::size_t> m_rowIndex;
};

Row& Expansion::rowOf(const RecipeIngredient& ingredient)
{
    const auto found = m_rowIndex.constFind(ingredient.key);
    if (found != m_rowIndex.cend())
        return rows[*found];
    m_rowIndex.insert(ingredient.key, rows.size());
    // The sales calculation has always counted markups, rounding and positions as whole numbers.
    const double price = ingredient.price.value_or(0);
    return rows.emplace_back(Row{
        ingredient.key, ingredient.group, ingredient.unit, price, price * (ingredient.wholePercent / 100 + 1),
        0, rounding::wholeNumber(ingredient.okr), rounding::wholeNumber(ingredient.position)});
}

void Expansion::plainLine(const RecipeIngredient& ingredient, const RecipeLine& line, double portions,
                          double sold, double* price)
{
    Row& row = rowOf(ingredient);
    // Left to right, in the order the figures have always been computed.
    double portion = line.grams / *ingredient.unitGrams / portions;
    portion = portion * 100 / ingredient.yield;
    portion = portion * 100 / line.yield;
    *price += row.priceWithMarkup * portion;
    row.quantity += sold * portion;
}

bool Expansion::semiFinishedLine(const RecipeDish& dish, const RecipeIngredient& product,
                                 const RecipeLine& line, double portions, double sold, double* price,
                                 QString* fault)
{
    // The product's own yield and the line's yield play no part: only its components are consumed.
    const double portion = line.grams / *product.unitGrams / portions;
    double cost = 0;
    for (const RecipeLine& component : m_book.composition(product.key)) {
        *fault = m_book.componentFault(dish, product.key, component, divisors);
        if (!fault->isEmpty())
            return false;
        const RecipeIngredient* found = m_book.ingredient(component.ingredient);
        const double yield = found->wholeYield;
        Row& row = rowOf(*found);
        const double q = component.grams / *found->unitGrams * portion;
        cost += row.priceWithMarkup * q * 100 / yield;
        row.quantity += sold * q * 100 / yield;
    }
    *price += cost;
    return true;
}

std::optional<double> Expansion::expand(const RecipeDish& dish, double sold, QString* fault)
{
    const double portions = rounding::wholeNumber(dish.portions);
    double price = 0;
    for (const RecipeLine& line : m_book.card(dish.key)) {
        *fault = m_book.lineFault(dish, line, divisors);
        if (!fault->isEmpty())
            return std::nullopt;
        const RecipeIngredient* found = m_book.ingredient(line.ingredient);
        if (!found->semiFinished)
            plainLine(*found, line, portions, sold, &price);
        else if (!semiFinishedLine(dish, *found, line, portions, sold, &price, fault))
            return std::nullopt;
    }
    price = rounding::toKopeck(price * (rounding::wholeNumber(dish.percent) / 100 + 1));
    if (!std::isfinite(price)) {
        *fault = m_book.refusal(dish, u"цена порции даёт недопустимое число (переполнение)."_s);
        return std::nullopt;
    }
    return price;
}

bool Expansion::compute(const std::vector<SalesLine>& lines, ConsumptionRun& result)
{
    QHash<qlonglong, double> priced;
    for (const SalesLine& line : lines) {
        const RecipeDish* dish = m_book.dish(line.dish);
        if (!dish) {
            ++result.linesSkipped;
            continue;
        }
        QString fault;
        std::optional<double> price = expand(*dish, line.sold, &fault);
        if (price) {
            for (const Row& row : rows) {
                if (!std::isfinite(row.quantity)) {
                    price.reset();
                    fault = m_book.refusal(*dish, m_book.whose(row.ingredient) +
                                                      u" расход даёт недопустимое число (переполнение)."_s);
                    break;
                }
            }
        }
        if (!price) {
            result.ok = false;
            result.failedDish = line.dish;
            result.caption = caption;
            result.message = u"Расчёт реализации остановлен: %1 Расход и цены блюд не изменены."_s.arg(fault);
            return false;
        }
        ++result.linesExpanded;
        priced.insert(line.dish, *price);
    }
    for (auto it = priced.cbegin(); it != priced.cend(); ++it) {
        if (m_book.dish(it.key())->price != it.value())
            newPrices.emplace_back(it.key(), it.value());
    }
    result.rows = int(rows.size());
    return true;
}

// A document's calculated rows, to be written over its stored ones.
struct Calculated
{
    qlonglong document = 0;
    std::vector<Row> rows;
    bool rewritten = false; // set by storeRows: false when the stored rows already held these figures
};

// Writes each document's rows where they differ from its stored ones, then the dishes' prices (in key
// order, so that two writers on a server take the rows in one order). Inside the caller's transaction.
bool storeRows(const QSqlDatabase& db, std::vector<Calculated>& documents,
               std::vector<std::pair<qlonglong, double>> prices, QString* error)
{
    PreparedStatement stored(
        db,
        u"SELECT KodGrIng, KodIng, CenaIng, Cenaing1, Edinica, Kolvo, Okr, Position FROM RealItog "
        "WHERE Kod = ? ORDER BY NNN"_s,
        error);
    PreparedStatement clear(db, u"DELETE FROM RealItog WHERE Kod = ?"_s, error);
    if (!stored.isValid() || !clear.isValid())
        return false;
    RowBatch insert(db, u"RealItog"_s,
                    {u"Kod"_s, u"KodGrIng"_s, u"KodIng"_s, u"CenaIng"_s, u"Cenaing1"_s, u"Edinica"_s,
                     u"Kolvo"_s, u"Okr"_s, u"Position"_s});
    for (Calculated& calculated : documents) {
        // A recalculation of unchanged figures (printing, then posting) need not rewrite the rows.
        std::size_t next = 0;
        bool same = stored.bind({calculated.document}, error);
        if (!same)
            return false;
        while (stored.next(error)) {
            if (!same)
                continue;
            if (next == calculated.rows.size()) {
                same = false;
                continue;
            }
            const Row& row = calculated.rows[next++];
            same = sameReference(stored.value(0), row.group) &&
                   stored.value(1).toLongLong() == row.ingredient &&
                   stored.value(2).toDouble() == row.price &&
                   stored.value(3).toDouble() == row.priceWithMarkup &&
                   sameReference(stored.value(4), row.unit) && stored.value(5).toDouble() == row.quantity &&
                   stored.value(6).toDouble() == row.okr && stored.value(7).toDouble() == row.position &&
                   !stored.value(2).isNull() && !stored.value(5).isNull();
        }
        if (!error->isEmpty())
            return false;
        calculated.rewritten = !same || next != calculated.rows.size();
        if (!calculated.rewritten)
            continue;
        if (!clear.exec({calculated.document}, error))
            return false;
        for (const Row& row : calculated.rows) {
            if (!insert.add({calculated.document, row.group, row.ingredient, row.price, row.priceWithMarkup,
                             row.unit, row.quantity, row.okr, row.position},
                            error))
                return false;
        }
    }
    std::sort(prices.begin(), prices.end());
    return insert.flush(error) && DishCatalog::setPrices(db, prices, error);
}

} // namespace

QString ConsumptionRun::notice() const
{
    if (!ok || linesSkipped == 0)
        return {};
    return u"Строк документа пропущено: %1 (блюда этих строк больше нет в справочнике блюд)."_s.arg(
        linesSkipped);
}

ConsumptionRun ConsumptionCalculator::run(qlonglong document, SalesLines lines)
{
    ConsumptionRun result;
    QString error;
    QString failedStep;
    const auto refuse = [&result](const QString& text) {
        result.ok = false;
        result.caption = caption;
        result.message = text;
        return false;
    };
    // One snapshot for the reading and the writing, which no other workstation's work interleaves with.
    const bool done = Isolation::run(m_db, &error, [&] {
        result = ConsumptionRun();
        failedStep = u"Расчёт реализации не выполнен"_s;
        QSqlQuery status(m_db);
        if (!runQuery(status, u"SELECT Status FROM Realdoc WHERE Kod = ?"_s, {document}, &error))
            return false;
        if (!status.next())
            return refuse(u"Документ реализации не найден."_s);
        // An empty status reads as 0: posted, like every value below 5.
        if (status.value(0).toDouble() < SalesDocuments::openStatus)
            return refuse(u"Документ проведён. Расчёт не производится !!!"_s);
        status.finish(); // an open statement at the commit would keep SQLite from checkpointing

        const QString lineSql =
            lines == SalesLines::Sold
                ? u"SELECT KodBludo, Kolvo FROM Realsum WHERE Kod = ? AND Kolvo <> 0 ORDER BY Nnn"_s
                : u"SELECT KodBludo, Kolvo FROM Realsum WHERE Kod = ? ORDER BY Nnn"_s;
        const RecipeSelection selection{lines == SalesLines::Sold ? RecipeSelection::Dishes::SoldInDocument
                                                                  : RecipeSelection::Dishes::SalesDocument,
                                        document};
        std::vector<SalesLine> read;
        RecipeBook book;
        const bool loaded =
            forEachRow(
                m_db, lineSql, {document},
                [&](const QSqlQuery& q) {
                    read.push_back(SalesLine{rowKey(q.value(0)).value_or(noKey), q.value(1).toDouble()});
                },
                &error) &&
            book.load(m_db, selection, &error);
        if (!loaded)
            return false;
        Expansion expansion(book);
        if (!expansion.compute(read, result))
            return false;
        result.dishPricesChanged = int(expansion.newPrices.size());
        std::vector<Calculated> calculated{{document, std::move(expansion.rows)}};
        failedStep = u"Расход документа не сохранён"_s;
        if (!storeRows(m_db, calculated, std::move(expansion.newPrices), &error))
            return false;
        result.rowsRewritten = calculated.front().rewritten;
        return true;
    });
    if (!done) {
        ConsumptionRun failed;
        failed.ok = false;
        failed.caption = caption;
        failed.message = u"%1: %2"_s.arg(failedStep, error);
        return failed;
    }
    return result;
}

bool ConsumptionCalculator::clear(qlonglong document, QString* error)
{
    return execSql(m_db, u"DELETE FROM RealItog WHERE Kod = ?"_s, {document}, error);
}

struct PeriodConsumption::State
{
    RecipeBook book;
    QHash<qlonglong, std::vector<SalesLine>> lines; // by document
    std::vector<Calculated> calculated;
    QHash<qlonglong, double> prices; // every document prices a dish alike: one recipe
};

PeriodConsumption::PeriodConsumption(QSqlDatabase db)
    : m_db(std::move(db)), m_state(std::make_unique<State>())
{
}

PeriodConsumption::~PeriodConsumption() = default;

bool PeriodConsumption::load(const QDate& start, const QDate& end, QString* error)
{
    RecipeSelection selection{RecipeSelection::Dishes::Listed};
    const bool read = forEachRow(
        m_db,
        u"SELECT Kod, KodBludo, Kolvo FROM Realsum WHERE Kolvo <> 0 AND Kod IN "
        "(SELECT Kod FROM Realdoc WHERE DateR >= ? AND DateR <= ? AND Status = 5) ORDER BY Kod, Nnn"_s,
        {start.toString(Qt::ISODate), end.toString(Qt::ISODate)},
        [&](const QSqlQuery& q) {
            const SalesLine line{rowKey(q.value(1)).value_or(noKey), q.value(2).toDouble()};
            m_state->lines[wholeKey(q.value(0)).value_or(noKey)].push_back(line);
            // A line names a dish as SQL's equality does, as the recipe of one document is read.
            if (const std::optional<qlonglong> dish = wholeKey(q.value(1)))
                selection.listed.insert(*dish);
        },
        error);
    return read && m_state->book.load(m_db, selection, error);
}

ConsumptionRun PeriodConsumption::calculate(qlonglong document)
{
    ConsumptionRun result;
    Expansion expansion(m_state->book,
                        m_state->calculated.empty() ? 0 : m_state->calculated.back().rows.size() * 5 / 4);
    if (!expansion.compute(m_state->lines.value(document), result))
        return result;
    // The book keeps the prices it read: each document finds the same dishes changed.
    for (const auto& [dish, price] : expansion.newPrices)
        m_state->prices.insert(dish, price);
    result.dishPricesChanged = int(expansion.newPrices.size());
    m_state->calculated.push_back({document, std::move(expansion.rows)});
    return result;
}

const std::vector<ConsumptionRow>& PeriodConsumption::rows() const
{
    return m_state->calculated.back().rows;
}

bool PeriodConsumption::store(QString* error)
{
    std::vector<std::pair<qlonglong, double>> prices;
    prices.reserve(m_state->prices.size());
    for (auto it = m_state->prices.cbegin(); it != m_state->prices.cend(); ++it)
        prices.emplace_back(it.key(), it.value());
    return storeRows(m_db, m_state->calculated, std::move(prices), error);
}
