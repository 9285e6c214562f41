#include "MenuBook.h"

#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"
#include "store/UserPrompts.h"

#include <QSqlError>
#include <QSqlQuery>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

// An entry's copy of its group's order number, as the group page rewrites it: a whole number.
double entryOrderOf(const QVariant& groupOrder)
{
    return rounding::wholeNumber(groupOrder.toDouble());
}

const QString insertEntry = u"INSERT INTO MenuSp (Kod, Name, GrName, Nn) VALUES (?, ?, ?, ?)"_s;

} // namespace

QStringList MenuBook::entryOrder()
{
    return {u"Nn"_s, u"GrName"_s, u"Nnn"_s};
}

bool MenuBook::databaseError(const QString& error)
{
    m_prompts.warn(u"Ошибка"_s, error);
    return false;
}

std::optional<qlonglong> MenuBook::createMenu(DatePrompt& dates, const Clock& clock)
{
    const std::optional<QDate> date = dates.askDate(clock.today());
    if (!date || !date->isValid())
        return std::nullopt;
    QString error;
    QSqlQuery query(m_db);
    qlonglong key = 0;
    if (!inTransaction(m_db, &error, [&] {
            if (!runQuery(query, u"INSERT INTO Menu (Date) VALUES (?)"_s, {date->toString(Qt::ISODate)},
                          &error))
                return false;
            key = query.lastInsertId().toLongLong();
            return true;
        })) {
        databaseError(error);
        return std::nullopt;
    }
    return key;
}

bool MenuBook::isReleased(QSqlDatabase db, const QVariant& menu)
{
    const auto key = rowKey(menu);
    if (!key)
        return false;
    QSqlQuery query(db);
    QString error;
    return runQuery(query, u"SELECT Status FROM Menu WHERE Kod = ?"_s, {*key}, &error) && query.next() &&
           query.value(0).toBool();
}

bool MenuBook::releaseMenu(const QVariant& menu)
{
    const auto key = rowKey(menu);
    if (!key)
        return false;
    QString error;
    if (!inTransaction(m_db, &error, [&] {
            return execSql(m_db, u"UPDATE Menu SET Status = 1 WHERE Kod = ?"_s, {*key}, &error);
        }))
        return databaseError(error);
    return true;
}

bool MenuBook::toggleEntry(const QVariant& entry)
{
    const auto key = rowKey(entry);
    if (!key)
        return false;
    QString error;
    if (!inTransaction(m_db, &error, [&] {
            return execSql(
                m_db, u"UPDATE MenuSp SET Status = CASE WHEN Status = 1 THEN 0 ELSE 1 END WHERE Nnn = ?"_s,
                {*key}, &error);
        }))
        return databaseError(error);
    return true;
}

bool MenuBook::removeEntry(const QVariant& entry)
{
    return removeEntryAfter(entry, u"Удаление записи из меню"_s, u"Подтвердите удаление записи !!!"_s);
}

bool MenuBook::removeChosenDish(const QVariant& entry)
{
    return removeEntryAfter(entry, QString(), u"Удалять блюдо из меню ?"_s);
}

bool MenuBook::removeEntryAfter(const QVariant& entry, const QString& caption, const QString& question)
{
    const auto key = rowKey(entry);
    if (!key)
        return false;
    // A released menu keeps all of its dishes.
    QSqlQuery menu(m_db);
    QString error;
    if (!runQuery(menu, u"SELECT m.Status FROM MenuSp s JOIN Menu m ON m.Kod = s.Kod WHERE s.Nnn = ?"_s,
                  {*key}, &error))
        return databaseError(error);
    if (menu.next() && menu.value(0).toBool())
        return false;
    menu.finish();
    if (!m_prompts.confirmIrreversible(caption, question))
        return false;
    bool removed = false;
    if (!inTransaction(m_db, &error, [&] {
            QSqlQuery query(m_db);
            if (!runQuery(query, u"DELETE FROM MenuSp WHERE Nnn = ?"_s, {*key}, &error))
                return false;
            removed = query.numRowsAffected() > 0;
            return true;
        }))
        return databaseError(error);
    return removed;
}

bool MenuBook::deleteMenu(const QVariant& menu)
{
    const auto key = rowKey(menu);
    if (!key)
        return false;
    QSqlQuery documents(m_db);
    QString error;
    if (!runQuery(documents, u"SELECT COUNT(*) FROM Realdoc WHERE Nnn = ?"_s, {*key}, &error) ||
        !documents.next())
        return databaseError(error.isEmpty() ? documents.lastError().text() : error);
    const qlonglong used = documents.value(0).toLongLong();
    documents.finish();
    if (used > 0) {
        m_prompts.warn(u"Удаление меню"_s,
                       u"Имеются документы использующие это меню. Удаление не возможно !!!"_s);
        return false;
    }
    if (!m_prompts.confirmIrreversible(u"Удаление меню"_s, u"Подтвердите удаление меню !!!"_s))
        return false;
    bool deleted = false;
    if (!inTransaction(m_db, &error, [&] {
            // Checked again inside the transaction: a document may have come since the question.
            QSqlQuery query(m_db);
            if (!runQuery(query, u"SELECT COUNT(*) FROM Realdoc WHERE Nnn = ?"_s, {*key}, &error) ||
                !query.next())
                return false;
            if (query.value(0).toLongLong() > 0)
                return false;
            query.finish();
            if (!execSql(m_db, u"DELETE FROM MenuSp WHERE Kod = ?"_s, {*key}, &error) ||
                !runQuery(query, u"DELETE FROM Menu WHERE Kod = ?"_s, {*key}, &error))
                return false;
            deleted = query.numRowsAffected() > 0;
            return true;
        }))
        return databaseError(error);
    return deleted;
}

