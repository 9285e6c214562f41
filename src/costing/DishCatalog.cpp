#include "DishCatalog.h"

#include "menus/MenuBook.h"
#include "store/Database.h"
#include "store/PreparedStatement.h"
#include "store/Rounding.h"
#include "store/RowKey.h"
#include "store/UserPrompts.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int dishNameLength = 50;

// For queries of at most one row and one column that is never NULL: false on a database failure,
// and *value invalid when there was no row.
bool queryValue(QSqlDatabase db, const QString& sql, const QVariantList& values, QVariant* value,
                QString* error)
{
    QSqlQuery query(db);
    if (!runQuery(query, sql, values, error))
        return false;
    *value = query.next() ? query.value(0) : QVariant();
    return true;
}

// "Taken as a whole number" keeps an empty value empty: it reads as 0 either way, and the copy
// stays as the user left it.
QVariant wholeOrEmpty(const QVariant& value)
{
    return value.isNull() ? QVariant() : QVariant(rounding::wholeNumber(value.toDouble()));
}

} // namespace

bool DishCatalog::databaseError(const QString& error)
{
    m_prompts.warn(u"Ошибка"_s, error);
    return false;
}

bool DishCatalog::deleteCardLine(const QVariant& cardLine)
{
    const auto line = rowKey(cardLine);
    if (!line)
        return false;
    QString error;
    QVariant finished;
    if (!queryValue(m_db,
                    u"SELECT COALESCE(b.Status, 0) FROM Karta k LEFT JOIN Bludo b ON b.Kod1 = k.Kod "
                    "WHERE k.NNN = ?"_s,
                    {*line}, &finished, &error))
        return databaseError(error);
    if (!finished.isValid() || finished.toInt() == 1)
        return false;
    if (!m_prompts.confirmIrreversible(u"Удаление ингредиента"_s, u"Подтвердите удаление ингредиента !!!"_s))
        return false;
    if (!inTransaction(m_db, &error,
                       [&] { return execSql(m_db, u"DELETE FROM Karta WHERE NNN = ?"_s, {*line}, &error); }))
        return databaseError(error);
    return true;
}

bool DishCatalog::deleteDish(const QVariant& dishKey)
{
    const auto dish = rowKey(dishKey);
    if (!dish)
        return false;
    QString error;
    QVariant exists;
    if (!queryValue(m_db, u"SELECT 1 FROM Bludo WHERE Kod1 = ?"_s, {*dish}, &exists, &error))
        return databaseError(error);
    if (!exists.isValid())
        return false;
    if (!m_prompts.confirmIrreversible(u"Удаление блюда"_s, u"Подтвердите удаление блюда !!!"_s))
        return false;
    QVariant used;
    if (!inTransaction(m_db, &error, [&] {
            return queryValue(m_db, u"SELECT 1 FROM MenuSp WHERE Name = ? LIMIT 1"_s, {*dish}, &used,
                              &error) &&
                   !used.isValid() && execSql(m_db, u"DELETE FROM Karta WHERE Kod = ?"_s, {*dish}, &error) &&
                   execSql(m_db, u"DELETE FROM Bludo WHERE Kod1 = ?"_s, {*dish}, &error);
        }))
        return databaseError(error);
    if (used.isValid()) {
        m_prompts.warn(u"Ошибка удаления блюда"_s,
                       u"Блюдо не удалено, оно используется в одном из меню !!!"_s);
        return false;
    }
    m_prompts.inform(u"Информация"_s, u"Блюдо успешно удалено !!!"_s);
    return true;
}

