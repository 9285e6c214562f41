#include "IngredientCatalog.h"

#include "SqlSupport.h"

#include "store/Database.h"
#include "store/RowUpdate.h"
#include "store/UserPrompts.h"

#include <QSqlError>
#include <QSqlQuery>

#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Runs a change and tells whether it touched a row.
bool changeRow(QSqlDatabase db, const QString& sql, const QVariantList& values, QString* error)
{
    QSqlQuery query(db);
    return runQuery(query, sql, values, error) && query.numRowsAffected() > 0;
}

} // namespace

IngredientCatalog::IngredientCatalog(QSqlDatabase db) : m_db(std::move(db)) {}

QVariant IngredientCatalog::addIngredient(qlonglong group, const QString& name, qlonglong unit, double price,
                                          PriceHistory::Source source, QString* error)
{
    QSqlQuery insert(m_db);
    if (!runQuery(insert,
                  u"INSERT INTO Ing (Kod, Name, Edinica, Pf, Cena, Proc, Vih) "
                  "VALUES (?, ?, ?, 0, ?, 0, 100)"_s,
                  {group, name, unit, price}, error))
        return {};
    const QVariant key = insert.lastInsertId();
    insert.finish();
    if (!PriceHistory(m_db, source).record({{key.toLongLong(), QVariant(), price}}, error))
        return {};
    return key;
}

bool IngredientCatalog::setStock(const QList<StockLevel>& levels, const PriceHistory* prices, QString* error)
{
    const bool withPrices = prices != nullptr;
    RowUpdate update(m_db, u"Ing"_s, u"Kod1"_s,
                     withPrices ? QStringList{u"Kolvo"_s, u"Cena"_s} : QStringList{u"Kolvo"_s});
    for (const StockLevel& level : levels) {
        if (!update.add(level.ingredient,
                        withPrices ? QVariantList{level.balance, level.price} : QVariantList{level.balance},
                        error))
            return false;
    }
    if (!update.flush(error))
        return false;
    if (!withPrices)
        return true;
    QList<PriceHistory::Change> changes;
    changes.reserve(levels.size());
    for (const StockLevel& level : levels)
        changes.append({level.ingredient, level.oldPrice, level.price});
    return prices->record(changes, error);
}

bool IngredientCatalog::addToStock(const QList<std::pair<QVariant, double>>& quantities, QString* error)
{
    for (const auto& [ingredient, quantity] : quantities) {
        if (!execSql(m_db, u"UPDATE Ing SET Kolvo = coalesce(Kolvo, 0) + ? WHERE Kod1 = ?"_s,
                     {quantity, ingredient}, error))
            return false;
    }
    return true;
}

std::optional<QList<PriceHistory::Change>> IngredientCatalog::scaledPrices(double factor, PriceReach reach,
                                                                           qlonglong key, QString* tooLarge,
                                                                           QString* error) const
{
    QString condition;
    QVariantList values;
    if (reach != PriceReach::All) {
        condition = reach == PriceReach::Ingredient ? u" AND Kod1 = ?"_s : u" AND Kod = ?"_s;
        values << key;
    }
    QList<PriceHistory::Change> prices;
    QString overflow;
    if (!forEachRow(
            m_db,
            u"SELECT Kod1, Name, Cena FROM Ing WHERE COALESCE(Pf, 0) = 0"_s + condition + u" ORDER BY Kod1"_s,
            values,
            [&](const QSqlQuery& query) {
                const QVariant old = query.isNull(2) ? QVariant() : query.value(2);
                const double price = old.toDouble() * factor;
                if (!std::isfinite(price) && overflow.isEmpty())
                    overflow = query.value(1).toString();
                prices.append({query.value(0).toLongLong(), old, price});
            },
            error))
        return std::nullopt;
    if (!overflow.isEmpty()) {
        *tooLarge = overflow;
        return std::nullopt;
    }
    return prices;
}

bool IngredientCatalog::scalePrices(double factor, PriceReach reach, qlonglong key, QString* tooLarge,
                                    QString* error, const Progress& progress)
{
    const auto prices = scaledPrices(factor, reach, key, tooLarge, error);
    if (!prices)
        return false;
    RowUpdate update(m_db, u"Ing"_s, u"Kod1"_s, {u"Cena"_s});
    const int total = int(prices->size());
    for (int n = 0; n < total; ++n) {
        // Told every hundred prices: a kitchen's thousands take a moment, not a signal each.
        if (progress && n % 100 == 0 && !progress(n, total))
            return false;
        if (!update.add(prices->at(n).ingredient, {prices->at(n).newPrice}, error))
            return false;
    }
    if (!update.flush(error) || (progress && !progress(total, total)))
        return false;
    return PriceHistory(m_db, PriceHistory::Source::Repricing).record(*prices, error);
}

