#include "DishCatalog.h"

#include "store/Database.h"
#include "store/RowKey.h"
#include "store/Rounding.h"
#include "store/UserPrompts.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

#include <vector>

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

// Runs the work in one transaction: committed when the work returns true, rolled back when it returns
// false (a refusal, or a database failure with *error set). Returns false on a database failure only.
// The transaction is over on return, so that no dialog is shown while it holds the database.
template <typename Work> bool inTransaction(QSqlDatabase db, QString* error, Work&& work)
{
    Transaction transaction(db);
    if (!transaction.isActive()) {
        *error = sqlErrorText(db.lastError());
        return false;
    }
    if (!work())
        return error->isEmpty();
    if (!transaction.commit()) {
        *error = sqlErrorText(db.lastError());
        return false;
    }
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
    m_prompts.warn(QStringLiteral("Ошибка"), error);
    return false;
}

bool DishCatalog::deleteCardLine(const QVariant& cardLine)
{
    const auto line = rowKey(cardLine);
    if (!line)
        return false;
    QString error;
    QVariant finished;
    if (!queryValue(
            m_db,
            QStringLiteral("SELECT COALESCE(b.Status, 0) FROM Karta k LEFT JOIN Bludo b ON b.Kod1 = k.Kod "
                           "WHERE k.NNN = ?"),
            {*line}, &finished, &error))
        return databaseError(error);
    if (!finished.isValid() || finished.toInt() == 1)
        return false;
    if (!m_prompts.confirm(QStringLiteral("Удаление ингредиента"),
                           QStringLiteral("Подтвердите удаление ингредиента !!!")))
        return false;
    if (!inTransaction(m_db, &error, [&] {
            return execSql(m_db, QStringLiteral("DELETE FROM Karta WHERE NNN = ?"), {*line}, &error);
        }))
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
    if (!queryValue(m_db, QStringLiteral("SELECT 1 FROM Bludo WHERE Kod1 = ?"), {*dish}, &exists, &error))
        return databaseError(error);
    if (!exists.isValid())
        return false;
    if (!m_prompts.confirm(QStringLiteral("Удаление блюда"),
                           QStringLiteral("Подтвердите удаление блюда !!!")))
        return false;
    QVariant used;
    if (!inTransaction(m_db, &error, [&] {
            return queryValue(m_db, QStringLiteral("SELECT 1 FROM MenuSp WHERE Name = ? LIMIT 1"), {*dish},
                              &used, &error) &&
                   !used.isValid() &&
                   execSql(m_db, QStringLiteral("DELETE FROM Karta WHERE Kod = ?"), {*dish}, &error) &&
                   execSql(m_db, QStringLiteral("DELETE FROM Bludo WHERE Kod1 = ?"), {*dish}, &error);
        }))
        return databaseError(error);
    if (used.isValid()) {
        m_prompts.warn(QStringLiteral("Ошибка удаления блюда"),
                       QStringLiteral("Блюдо не удалено, оно используется в одном из меню !!!"));
        return false;
    }
    m_prompts.inform(QStringLiteral("Информация"), QStringLiteral("Блюдо успешно удалено !!!"));
    return true;
}