std::optional<qlonglong> MenuBook::addDish(const QVariant& menuKey, const QVariant& dishKey)
{
    const auto menu = rowKey(menuKey);
    const auto dish = rowKey(dishKey);
    if (!menu || !dish)
        return std::nullopt;
    QString error;
    qlonglong key = 0;
    if (!inTransaction(m_db, &error, [&] {
            QSqlQuery query(m_db);
            if (!runQuery(query,
                          u"SELECT b.Kod, g.N FROM Bludo b JOIN Menu m ON m.Kod = ? "
                          "LEFT JOIN Grbludo g ON g.Kod = b.Kod WHERE b.Kod1 = ? AND b.Status = 1"_s,
                          {*menu, *dish}, &error))
                return false;
            if (!query.next())
                return false; // no such menu, or no finished dish
            const QVariant group = query.value(0);
            const double order = entryOrderOf(query.value(1));
            query.finish();
            if (!runQuery(query, insertEntry, {*menu, *dish, group, order}, &error))
                return false;
            key = query.lastInsertId().toLongLong();
            return true;
        })) {
        databaseError(error);
        return std::nullopt;
    }
    return key > 0 ? std::optional<qlonglong>(key) : std::nullopt;
}

std::optional<int> MenuBook::copyEntries(const QVariant& sourceMenu, const QVariant& targetMenu)
{
    const auto source = rowKey(sourceMenu);
    const auto target = rowKey(targetMenu);
    if (!source || !target || isReleased(m_db, *target))
        return std::nullopt;
    struct Entry
    {
        QVariant dish, group, price;
        double order;
    };
    QString error;
    int added = 0;
    if (!inTransaction(m_db, &error, [&] {
            std::vector<Entry> entries;
            QSqlQuery query(m_db);
            if (!runQuery(query, u"SELECT 1 FROM Menu WHERE Kod = ?"_s, {*target}, &error))
                return false;
            if (!query.next())
                return false;
            if (!runQuery(query,
                          u"SELECT s.Name, s.GrName, s.CenaProd, g.N FROM MenuSp s "
                          "LEFT JOIN Grbludo g ON g.Kod = s.GrName WHERE s.Kod = ? "
                          "ORDER BY s.Kod, s.Nn, s.N, s.Nnn"_s,
                          {*source}, &error))
                return false;
            while (query.next())
                entries.push_back(
                    {query.value(0), query.value(1), query.value(2), entryOrderOf(query.value(3))});
            if (query.lastError().isValid()) {
                error = query.lastError().text();
                return false;
            }
            query.finish();
            if (!query.prepare(
                    u"INSERT INTO MenuSp (Kod, Name, GrName, Nn, CenaProd) VALUES (?, ?, ?, ?, ?)"_s)) {
                error = query.lastError().text();
                return false;
            }
            for (const Entry& entry : entries) {
                for (const QVariant& value :
                     {QVariant(*target), entry.dish, entry.group, QVariant(entry.order), entry.price})
                    query.addBindValue(value);
                if (!query.exec()) {
                    error = query.lastError().text();
                    return false;
                }
                ++added;
            }
            return true;
        })) {
        databaseError(error);
        return std::nullopt;
    }
    return added;
}

bool MenuBook::setSellingPrices(QSqlDatabase db, const std::vector<std::pair<qlonglong, double>>& prices,
                                QString* error)
{
    for (const auto& [entry, price] : prices) {
        if (!execSql(db, u"UPDATE MenuSp SET CenaProd = ? WHERE Nnn = ?"_s, {price, entry}, error))
            return false;
    }
    return true;
}

bool MenuBook::setGroupOrder(QSqlDatabase db, qlonglong group, double order, QString* error)
{
    return execSql(db, u"UPDATE MenuSp SET Nn = ? WHERE GrName = ?"_s, {order, group}, error);
}

std::optional<qlonglong> MenuBook::addMenu(QSqlDatabase db, const NewMenu& menu, QString* error)
{
    QSqlQuery query(db);
    if (!runQuery(query, u"INSERT INTO Menu (Name, Status, Date) VALUES (?, ?, ?)"_s,
                  {menu.name, int(menu.released), menu.date}, error))
        return std::nullopt;
    const qlonglong key = query.lastInsertId().toLongLong();
    int number = 0;
    for (const NewMenu::Entry& entry : menu.entries) {
        if (!runQuery(
                query,
                u"INSERT INTO MenuSp (Kod, Name, GrName, Status, N, Nn, CenaProd) VALUES (?, ?, ?, 1, ?, ?, ?)"_s,
                {key, entry.dish, entry.group, ++number, entry.groupOrder, entry.price}, error))
            return std::nullopt;
    }
    return key;
}

bool MenuBook::setName(QSqlDatabase db, qlonglong menu, const QString& name, QString* error)
{
    return execSql(db, u"UPDATE Menu SET Name = ? WHERE Kod = ?"_s, {name, menu}, error);
}
