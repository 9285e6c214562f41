#include "ConsumptionCalculator.h"

#include "costing/DishCatalog.h"
#include "costing/RecipeBook.h"
#include "SalesDocuments.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qlonglong noKey = RecipeBook::noKey;

const QString caption = u"Ошибка расчёта реализации"_s;

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

// One consumption row being built; first occurrence wins for everything but the quantity.
struct Row
{
    qlonglong ingredient = noKey;
    QVariant group;
    QVariant unit;
    double price = 0;
    double priceWithMarkup = 0;
    double quantity = 0;
    double okr = 0;
    double position = 0;
};

class Consumption
{
public:
    Consumption(QSqlDatabase db, qlonglong document) : m_db(std::move(db)), m_document(document) {}

    bool load(SalesLines lines, QString* error);
    // Expands every line in memory; false with the user's message in result.message on a fault.
    bool compute(ConsumptionRun& result);
    bool store(ConsumptionRun& result, QString* error);
    bool storedRowsAreSame(bool* same, QString* error) const;

private:
    // The price of one portion of the dish, adding sold × quantities to the rows; nothing with *fault.
    std::optional<double> expand(const RecipeDish& dish, double sold, QString* fault);
    bool plainLine(const RecipeIngredient& ingredient, const RecipeLine& line, double portions, double sold,
                   double* price, QString* fault);
    bool semiFinishedLine(const RecipeIngredient& product, const RecipeLine& line, double portions,
                          double sold, double* price, QString* fault);
    Row& rowOf(const RecipeIngredient& ingredient);

    QSqlDatabase m_db;
    qlonglong m_document;
    RecipeBook m_book;
    std::vector<SalesLine> m_lines;
    std::vector<Row> m_rows;
    QHash<qlonglong, std::size_t> m_rowIndex;
    std::vector<std::pair<qlonglong, double>> m_newPrices;
};

bool Consumption::load(SalesLines lines, QString* error)
{
    const QString lineSql =
        lines == SalesLines::Sold
            ? u"SELECT KodBludo, Kolvo FROM Realsum WHERE Kod = ? AND Kolvo <> 0 ORDER BY Nnn"_s
            : u"SELECT KodBludo, Kolvo FROM Realsum WHERE Kod = ? ORDER BY Nnn"_s;
    const RecipeSelection selection{lines == SalesLines::Sold ? RecipeSelection::Dishes::SoldInDocument
                                                              : RecipeSelection::Dishes::SalesDocument,
                                    m_document};
    return forEachRow(
               m_db, lineSql, {m_document},
               [&](const QSqlQuery& q) {
                   m_lines.push_back(SalesLine{rowKey(q.value(0)).value_or(noKey), q.value(1).toDouble()});
               },
               error) &&
           m_book.load(m_db, selection, error);
}

Row& Consumption::rowOf(const RecipeIngredient& ingredient)
{
    const auto found = m_rowIndex.constFind(ingredient.key);
    if (found != m_rowIndex.cend())
        return m_rows[*found];
    m_rowIndex.insert(ingredient.key, m_rows.size());
    // The sales calculation has always counted markups, rounding and positions as whole numbers.
    const double price = ingredient.price.value_or(0);
    return m_rows.emplace_back(Row{
        ingredient.key, ingredient.group, ingredient.unit, price, price * (ingredient.wholePercent / 100 + 1),
        0, rounding::wholeNumber(ingredient.okr), rounding::wholeNumber(ingredient.position)});
}

bool Consumption::plainLine(const RecipeIngredient& ingredient, const RecipeLine& line, double portions,
                            double sold, double* price, QString* fault)
{
    if (ingredient.yield == 0) {
        *fault = m_book.whose(ingredient.key) + u" выход (% Вых) равен нулю."_s;
        return false;
    }
    if (line.yield == 0) {
        *fault = RecipeBook::lineYieldZero(ingredient);
        return false;
    }
    Row& row = rowOf(ingredient);
    // Left to right, in the order the figures have always been computed.
    double portion = line.grams / *ingredient.unitGrams / portions;
    portion = portion * 100 / ingredient.yield;
    portion = portion * 100 / line.yield;
    *price += row.priceWithMarkup * portion;
    row.quantity += sold * portion;
    return true;
}

bool Consumption::semiFinishedLine(const RecipeIngredient& product, const RecipeLine& line, double portions,
                                   double sold, double* price, QString* fault)
{
    // The product's own yield and the line's yield play no part: only its components are consumed.
    const double portion = line.grams / *product.unitGrams / portions;
    double cost = 0;
    for (const RecipeLine& component : m_book.composition(product.key)) {
        const RecipeIngredient* found = m_book.ingredient(component.ingredient);
        if (!found) {
            *fault = m_book.componentGone(product.key);
            return false;
        }
        if (!m_book.unitDivides(*found, product.key, fault))
            return false;
        const double yield = found->wholeYield;
        if (yield == 0) {
            *fault = m_book.whose(found->key, product.key) +
                     u" выход (% Вых) равен нулю (%1 после округления до целого)."_s.arg(found->yield);
            return false;
        }
        Row& row = rowOf(*found);
        const double q = component.grams / *found->unitGrams * portion;
        cost += row.priceWithMarkup * q * 100 / yield;
        row.quantity += sold * q * 100 / yield;
    }
    *price += cost;
    return true;
}