bool DishCatalog::deleteDishGroup(const QVariant& groupKey)
{
    const auto group = rowKey(groupKey);
    if (!group)
        return false;
    QString error;
    QVariant exists;
    if (!queryValue(m_db, u"SELECT 1 FROM Grbludo WHERE Kod = ?"_s, {*group}, &exists, &error))
        return databaseError(error);
    if (!exists.isValid())
        return false;
    if (!m_prompts.confirmIrreversible(u"Удаление группы блюд"_s, u"Подтвердите удаление группы блюд !!!"_s))
        return false;
    // NOT EXISTS rather than NOT IN: an entry without a dish must not make every dish look used.
    const QString unused = u"NOT EXISTS (SELECT 1 FROM MenuSp m WHERE m.Name = b.Kod1)"_s;
    QVariant kept;
    if (!inTransaction(m_db, &error, [&] {
            return execSql(m_db,
                           u"DELETE FROM Karta WHERE Kod IN "
                           "(SELECT b.Kod1 FROM Bludo b WHERE b.Kod = ? AND %1)"_s.arg(unused),
                           {*group}, &error) &&
                   execSql(m_db, u"DELETE FROM Bludo AS b WHERE b.Kod = ? AND %1"_s.arg(unused), {*group},
                           &error) &&
                   queryValue(m_db, u"SELECT 1 FROM Bludo WHERE Kod = ? LIMIT 1"_s, {*group}, &kept,
                              &error) &&
                   (kept.isValid() ||
                    execSql(m_db, u"DELETE FROM Grbludo WHERE Kod = ?"_s, {*group}, &error));
        }))
        return databaseError(error);
    if (kept.isValid()) {
        m_prompts.warn(u"Ошибка удаления блюда"_s,
                       u"Группа блюд не удалена, остались блюда используемые в одном из меню !!!"_s);
        return false;
    }
    m_prompts.inform(u"Информация"_s, u"Группа блюд успешно удалена !!!"_s);
    return true;
}

bool DishCatalog::finishDish(const QVariant& dishKey)
{
    const auto dish = rowKey(dishKey);
    if (!dish)
        return false;
    QString error;
    bool finished = false;
    if (!inTransaction(m_db, &error, [&] {
            QSqlQuery query(m_db);
            if (!runQuery(query, u"UPDATE Bludo SET Status = 1 WHERE Kod1 = ?"_s, {*dish}, &error))
                return false;
            finished = query.numRowsAffected() > 0;
            return true;
        }))
        return databaseError(error);
    return finished;
}

std::optional<qlonglong> DishCatalog::copyDish(const QVariant& dishKey, const QString& newName,
                                               const QVariant& targetGroup)
{
    const auto dish = rowKey(dishKey);
    const auto group = rowKey(targetGroup);
    if (!dish || !group || newName.trimmed().isEmpty())
        return std::nullopt;
    if (newName.size() > dishNameLength) {
        m_prompts.warn(u"Копирование блюда"_s,
                       u"Наименование блюда не может быть длиннее %1 символов."_s.arg(dishNameLength));
        return std::nullopt;
    }
    QString error;
    std::optional<qlonglong> newDish;
    const bool done = inTransaction(m_db, &error, [&] {
        QSqlQuery query(m_db);
        QVariant groupExists;
        if (!queryValue(m_db, u"SELECT 1 FROM Grbludo WHERE Kod = ?"_s, {*group}, &groupExists, &error) ||
            !runQuery(query, u"SELECT Nporc, Proc, Vixod, Serving, Storage FROM Bludo WHERE Kod1 = ?"_s,
                      {*dish}, &error) ||
            !groupExists.isValid() || !query.next())
            return false;
        // The serving and storage texts describe the dish, not one version of it, so the copy keeps
        // them; its recipe text and price start over.
        NewDish copy{*group,
                     newName,
                     {},
                     wholeOrEmpty(query.value(0)),
                     wholeOrEmpty(query.value(1)),
                     query.value(2),
                     {},
                     query.value(3),
                     query.value(4),
                     {},
                     {}};
        if (!runQuery(query, u"SELECT KodIng, Name, Kolvo, Vihod FROM Karta WHERE Kod = ? ORDER BY NNN"_s,
                      {*dish}, &error))
            return false;
        while (query.next())
            copy.lines.push_back(
                {wholeOrEmpty(query.value(0)), query.value(1), query.value(2), wholeOrEmpty(query.value(3))});
        query.finish();
        newDish = addDish(m_db, copy, &error);
        return newDish.has_value();
    });
    if (!done)
        databaseError(error);
    return done ? newDish : std::nullopt;
}

