#include "ConsumptionCalculator.h"

#include "costing/DishCatalog.h"
#include "SalesDocuments.h"
#include "store/Database.h"
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

constexpr qlonglong noKey = -1;

const QString caption = u"Ошибка расчёта реализации"_s;

qlonglong keyOf(const QVariant& value)
{
    return rowKey(value).value_or(noKey);
}

// A reference written as the whole key it names, or empty when it names no row.
QVariant referenceOf(const QVariant& value)
{
    const std::optional<qlonglong> key = rowKey(value);
    return key ? QVariant(*key) : QVariant();
}

// The dishes the document's lines name and the ingredients of their cards: the calculation reads
// nothing beyond these, their compositions and the units. One bound value, the document.
const QString documentDishes = u"WITH d(k) AS (SELECT KodBludo FROM Realsum WHERE Kod = ?), "
                               "c(k) AS (SELECT Name FROM Karta WHERE Kod IN (SELECT k FROM d)) "_s;

bool sameReference(const QVariant& stored, const QVariant& written)
{
    return stored.isNull() ? written.isNull() : !written.isNull() && keyOf(stored) == written.toLongLong();
}

struct Ingredient
{
    QVariant group;
    QVariant unit;
    std::optional<double> unitGrams; // nothing when the unit is gone
    bool semiFinished = false;
    double price = 0;
    double percent = 0; // whole
    double yield = 0;
    double okr = 0;      // whole
    double position = 0; // whole
};

struct Component
{
    qlonglong ingredient = noKey;
    double grams = 0;
};

struct Dish
{
    double storedPortions = 0;
    double percent = 0; // whole
    std::optional<double> storedPrice;
};

struct CardLine
{
    qlonglong ingredient = noKey;
    double grams = 0;
    double yield = 0;
};

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
    std::optional<double> expand(const Dish& dish, qlonglong dishKey, double sold, QString* fault);
    bool plainLine(const Ingredient& ingredient, qlonglong key, const CardLine& line, double portions,
                   double sold, double* price, QString* fault);
    bool semiFinishedLine(const Ingredient& product, qlonglong key, const CardLine& line, double portions,
                          double sold, double* price, QString* fault);
    bool unitUsable(const Ingredient& ingredient, qlonglong key, qlonglong product, QString* fault) const;
    Row& rowOf(qlonglong key, const Ingredient& ingredient);
    QString phrase(qlonglong ingredient, qlonglong product = noKey) const;
    QString nameOf(const QString& table, const QString& keyField, qlonglong key) const;

    QSqlDatabase m_db;
    qlonglong m_document;
    std::vector<SalesLine> m_lines;
    QHash<qlonglong, Dish> m_dishes;
    QHash<qlonglong, std::vector<CardLine>> m_cards;
    QHash<qlonglong, std::vector<Component>> m_compositions;
    QHash<qlonglong, Ingredient> m_ingredients;
    std::vector<Row> m_rows;
    QHash<qlonglong, std::size_t> m_rowIndex;
    std::vector<std::pair<qlonglong, double>> m_newPrices;
};

