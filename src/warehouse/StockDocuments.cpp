#include "StockDocuments.h"

#include "reference/IngredientCatalog.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/RowBatch.h"
#include "store/RowKey.h"
#include "store/UserPrompts.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString errorCaption = u"Ошибка"_s;
const QString alreadyPosted =
    u"Документ уже проведён (возможно, на другом рабочем месте). Повторно он не проводится."_s;

struct Line
{
    qlonglong key = 0;
    QVariant ingredientRef;
    double quantity = 0;
    double price = 0;
};

using Stock = StockValuation::Stock;

} // namespace

QString StockDocuments::kindText(const QVariant& oper)
{
    const QString text = oper.toString();
    if (text == QLatin1String(receipt))
        return u"Приход"_s;
    if (text == QLatin1String(issue))
        return u"Расход"_s;
    return {};
}

QList<PartnerRow> StockDocuments::partners(const QString& text, QString* error) const
{
    QList<PartnerRow> rows;
    QString sql = u"SELECT Name, Nnn FROM Partner "_s;
    QVariantList values;
    if (!text.isEmpty()) {
        sql += u"WHERE upper(Name) LIKE '%' || upper(?) || '%' "_s;
        values << text;
    }
    sql += u"ORDER BY Name COLLATE RU, Nnn"_s;
    forEachRow(
        m_db, sql, values,
        [&](const QSqlQuery& query) {
            rows.append({query.value(0).toString(), query.value(1).toLongLong()});
        },
        error);
    return rows;
}

bool StockDocuments::isPosted(qlonglong document) const
{
    QSqlQuery query(m_db);
    QString error;
    return runQuery(query, u"SELECT Provodka FROM Doc WHERE Nnn = ?"_s, {document}, &error) && query.next() &&
           query.value(0).toInt() == 1;
}

QString StockDocuments::kind(qlonglong document) const
{
    QSqlQuery query(m_db);
    QString error;
    if (!runQuery(query, u"SELECT Oper FROM Move WHERE Kod1 = ? ORDER BY Nnn LIMIT 1"_s, {document},
                  &error) ||
        !query.next())
        return {};
    return kindText(query.value(0));
}

std::optional<qlonglong> StockDocuments::addLine(qlonglong document, qlonglong ingredient)
{
    QSqlQuery doc(m_db);
    QString error;
    if (!runQuery(doc,
                  u"SELECT d.Date, d.Nomer, d.Partner, d.Provodka, "
                  "(SELECT p.Name FROM Partner p WHERE p.Nnn = d.Partner) FROM Doc d WHERE d.Nnn = ?"_s,
                  {document}, &error)) {
        m_prompts.warn(errorCaption, error);
        return std::nullopt;
    }
    if (!doc.next() || doc.value(3).toInt() == 1)
        return std::nullopt;
    if (doc.value(4).toString().isEmpty()) {
        m_prompts.warn(errorCaption, u"Определите партнёра !!!"_s);
        return std::nullopt;
    }
    QSqlQuery ing(m_db);
    if (!runQuery(ing, u"SELECT Pf, Cena FROM Ing WHERE Kod1 = ?"_s, {ingredient}, &error) || !ing.next()) {
        m_prompts.warn(errorCaption, error.isEmpty() ? u"Ингредиент не найден."_s : error);
        return std::nullopt;
    }
    if (ing.value(0).toInt() == 1) {
        m_prompts.warn(errorCaption,
                       u"Это полуфабрикат, который изготавливается во время приготовления блюд, его нельзя "
                       "поместить в документ прихода или расхода !!!"_s);
        return std::nullopt;
    }
    QSqlQuery insert(m_db);
    if (!runQuery(insert,
                  u"INSERT INTO Move (Kod1, Date, Partner, Nomer, Kod, Cena, Provodka) "
                  "VALUES (?, ?, ?, ?, ?, ?, 0)"_s,
                  {document, doc.value(0), doc.value(2), doc.value(1), ingredient, ing.value(1)}, &error)) {
        m_prompts.warn(errorCaption, error);
        return std::nullopt;
    }
    return insert.lastInsertId().toLongLong();
}

bool StockDocuments::postReceipt(qlonglong document, PriceRule rule)
{
    return post(document, QString::fromLatin1(receipt), rule);
}

bool StockDocuments::postIssue(qlonglong document, Confirmation confirmation)
{
    // No question about a document posted meanwhile; the posting itself asks again inside its
    // transaction.
    if (isPosted(document)) {
        m_prompts.warn(errorCaption, alreadyPosted);
        return false;
    }
    if (confirmation == Confirmation::Ask &&
        !m_prompts.confirm(u"Выдача"_s, u"Подтвердите выдачу продуктов со склада !!!"_s))
        return false;
    return post(document, QString::fromLatin1(issue), std::nullopt);
}