std::optional<bool> IngredientCatalog::used(qlonglong ingredientKey, QString* error) const
{
    return hasRow(m_db,
                  u"SELECT 1 WHERE EXISTS (SELECT 1 FROM Karta WHERE Name = ?) "
                  "OR EXISTS (SELECT 1 FROM pf WHERE Name = ?)"_s,
                  {ingredientKey, ingredientKey}, error);
}

std::optional<bool> IngredientCatalog::exists(const char* table, const char* keyField, qlonglong key,
                                              QString* error) const
{
    return hasRow(m_db, u"SELECT 1 FROM %1 WHERE %2 = ?"_s.arg(QLatin1String(table), QLatin1String(keyField)),
                  {key}, error);
}

bool IngredientCatalog::isUsed(const QVariant& ingredientKey, QString* error) const
{
    const auto key = rowKey(ingredientKey);
    if (!key)
        return false;
    return used(*key, error).value_or(true);
}

bool IngredientCatalog::moveToGroup(const QVariant& ingredientKey, const QVariant& groupKey, QString* error)
{
    const auto ingredient = rowKey(ingredientKey);
    const auto group = rowKey(groupKey);
    if (!ingredient || !group)
        return false;
    // A group that is gone (deleted in another window meanwhile) would leave the ingredient in no group.
    return changeRow(
        m_db, u"UPDATE Ing SET Kod = ? WHERE Kod1 = ? AND EXISTS (SELECT 1 FROM Gring WHERE Kod = ?)"_s,
        {*group, *ingredient, *group}, error);
}

bool IngredientCatalog::applyFlagChange(const QVariant& ingredientKey, bool rowHadPendingChanges,
                                        QString* error)
{
    const auto key = rowKey(ingredientKey);
    if (!key || !rowHadPendingChanges)
        return false;
    return changeRow(m_db, u"UPDATE Ing SET Vih = 100 WHERE Kod1 = ?"_s, {*key}, error);
}

bool IngredientCatalog::deleteIfUnused(qlonglong ingredientKey, bool* deleted, QString* error)
{
    *deleted = false;
    const auto isReferred = used(ingredientKey, error);
    if (!isReferred)
        return false;
    if (*isReferred)
        return true;
    // Its own composition goes with it: rows of a product that no longer exists would count nowhere.
    if (!execSql(m_db, u"DELETE FROM pf WHERE Kod = ?"_s, {ingredientKey}, error) ||
        !execSql(m_db, u"DELETE FROM Ing WHERE Kod1 = ?"_s, {ingredientKey}, error))
        return false;
    *deleted = true;
    return true;
}

bool IngredientCatalog::deleteGroupRows(qlonglong groupKey, bool* anyDeleted, bool* allDeleted,
                                        QString* error)
{
    return inTransaction(m_db, error, [&] {
        QList<qlonglong> ingredients;
        QSqlQuery query(m_db);
        if (!runQuery(query, u"SELECT Kod1 FROM Ing WHERE Kod = ? ORDER BY Kod1"_s, {groupKey}, error))
            return false;
        while (query.next())
            ingredients << query.value(0).toLongLong();
        query.finish();

        // Deleting an unused product frees its components; those of this group are tried again, so that
        // the result does not depend on which of them was entered first.
        const qsizetype count = ingredients.size();
        for (bool progress = true; progress;) {
            progress = false;
            for (auto it = ingredients.begin(); it != ingredients.end();) {
                bool deleted = false;
                if (!deleteIfUnused(*it, &deleted, error))
                    return false;
                progress = progress || deleted;
                it = deleted ? ingredients.erase(it) : it + 1;
            }
        }
        *allDeleted = ingredients.isEmpty();
        *anyDeleted = ingredients.size() < count || *allDeleted;
        return !*allDeleted || execSql(m_db, u"DELETE FROM Gring WHERE Kod = ?"_s, {groupKey}, error);
    });
}

bool IngredientCatalog::deleteGroup(const QVariant& groupKey, UserPrompts& prompts)
{
    const auto group = rowKey(groupKey);
    if (!group)
        return false;
    QString error;
    const auto present = exists("Gring", "Kod", *group, &error);
    if (!present)
        return showDatabaseError(prompts, error);
    if (!*present)
        return false;
    if (!prompts.confirmIrreversible(u"Удаление группы ингредиентов"_s,
                                     u"Подтвердите удаление группы ингредиентов !!!"_s))
        return false;

    bool anyDeleted = false;
    bool allDeleted = false;
    if (!deleteGroupRows(*group, &anyDeleted, &allDeleted, &error))
        return showDatabaseError(prompts, error);
    if (allDeleted)
        prompts.inform(u"Информация"_s, u"Группа успешно удалена !!!"_s);
    else
        prompts.warn(u"Ошибка удаления группы"_s,
                     u"Группа не удалена, остались ингредиенты используемые в блюдах или "
                     "составляющих полуфабрикатов !!!"_s);
    return anyDeleted;
}