bool Consumption::load(SalesLines lines, QString* error)
{
    const QVariantList doc{m_document};
    QHash<qlonglong, double> unitGrams;
    QString badReference;
    const QString lineSql =
        lines == SalesLines::Sold
            ? u"SELECT KodBludo, Kolvo FROM Realsum WHERE Kod = ? AND Kolvo <> 0 ORDER BY Nnn"_s
            : u"SELECT KodBludo, Kolvo FROM Realsum WHERE Kod = ? ORDER BY Nnn"_s;
    const QString dishSql =
        documentDishes + u"SELECT Kod1, Nporc, Proc, Cena FROM Bludo WHERE Kod1 IN (SELECT k FROM d)"_s;
    const QString cardSql =
        documentDishes +
        u"SELECT Kod, Name, Kolvo, Vihod, NNN FROM Karta WHERE Kod IN (SELECT k FROM d) ORDER BY NNN"_s;
    const QString pfSql =
        documentDishes +
        u"SELECT Kod, Name, Kolvo, NNN FROM pf WHERE Kod IN (SELECT k FROM c) ORDER BY NNN"_s;
    const QString ingSql = documentDishes +
                           u"SELECT Kod1, Kod, Edinica, Pf, Cena, Proc, Vih, Okr, Position FROM Ing "
                           "WHERE Kod1 IN (SELECT k FROM c UNION SELECT Name FROM pf "
                           "WHERE Kod IN (SELECT k FROM c))"_s;
    const bool read =
        forEachRow(
            m_db, u"SELECT Kod, Gramm FROM Edinica"_s,
            [&](const QSqlQuery& q) { unitGrams.insert(q.value(0).toLongLong(), q.value(1).toDouble()); },
            error) &&
        forEachRow(
            m_db, lineSql, doc,
            [&](const QSqlQuery& q) {
                m_lines.push_back(SalesLine{keyOf(q.value(0)), q.value(1).toDouble()});
            },
            error) &&
        forEachRow(
            m_db, dishSql, doc,
            [&](const QSqlQuery& q) {
                const QVariant price = q.value(3);
                m_dishes.insert(
                    q.value(0).toLongLong(),
                    Dish{q.value(1).toDouble(), rounding::wholeNumber(q.value(2).toDouble()),
                         price.isNull() ? std::nullopt : std::optional<double>(price.toDouble())});
            },
            error) &&
        forEachRow(
            m_db, cardSql, doc,
            [&](const QSqlQuery& q) {
                if (badReference.isEmpty() && !isWholeReference(q.value(1)))
                    badReference = notWholeReference(u"Karta"_s, q.value(4), u"Name"_s, q.value(1));
                m_cards[keyOf(q.value(0))].push_back(
                    CardLine{keyOf(q.value(1)), q.value(2).toDouble(), q.value(3).toDouble()});
            },
            error) &&
        forEachRow(
            m_db, pfSql, doc,
            [&](const QSqlQuery& q) {
                if (badReference.isEmpty() && !isWholeReference(q.value(1)))
                    badReference = notWholeReference(u"pf"_s, q.value(3), u"Name"_s, q.value(1));
                m_compositions[keyOf(q.value(0))].push_back(
                    Component{keyOf(q.value(1)), q.value(2).toDouble()});
            },
            error) &&
        forEachRow(
            m_db, ingSql, doc,
            [&](const QSqlQuery& q) {
                const QVariant unit = referenceOf(q.value(2));
                const auto grams = unit.isNull() ? unitGrams.cend() : unitGrams.constFind(unit.toLongLong());
                m_ingredients.insert(
                    q.value(0).toLongLong(),
                    Ingredient{referenceOf(q.value(1)), unit,
                               grams == unitGrams.cend() ? std::nullopt : std::optional<double>(*grams),
                               q.value(3).toInt() != 0, q.value(4).toDouble(),
                               rounding::wholeNumber(q.value(5).toDouble()), q.value(6).toDouble(),
                               rounding::wholeNumber(q.value(7).toDouble()),
                               rounding::wholeNumber(q.value(8).toDouble())});
            },
            error);
    if (read && !badReference.isEmpty()) {
        *error = badReference;
        return false;
    }
    return read;
}

QString Consumption::nameOf(const QString& table, const QString& keyField, qlonglong key) const
{
    QSqlQuery query(m_db);
    QString error;
    return runQuery(query, u"SELECT Name FROM %1 WHERE %2 = ?"_s.arg(table, keyField), {key}, &error) &&
                   query.next()
               ? query.value(0).toString()
               : QString();
}

QString Consumption::phrase(qlonglong ingredient, qlonglong product) const
{
    const QString name = nameOf(u"Ing"_s, u"Kod1"_s, ingredient);
    if (product == noKey)
        return u"у ингредиента \"%1\""_s.arg(name);
    return u"у ингредиента \"%1\" в составе полуфабриката \"%2\""_s.arg(name,
                                                                        nameOf(u"Ing"_s, u"Kod1"_s, product));
}