bool DishCatalog::deleteDishGroup(const QVariant& groupKey)
{
    const auto group = rowKey(groupKey);
    if (!group)
        return false;
    QString error;
    QVariant exists;
    if (!queryValue(m_db, QStringLiteral("SELECT 1 FROM Grbludo WHERE Kod = ?"), {*group}, &exists, &error))
        return databaseError(error);
    if (!exists.isValid())
        return false;
    if (!m_prompts.confirm(QStringLiteral("Удаление группы блюд"),
                           QStringLiteral("Подтвердите удаление группы блюд !!!")))
        return false;
    // NOT EXISTS rather than NOT IN: an entry without a dish must not make every dish look used.
    const QString unused = QStringLiteral("NOT EXISTS (SELECT 1 FROM MenuSp m WHERE m.Name = b.Kod1)");
    QVariant kept;
    if (!inTransaction(m_db, &error, [&] {
            return execSql(m_db,
                           QStringLiteral("DELETE FROM Karta WHERE Kod IN "
                                          "(SELECT b.Kod1 FROM Bludo b WHERE b.Kod = ? AND %1)")
                               .arg(unused),
                           {*group}, &error) &&
                   execSql(m_db, QStringLiteral("DELETE FROM Bludo AS b WHERE b.Kod = ? AND %1").arg(unused),
                           {*group}, &error) &&
                   queryValue(m_db, QStringLiteral("SELECT 1 FROM Bludo WHERE Kod = ? LIMIT 1"), {*group},
                              &kept, &error) &&
                   (kept.isValid() ||
                    execSql(m_db, QStringLiteral("DELETE FROM Grbludo WHERE Kod = ?"), {*group}, &error));
        }))
        return databaseError(error);
    if (kept.isValid()) {
        m_prompts.warn(
            QStringLiteral("Ошибка удаления блюда"),
            QStringLiteral("Группа блюд не удалена, остались блюда используемые в одном из меню !!!"));
        return false;
    }
    m_prompts.inform(QStringLiteral("Информация"), QStringLiteral("Группа блюд успешно удалена !!!"));
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
            if (!runQuery(query, QStringLiteral("UPDATE Bludo SET Status = 1 WHERE Kod1 = ?"), {*dish}, &error))
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
        m_prompts.warn(
            QStringLiteral("Копирование блюда"),
            QStringLiteral("Наименование блюда не может быть длиннее %1 символов.").arg(dishNameLength));
        return std::nullopt;
    }
    QString error;
    std::optional<qlonglong> newDish;
    const bool done = inTransaction(m_db, &error, [&] {
        QSqlQuery query(m_db);
        QVariant groupExists;
        if (!queryValue(m_db, QStringLiteral("SELECT 1 FROM Grbludo WHERE Kod = ?"), {*group}, &groupExists,
                        &error) ||
            !runQuery(query, QStringLiteral("SELECT Nporc, Proc, Vixod FROM Bludo WHERE Kod1 = ?"), {*dish},
                 &error) ||
            !groupExists.isValid() || !query.next())
            return false;
        const QVariantList copy = {*group, newName, wholeOrEmpty(query.value(0)),
                                   wholeOrEmpty(query.value(1)), query.value(2)};
        if (!runQuery(query,
                 QStringLiteral("INSERT INTO Bludo (Kod, Name, Nporc, Proc, Vixod) VALUES (?, ?, ?, ?, ?)"),
                 copy, &error))
            return false;
        newDish = query.lastInsertId().toLongLong();
        if (!runQuery(query,
                 QStringLiteral("SELECT KodIng, Name, Kolvo, Vihod FROM Karta WHERE Kod = ? ORDER BY NNN"),
                 {*dish}, &error))
            return false;
        std::vector<QVariantList> lines;
        while (query.next())
            lines.push_back({*newDish, wholeOrEmpty(query.value(0)), query.value(1), query.value(2),
                             wholeOrEmpty(query.value(3))});
        for (const QVariantList& line : lines) {
            if (!execSql(m_db,
                         QStringLiteral(
                             "INSERT INTO Karta (Kod, KodIng, Name, Kolvo, Vihod) VALUES (?, ?, ?, ?, ?)"),
                         line, &error))
                return false;
        }
        return true;
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
        if (!queryValue(m_db, QStringLiteral("SELECT COALESCE(Status, 0) FROM Bludo WHERE Kod1 = ?"), {*dish},
                        &finished, &error) ||
            !queryValue(m_db,
                        QStringLiteral("SELECT 1 FROM Ing WHERE Kod1 = ? AND %1").arg(candidateCondition()),
                        {*ingredient}, &candidate, &error) ||
            !finished.isValid() || finished.toInt() == 1 || !candidate.isValid())
            return false;
        QSqlQuery query(m_db);
        if (!runQuery(query, QStringLiteral("INSERT INTO Karta (Kod, Name, Vihod) VALUES (?, ?, 100)"),
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
            return execSql(m_db, QStringLiteral("UPDATE MenuSp SET Nn = ? WHERE GrName = ?"),
                           {rounding::wholeNumber(newOrder), *group}, &error);
        }))
        return databaseError(error);
    return true;
}