std::optional<qlonglong> DishCatalog::addCardLine(const QVariant& dishKey, const QVariant& ingredientKey)
{
    const auto dish = rowKey(dishKey);
    const auto ingredient = rowKey(ingredientKey);
    if (!dish || !ingredient)
        return std::nullopt;
    QString error;
    std::optional<qlonglong> line;
    const bool done = inTransaction(m_db, &error, [&] {
        QVariant finished;
        QVariant candidate;
        if (!queryValue(m_db, u"SELECT COALESCE(Status, 0) FROM Bludo WHERE Kod1 = ?"_s, {*dish}, &finished,
                        &error) ||
            !queryValue(m_db, u"SELECT 1 FROM Ing WHERE Kod1 = ? AND %1"_s.arg(candidateCondition()),
                        {*ingredient}, &candidate, &error) ||
            !finished.isValid() || finished.toInt() == 1 || !candidate.isValid())
            return false;
        QSqlQuery query(m_db);
        if (!runQuery(query, u"INSERT INTO Karta (Kod, Name, Vihod) VALUES (?, ?, 100)"_s,
                      {*dish, *ingredient}, &error))
            return false;
        line = query.lastInsertId().toLongLong();
        return true;
    });
    if (!done)
        databaseError(error);
    return done ? line : std::nullopt;
}

bool DishCatalog::groupOrderChanged(double remembered, double newOrder)
{
    return rounding::wholeNumber(remembered) != rounding::wholeNumber(newOrder);
}

bool DishCatalog::rewriteMenuGroupOrder(const QVariant& groupKey, double remembered, double newOrder)
{
    const auto group = rowKey(groupKey);
    if (!group || !groupOrderChanged(remembered, newOrder))
        return false;
    QString error;
    if (!inTransaction(m_db, &error, [&] {
            return MenuBook::setGroupOrder(m_db, *group, rounding::wholeNumber(newOrder), &error);
        }))
        return databaseError(error);
    return true;
}

std::optional<qlonglong> DishCatalog::addDish(QSqlDatabase db, const NewDish& dish, QString* error)
{
    QSqlQuery query(db);
    if (!runQuery(query,
                  u"INSERT INTO Bludo (Kod, Name, X, Nporc, Proc, Vixod, Recept, Serving, Storage, Status) "
                  u"VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                  {dish.group, dish.name, dish.extra, dish.portions, dish.markup, dish.yield, dish.recipe,
                   dish.serving, dish.storage, dish.status},
                  error))
        return std::nullopt;
    const qlonglong key = query.lastInsertId().toLongLong();
    for (const NewDish::Line& line : dish.lines) {
        if (!runQuery(query, u"INSERT INTO Karta (Kod, KodIng, Name, Kolvo, Vihod) VALUES (?, ?, ?, ?, ?)"_s,
                      {key, line.copiedCode, line.ingredient, line.grams, line.yieldPercent}, error))
            return std::nullopt;
    }
    return key;
}

bool DishCatalog::setPrices(QSqlDatabase db, const std::vector<std::pair<qlonglong, double>>& prices,
                            QString* error)
{
    // One statement for all: a period summary prices the whole kitchen at once.
    PreparedStatement update(db, u"UPDATE Bludo SET Cena = ? WHERE Kod1 = ?"_s, error);
    if (!update.isValid())
        return false;
    for (const auto& [dish, price] : prices) {
        if (!update.exec({price, dish}, error))
            return false;
    }
    return true;
}

bool DishCatalog::setPrintMarks(QSqlDatabase db, const QList<qlonglong>& dishes, const QString& mark,
                                QString* error)
{
    for (qlonglong dish : dishes) {
        if (!execSql(db, u"UPDATE Bludo SET Print = ? WHERE Kod1 = ?"_s, {mark, dish}, error))
            return false;
    }
    return true;
}