bool Consumption::unitUsable(const Ingredient& ingredient, qlonglong key, qlonglong product,
                             QString* fault) const
{
    if (!ingredient.unitGrams)
        *fault = phrase(key, product) + u" не найдена единица измерения."_s;
    else if (*ingredient.unitGrams == 0)
        *fault = phrase(key, product) + u" вес единицы измерения (Грамм) равен нулю."_s;
    return ingredient.unitGrams && *ingredient.unitGrams != 0;
}

Row& Consumption::rowOf(qlonglong key, const Ingredient& ingredient)
{
    const auto found = m_rowIndex.constFind(key);
    if (found != m_rowIndex.cend())
        return m_rows[*found];
    m_rowIndex.insert(key, m_rows.size());
    return m_rows.emplace_back(Row{key, ingredient.group, ingredient.unit, ingredient.price,
                                   ingredient.price * (ingredient.percent / 100 + 1), 0, ingredient.okr,
                                   ingredient.position});
}

bool Consumption::plainLine(const Ingredient& ingredient, qlonglong key, const CardLine& line,
                            double portions, double sold, double* price, QString* fault)
{
    if (ingredient.yield == 0) {
        *fault = phrase(key) + u" выход (% Вых) равен нулю."_s;
        return false;
    }
    if (line.yield == 0) {
        *fault = u"в строке ингредиента \"%1\" выход строки (% Вых) равен нулю."_s.arg(
            nameOf(u"Ing"_s, u"Kod1"_s, key));
        return false;
    }
    Row& row = rowOf(key, ingredient);
    // Left to right, in the order the figures have always been computed.
    double portion = line.grams / *ingredient.unitGrams / portions;
    portion = portion * 100 / ingredient.yield;
    portion = portion * 100 / line.yield;
    *price += row.priceWithMarkup * portion;
    row.quantity += sold * portion;
    return true;
}

bool Consumption::semiFinishedLine(const Ingredient& product, qlonglong key, const CardLine& line,
                                   double portions, double sold, double* price, QString* fault)
{
    // The product's own yield and the line's yield play no part: only its components are consumed.
    const double portion = line.grams / *product.unitGrams / portions;
    double cost = 0;
    for (const Component& component : m_compositions.value(key)) {
        const auto found = m_ingredients.constFind(component.ingredient);
        if (found == m_ingredients.cend()) {
            *fault = u"в составе полуфабриката \"%1\" указан ингредиент, которого больше нет."_s.arg(
                nameOf(u"Ing"_s, u"Kod1"_s, key));
            return false;
        }
        if (!unitUsable(*found, component.ingredient, key, fault))
            return false;
        const double yield = rounding::wholeNumber(found->yield);
        if (yield == 0) {
            *fault = phrase(component.ingredient, key) +
                     u" выход (% Вых) равен нулю (%1 после округления до целого)."_s.arg(found->yield);
            return false;
        }
        Row& row = rowOf(component.ingredient, *found);
        const double q = component.grams / *found->unitGrams * portion;
        cost += row.priceWithMarkup * q * 100 / yield;
        row.quantity += sold * q * 100 / yield;
    }
    *price += cost;
    return true;
}