bool StockDocuments::post(qlonglong document, const QString& oper, std::optional<PriceRule> rule)
{
    QString error;
    bool posted = false;
    // The flag is read inside the transaction that writes it: two workstations posting the same
    // document at once post it once, and the later one is told.
    const bool ok = Isolation::run(m_db, &error, [&] {
        QSqlQuery doc(m_db);
        if (!runQuery(doc, u"SELECT Provodka FROM Doc WHERE Nnn = ?"_s, {document}, &error))
            return false;
        posted = doc.next() && doc.value(0).toInt() == 1;
        doc.finish();
        return !posted && apply(document, oper, rule, &error);
    });
    if (!ok || posted) {
        m_prompts.warn(errorCaption, posted ? alreadyPosted : error);
        return false;
    }
    return true;
}

bool StockDocuments::applyIssue(qlonglong document, QString* error)
{
    return apply(document, QString::fromLatin1(issue), std::nullopt, error);
}

bool StockDocuments::apply(qlonglong document, const QString& oper, std::optional<PriceRule> rule,
                           QString* error)
{
    QSqlQuery exists(m_db);
    if (!runQuery(exists, u"SELECT Date FROM Doc WHERE Nnn = ?"_s, {document}, error))
        return false;
    if (!exists.next()) {
        *error = u"Документ не найден."_s;
        return false;
    }
    const QDate date = exists.value(0).toDate();
    exists.finish();
    std::vector<Line> lines;
    if (!forEachRow(
            m_db, u"SELECT Nnn, Kod, Kolvo, Cena FROM Move WHERE Kod1 = ? ORDER BY Nnn"_s, {document},
            [&](const QSqlQuery& query) {
                lines.push_back({query.value(0).toLongLong(), query.value(1), query.value(2).toDouble(),
                                 query.value(3).toDouble()});
            },
            error))
        return false;
    QHash<qlonglong, Stock> stock;
    QHash<qlonglong, QVariant> oldPrices; // as stored, an empty price kept apart from 0
    if (!forEachRow(
            m_db, u"SELECT Kod1, Kolvo, Cena FROM Ing WHERE Kod1 IN (SELECT Kod FROM Move WHERE Kod1 = ?)"_s,
            {document},
            [&](const QSqlQuery& query) {
                const qlonglong key = query.value(0).toLongLong();
                stock.insert(key, {query.value(1).toDouble(), query.value(2).toDouble()});
                oldPrices.insert(key, query.isNull(2) ? QVariant() : query.value(2));
            },
            error))
        return false;

    // Every line is checked before anything is written: a line without its ingredient refuses the lot.
    const StockValuation& valuation = StockValuation::kitchen();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!isWholeReference(lines[i].ingredientRef)) {
            *error = notWholeReference(u"Move"_s, lines[i].key, u"Kod"_s, lines[i].ingredientRef) +
                     u" Документ не проведён."_s;
            return false;
        }
        const std::optional<qlonglong> ingredient = rowKey(lines[i].ingredientRef);
        if (!ingredient || !stock.contains(*ingredient)) {
            *error =
                u"Строка %1 документа: ингредиента с кодом %2 больше нет в справочнике ингредиентов. "
                "Документ не проведён."_s.arg(i + 1)
                    .arg(lines[i].ingredientRef.isNull() ? u"(пусто)"_s : lines[i].ingredientRef.toString());
            return false;
        }
        Stock& item = stock[*ingredient];
        item = rule ? valuation.receive(*ingredient, item, lines[i].quantity, lines[i].price, *rule)
                    : valuation.issue(*ingredient, item, lines[i].quantity);
        if (!std::isfinite(item.balance) || !std::isfinite(item.price)) {
            *error = u"Строка %1 документа: остаток или цена ингредиента не является конечным числом. "
                     "Документ не проведён."_s.arg(i + 1);
            return false;
        }
    }

    // Every line of the document takes the same operation.
    if (!execSql(m_db, u"UPDATE Move SET Oper = ?, Provodka = 1 WHERE Kod1 = ?"_s, {oper, document}, error))
        return false;
    // Only a receipt that sets a price writes one; the others leave the stored price as it is.
    QList<IngredientCatalog::StockLevel> levels;
    levels.reserve(stock.size());
    for (auto it = stock.cbegin(); it != stock.cend(); ++it)
        levels.append({it.key(), it->balance, it->price, oldPrices.value(it.key())});
    const PriceHistory prices(m_db, PriceHistory::Source::Receipt, date, document);
    if (!IngredientCatalog(m_db).setStock(levels, rule && *rule != PriceRule::Keep ? &prices : nullptr,
                                          error))
        return false;
    return execSql(m_db, u"UPDATE Doc SET Provodka = 1 WHERE Nnn = ?"_s, {document}, error);
}