std::optional<double> Consumption::expand(const RecipeDish& dish, double sold, QString* fault)
{
    const double portions = rounding::wholeNumber(dish.portions);
    double price = 0;
    for (const RecipeLine& line : m_book.card(dish.key)) {
        const RecipeIngredient* found = m_book.ingredient(line.ingredient);
        if (!found) {
            *fault = RecipeBook::cardIngredientGone(line.ingredient);
            return std::nullopt;
        }
        if (!m_book.unitDivides(*found, noKey, fault))
            return std::nullopt;
        if (portions == 0) {
            *fault =
                u"число порций (Порций) равно нулю (%1 после округления до целого)."_s.arg(dish.portions);
            return std::nullopt;
        }
        const bool done = found->semiFinished ? semiFinishedLine(*found, line, portions, sold, &price, fault)
                                              : plainLine(*found, line, portions, sold, &price, fault);
        if (!done)
            return std::nullopt;
    }
    price = rounding::toKopeck(price * (rounding::wholeNumber(dish.percent) / 100 + 1));
    if (!std::isfinite(price)) {
        *fault = u"цена порции даёт недопустимое число (переполнение)."_s;
        return std::nullopt;
    }
    return price;
}

bool Consumption::compute(ConsumptionRun& result)
{
    QHash<qlonglong, double> priced;
    for (const SalesLine& line : m_lines) {
        const RecipeDish* dish = m_book.dish(line.dish);
        if (!dish) {
            ++result.linesSkipped;
            continue;
        }
        QString fault;
        std::optional<double> price = expand(*dish, line.sold, &fault);
        if (price) {
            for (const Row& row : m_rows) {
                if (!std::isfinite(row.quantity)) {
                    price.reset();
                    fault =
                        m_book.whose(row.ingredient) + u" расход даёт недопустимое число (переполнение)."_s;
                    break;
                }
            }
        }
        if (!price) {
            result.ok = false;
            result.failedDish = line.dish;
            result.caption = caption;
            result.message = u"Расчёт реализации остановлен: %1 %2 Расход и цены блюд не изменены."_s.arg(
                m_book.inDish(*dish), fault);
            return false;
        }
        ++result.linesExpanded;
        priced.insert(line.dish, *price);
    }
    for (auto it = priced.cbegin(); it != priced.cend(); ++it) {
        if (m_book.dish(it.key())->price != it.value())
            m_newPrices.emplace_back(it.key(), it.value());
    }
    return true;
}

bool Consumption::storedRowsAreSame(bool* same, QString* error) const
{
    // A recalculation of unchanged figures (printing, then posting) need not rewrite the rows.
    std::size_t next = 0;
    bool equal = true;
    const bool read = forEachRow(
        m_db,
        u"SELECT KodGrIng, KodIng, CenaIng, Cenaing1, Edinica, Kolvo, Okr, Position FROM RealItog WHERE Kod "
        u"= ? "
        "ORDER BY NNN"_s,
        {m_document},
        [&](const QSqlQuery& q) {
            if (!equal || next == m_rows.size()) {
                equal = false;
                return;
            }
            const Row& row = m_rows[next++];
            equal = sameReference(q.value(0), row.group) && q.value(1).toLongLong() == row.ingredient &&
                    q.value(2).toDouble() == row.price && q.value(3).toDouble() == row.priceWithMarkup &&
                    sameReference(q.value(4), row.unit) && q.value(5).toDouble() == row.quantity &&
                    q.value(6).toDouble() == row.okr && q.value(7).toDouble() == row.position &&
                    !q.value(2).isNull() && !q.value(5).isNull();
        },
        error);
    *same = read && equal && next == m_rows.size();
    return read;
}

bool Consumption::store(ConsumptionRun& result, QString* error)
{
    result.rows = int(m_rows.size());
    result.dishPricesChanged = int(m_newPrices.size());
    bool same = false;
    if (!storedRowsAreSame(&same, error))
        return false;
    result.rowsRewritten = !same;
    if (!same) {
        if (!ConsumptionCalculator(m_db).clear(m_document, error))
            return false;
        QSqlQuery insert(m_db);
        if (!insert.prepare(
                u"INSERT INTO RealItog (Kod, KodGrIng, KodIng, CenaIng, Cenaing1, Edinica, Kolvo, "
                "Okr, Position) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s)) {
            *error = sqlErrorText(insert.lastError());
            return false;
        }
        for (const Row& row : m_rows) {
            for (const QVariant& value : {QVariant(m_document), row.group, QVariant(row.ingredient),
                                          QVariant(row.price), QVariant(row.priceWithMarkup), row.unit,
                                          QVariant(row.quantity), QVariant(row.okr), QVariant(row.position)})
                insert.addBindValue(value);
            if (!insert.exec()) {
                *error = sqlErrorText(insert.lastError());
                return false;
            }
        }
    }
    return DishCatalog::setPrices(m_db, m_newPrices, error);
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

        Consumption consumption(m_db, document);
        if (!consumption.load(lines, &error))
            return false;
        if (!consumption.compute(result))
            return false;
        failedStep = u"Расход документа не сохранён"_s;
        return consumption.store(result, &error);
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