std::optional<double> Consumption::expand(const Dish& dish, qlonglong dishKey, double sold, QString* fault)
{
    const double portions = rounding::wholeNumber(dish.storedPortions);
    double price = 0;
    for (const CardLine& line : m_cards.value(dishKey)) {
        const auto found = m_ingredients.constFind(line.ingredient);
        if (found == m_ingredients.cend()) {
            *fault = line.ingredient == noKey
                         ? u"в карте есть строка без ингредиента."_s
                         : u"в карте указан ингредиент, которого больше нет (код %1)."_s.arg(line.ingredient);
            return std::nullopt;
        }
        if (!unitUsable(*found, line.ingredient, noKey, fault))
            return std::nullopt;
        if (portions == 0) {
            *fault = u"число порций (Порций) равно нулю (%1 после округления до целого)."_s.arg(
                dish.storedPortions);
            return std::nullopt;
        }
        const bool done = found->semiFinished
                              ? semiFinishedLine(*found, line.ingredient, line, portions, sold, &price, fault)
                              : plainLine(*found, line.ingredient, line, portions, sold, &price, fault);
        if (!done)
            return std::nullopt;
    }
    price = rounding::toKopeck(price * (dish.percent / 100 + 1));
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
        const auto dish = m_dishes.constFind(line.dish);
        if (dish == m_dishes.cend()) {
            ++result.linesSkipped;
            continue;
        }
        QString fault;
        std::optional<double> price = expand(*dish, line.dish, line.sold, &fault);
        if (price) {
            for (const Row& row : m_rows) {
                if (!std::isfinite(row.quantity)) {
                    price.reset();
                    fault = phrase(row.ingredient) + u" расход даёт недопустимое число (переполнение)."_s;
                    break;
                }
            }
        }
        if (!price) {
            QSqlQuery query(m_db);
            QString error;
            const bool named =
                runQuery(query,
                         u"SELECT b.Name, g.Name FROM Bludo b LEFT JOIN Grbludo g ON g.Kod = b.Kod "
                         "WHERE b.Kod1 = ?"_s,
                         {line.dish}, &error) &&
                query.next();
            const QString group = named && !query.value(1).isNull()
                                      ? u" (группа \"%1\")"_s.arg(query.value(1).toString())
                                      : QString();
            result.ok = false;
            result.failedDish = line.dish;
            result.caption = caption;
            result.message =
                u"Расчёт реализации остановлен: в блюде \"%1\"%2 %3 Расход и цены блюд не изменены."_s.arg(
                    named ? query.value(0).toString() : QString(), group, fault);
            return false;
        }
        ++result.linesExpanded;
        priced.insert(line.dish, *price);
    }
    for (auto it = priced.cbegin(); it != priced.cend(); ++it) {
        if (m_dishes.value(it.key()).storedPrice != it.value())
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
            *error = insert.lastError().text();
            return false;
        }
        for (const Row& row : m_rows) {
            for (const QVariant& value : {QVariant(m_document), row.group, QVariant(row.ingredient),
                                          QVariant(row.price), QVariant(row.priceWithMarkup), row.unit,
                                          QVariant(row.quantity), QVariant(row.okr), QVariant(row.position)})
                insert.addBindValue(value);
            if (!insert.exec()) {
                *error = insert.lastError().text();
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
    const auto failure = [](const QString& text) {
        ConsumptionRun failed;
        failed.ok = false;
        failed.caption = caption;
        failed.message = text;
        return failed;
    };
    // One snapshot for the reading and the writing.
    Transaction transaction(m_db);
    if (!transaction.isActive())
        return failure(u"Расчёт реализации не выполнен: %1"_s.arg(m_db.lastError().text()));
    QSqlQuery status(m_db);
    QString error;
    if (!runQuery(status, u"SELECT Status FROM Realdoc WHERE Kod = ?"_s, {document}, &error))
        return failure(u"Расчёт реализации не выполнен: %1"_s.arg(error));
    if (!status.next())
        return failure(u"Документ реализации не найден."_s);
    // An empty status reads as 0: posted, like every value below 5.
    if (status.value(0).toDouble() < SalesDocuments::openStatus)
        return failure(u"Документ проведён. Расчёт не производится !!!"_s);
    status.finish(); // an open statement at the commit would keep SQLite from checkpointing

    Consumption consumption(m_db, document);
    if (!consumption.load(lines, &error))
        return failure(u"Расчёт реализации не выполнен: %1"_s.arg(error));
    ConsumptionRun result;
    if (!consumption.compute(result))
        return result;
    if (!consumption.store(result, &error) || !transaction.commit()) {
        return failure(
            u"Расход документа не сохранён: %1"_s.arg(error.isEmpty() ? m_db.lastError().text() : error));
    }
    return result;
}

bool ConsumptionCalculator::clear(qlonglong document, QString* error)
{
    return execSql(m_db, u"DELETE FROM RealItog WHERE Kod = ?"_s, {document}, error);
}