std::optional<qlonglong> StockDocuments::writePosted(const Header& header, const std::vector<MoveLine>& lines,
                                                     QString* error)
{
    QSqlQuery insert(m_db);
    if (!runQuery(insert, u"INSERT INTO Doc (Date, Nomer, Partner, Provodka) VALUES (?, ?, ?, 1)"_s,
                  {header.date, header.number, header.partner}, error))
        return std::nullopt;
    const qlonglong document = insert.lastInsertId().toLongLong();
    RowBatch movements(m_db, u"Move"_s,
                       {u"Kod1"_s, u"Date"_s, u"Nomer"_s, u"Partner"_s, u"Provodka"_s, u"Kod"_s, u"Kolvo"_s,
                        u"Cena"_s, u"Oper"_s},
                       {document, header.date, header.number, header.partner, 1});
    for (const MoveLine& line : lines) {
        if (!movements.add({line.ingredient, line.quantity, line.price, QString::fromLatin1(line.oper)},
                           error))
            return std::nullopt;
    }
    if (!movements.flush(error))
        return std::nullopt;
    return document;
}

std::optional<qlonglong> StockDocuments::addDocument(const Header& header, QString* error)
{
    QSqlQuery insert(m_db);
    if (!runQuery(insert, u"INSERT INTO Doc (Date, Nomer, Partner, Provodka) VALUES (?, ?, ?, 0)"_s,
                  {header.date, header.number, header.partner}, error))
        return std::nullopt;
    return insert.lastInsertId().toLongLong();
}

bool StockDocuments::setLine(qlonglong line, double quantity, double price, QString* error)
{
    return execSql(m_db, u"UPDATE Move SET Kolvo = ?, Cena = ? WHERE Nnn = ?"_s, {quantity, price, line},
                   error);
}

bool StockDocuments::remove(qlonglong document, bool rollBack, QString* error)
{
    return Isolation::run(m_db, error, [&] {
        QSqlQuery posted(m_db);
        if (!runQuery(posted, u"SELECT Provodka FROM Doc WHERE Nnn = ?"_s, {document}, error))
            return false;
        // Only the document's flag counts, not the lines' own.
        if (posted.next() && rollBack && posted.value(0).toInt() == 1) {
            posted.finish();
            QList<std::pair<QVariant, double>> returned;
            if (!forEachRow(
                    m_db,
                    u"SELECT Kod, sum(CASE WHEN Oper = ? THEN coalesce(Kolvo, 0) ELSE -coalesce(Kolvo, 0) "
                    u"END) "
                    "FROM Move WHERE Kod1 = ? AND Kod IS NOT NULL GROUP BY Kod ORDER BY Kod"_s,
                    {issue, document},
                    [&](const QSqlQuery& query) {
                        returned.append({query.value(0), query.value(1).toDouble()});
                    },
                    error) ||
                !IngredientCatalog(m_db).addToStock(returned, error))
                return false;
        }
        posted.finish();
        return execSql(m_db, u"DELETE FROM Move WHERE Kod1 = ?"_s, {document}, error) &&
               execSql(m_db, u"DELETE FROM Doc WHERE Nnn = ?"_s, {document}, error);
    });
}

bool StockDocuments::removeAll(QString* error)
{
    // Every movement line goes with the documents, so none is left without its document.
    return execSql(m_db, u"DELETE FROM Move"_s, {}, error) && execSql(m_db, u"DELETE FROM Doc"_s, {}, error);
}

bool StockDocuments::priceIssue(std::vector<MoveLine>& lines, QString* error) const
{
    // The stock of every ingredient the lines name, read a hundred keys a statement: a statement per
    // line would be a round trip each on a server. A reference names a row as SQL's equality takes it.
    QList<qlonglong> keys;
    for (const MoveLine& line : lines) {
        if (const std::optional<qlonglong> key = wholeKey(line.ingredient))
            keys << *key;
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    QHash<qlonglong, Stock> stock;
    for (qsizetype start = 0; start < keys.size(); start += RowBatch::rowsPerStatement) {
        const QList<qlonglong> part = keys.mid(start, RowBatch::rowsPerStatement);
        const QVariantList values(part.cbegin(), part.cend());
        if (!forEachRow(
                m_db,
                u"SELECT Kod1, Kolvo, Cena FROM Ing WHERE Kod1 IN (%1)"_s.arg(
                    QStringList(part.size(), u"?"_s).join(u", "_s)),
                values,
                [&](const QSqlQuery& query) {
                    stock.insert(query.value(0).toLongLong(),
                                 {query.value(1).toDouble(), query.value(2).toDouble()});
                },
                error))
            return false;
    }
    const StockValuation& valuation = StockValuation::kitchen();
    for (MoveLine& line : lines) {
        const std::optional<qlonglong> key = wholeKey(line.ingredient);
        if (const auto item = key ? stock.constFind(*key) : stock.cend(); item != stock.cend())
            line.price = valuation.issueCost(*key, *item, line.quantity.toDouble());
    }
    return true;
}