bool IngredientCatalog::deleteIngredient(const QVariant& ingredientKey, UserPrompts& prompts)
{
    const auto ingredient = rowKey(ingredientKey);
    if (!ingredient)
        return false;
    QString error;
    const auto present = exists("Ing", "Kod1", *ingredient, &error);
    if (!present)
        return showDatabaseError(prompts, error);
    if (!*present)
        return false;
    if (!prompts.confirmIrreversible(u"Удаление ингредиента"_s, u"Подтвердите удаление ингредиента !!!"_s))
        return false;

    bool deleted = false;
    // Kept only when it went: a used ingredient changes nothing.
    const bool ok =
        inTransaction(m_db, &error, [&] { return deleteIfUnused(*ingredient, &deleted, &error) && deleted; });
    if (!ok)
        return showDatabaseError(prompts, error);
    if (deleted)
        prompts.inform(u"Информация"_s, u"Ингредиент успешно удалён !!!"_s);
    else
        prompts.warn(u"Ошибка удаления ингредиента"_s,
                     u"Ингредиент не удалён, он используется в блюдах или составляющих "
                     "полуфабрикатов !!!"_s);
    return deleted;
}

bool IngredientCatalog::deleteComponent(const QVariant& compositionRowKey, UserPrompts& prompts)
{
    const auto row = rowKey(compositionRowKey);
    if (!row)
        return false;
    QString error;
    const auto present = exists("pf", "NNN", *row, &error);
    if (!present)
        return showDatabaseError(prompts, error);
    if (!*present)
        return false;
    if (!prompts.confirmIrreversible(u"Удаление составляющей"_s, u"Подтвердите удаление составляющей !!!"_s))
        return false;
    if (!execSql(m_db, u"DELETE FROM pf WHERE NNN = ?"_s, {*row}, &error))
        return showDatabaseError(prompts, error);
    return true;
}

QVariant IngredientCatalog::chooseComponent(const QVariant& productKey, const QVariant& candidateKey,
                                            UserPrompts& prompts)
{
    const auto product = rowKey(productKey);
    const auto candidate = rowKey(candidateKey);
    if (!product || !candidate)
        return {};
    QString error;
    const auto productPresent = exists("Ing", "Kod1", *product, &error);
    if (!productPresent) {
        showDatabaseError(prompts, error);
        return {};
    }
    if (!*productPresent)
        return {};
    if (*candidate == *product) {
        prompts.warn(u"Ошибка выбора"_s, u"Полуфабрикат не может входить сам в себя"_s);
        return {};
    }

    QSqlQuery query(m_db);
    if (!runQuery(query, u"SELECT Pf, Cena FROM Ing WHERE Kod1 = ?"_s, {*candidate}, &error)) {
        showDatabaseError(prompts, error);
        return {};
    }
    if (!query.next())
        return {};
    if (query.value(0).toBool()) {
        prompts.warn(u"Ошибка выбора"_s,
                     u"Инградиент является полуфабрикатом и не может входить в полуфабрикат"_s);
        return {};
    }
    // The chooser lists only priced ingredients; a row that lost its price meanwhile is not taken.
    if (!(query.value(1).toDouble() > 0.0))
        return {};
    query.finish();

    QSqlQuery insert(m_db);
    if (!runQuery(insert, u"INSERT INTO pf (Kod, Name) VALUES (?, ?)"_s, {*product, *candidate}, &error)) {
        showDatabaseError(prompts, error);
        return {};
    }
    return insert.lastInsertId();
}

bool IngredientCatalog::closeChooser(const QVariant& productKey, QString* error)
{
    const auto product = rowKey(productKey);
    if (!product)
        return false;
    // The reset and its row of the price history are one change.
    QString failure;
    bool changed = false;
    const bool ok = inTransaction(m_db, &failure, [&] {
        bool found = false;
        QVariant old;
        if (!forEachRow(
                m_db, u"SELECT Cena FROM Ing WHERE Kod1 = ?"_s, {*product},
                [&](const QSqlQuery& query) {
                    found = true;
                    old = query.isNull(0) ? QVariant() : query.value(0);
                },
                &failure) ||
            !found)
            return false;
        if (!execSql(m_db, u"UPDATE Ing SET Cena = 0 WHERE Kod1 = ?"_s, {*product}, &failure))
            return false;
        QList<PriceHistory::Change> reset(1);
        reset[0].ingredient = *product;
        reset[0].oldPrice = old;
        reset[0].newPrice = 0.0;
        changed = PriceHistory(m_db, PriceHistory::Source::Composition).record(reset, &failure);
        return changed;
    });
    if (!ok && error)
        *error = failure;
    return ok && changed;
}
