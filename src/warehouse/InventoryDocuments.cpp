#include "InventoryDocuments.h"

#include "store/Database.h"
#include "store/RowKey.h"
#include "store/UserPrompts.h"

#include <QHash>
#include <QSqlQuery>

#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString postingCaption = u"Проводка документа"_s;
const QString inventoryNumber = u"Инвентаризация"_s;

struct CountLine
{
    QVariant ingredientRef;
    QString name;
    double counted = 0;
    QVariant price;
};

} // namespace

QHash<qlonglong, QString> InventoryDocuments::unitNames() const
{
    QHash<qlonglong, QString> names;
    QString error;
    forEachRow(
        m_db, u"SELECT Kod, Shorthame FROM Edinica"_s,
        [&](const QSqlQuery& query) { names.insert(query.value(0).toLongLong(), query.value(1).toString()); }, &error);
    return names;
}

double InventoryDocuments::state(qlonglong document) const
{
    QSqlQuery query(m_db);
    QString error;
    if (!runQuery(query, u"SELECT Provodka FROM invdok WHERE Kod = ?"_s, {document}, &error) || !query.next())
        return 0;
    return query.value(0).toDouble();
}

bool InventoryDocuments::remove(qlonglong document)
{
    if (!m_prompts.confirm(u"Удаление документа"_s, u"Подтвердите удаление документа !!!"_s))
        return false;
    QString error;
    Transaction transaction(m_db);
    if (!transaction.isActive() || !execSql(m_db, u"DELETE FROM inv WHERE Kod = ?"_s, {document}, &error) ||
        !execSql(m_db, u"DELETE FROM invdok WHERE Kod = ?"_s, {document}, &error) || !transaction.commit()) {
        m_prompts.warn(u"Ошибка"_s, error.isEmpty() ? sqlErrorText(m_db.lastError()) : error);
        return false;
    }
    return true;
}

bool InventoryDocuments::deleteZeroLines(qlonglong document)
{
    QString error;
    if (!execSql(m_db, u"DELETE FROM inv WHERE Kod = ? AND coalesce(NewKolvo, 0) = 0"_s, {document}, &error)) {
        m_prompts.warn(u"Ошибка"_s, error);
        return false;
    }
    return true;
}

bool InventoryDocuments::transfer(qlonglong document, const std::function<CountedStart()>& choose)
{
    QSqlQuery doc(m_db);
    QString error;
    if (!runQuery(doc, u"SELECT Provodka FROM invdok WHERE Kod = ?"_s, {document}, &error) || !doc.next()) {
        m_prompts.inform(QString(), u"Создайте сначала документ, а потом вносите в него состояние склада"_s);
        return false;
    }
    if (doc.value(0).toDouble() > 0) {
        m_prompts.inform(QString(), u"Состояние склада можно занести только в новый докуцмент."_s);
        return false;
    }
    const bool countedFromBalance = choose() == CountedStart::Balance;
    Transaction transaction(m_db);
    // Every ingredient of every group, semi-finished products excepted: they are made, not stored.
    const bool ok =
        transaction.isActive() &&
        execSql(m_db,
                u"INSERT INTO inv (Kod, Ing22, Ing, Oldkolvo, OldPrice, Newprice, NewKolvo) "
                "SELECT ?, Name, Kod1, Kolvo, Cena, Cena, CASE WHEN ? THEN Kolvo END FROM Ing "
                "WHERE coalesce(Pf, 0) = 0 ORDER BY Kod, Kod1"_s,
                {document, countedFromBalance ? 1 : 0}, &error) &&
        execSql(m_db, u"UPDATE invdok SET Provodka = ? WHERE Kod = ?"_s, {transferred, document}, &error) &&
        transaction.commit();
    if (!ok)
        m_prompts.warn(u"Ошибка"_s, error.isEmpty() ? sqlErrorText(m_db.lastError()) : error);
    return ok;
}

bool InventoryDocuments::post(qlonglong document)
{
    // No document, nothing to post: above all no clearing of the warehouse for nothing.
    QSqlQuery doc(m_db);
    QString error;
    if (!runQuery(doc, u"SELECT Provodka FROM invdok WHERE Kod = ?"_s, {document}, &error) || !doc.next() ||
        doc.value(0).toDouble() >= posted)
        return false;
    if (!m_prompts.confirm(postingCaption, u"Подтвердите проводку документа инвентаризации !!!"_s))
        return false;
    const bool clear = m_prompts.confirm(postingCaption, u"Произвести отчистку движения инградиентов на складе ?"_s);
    if (clear && !m_prompts.confirm(u"Очистка документов движения"_s,
                                    u"Подтвердите, что все документы движения по складу необходимо удалить"_s))
        return false;
    if (!post(document, clear, &error)) {
        m_prompts.warn(u"Ошибка"_s, error);
        return false;
    }
    return true;
}

bool InventoryDocuments::post(qlonglong document, bool clearHistory, QString* error)
{
    Transaction transaction(m_db);
    if (!transaction.isActive()) {
        *error = sqlErrorText(m_db.lastError());
        return false;
    }
    QSqlQuery doc(m_db);
    if (!runQuery(doc, u"SELECT Date FROM invdok WHERE Kod = ?"_s, {document}, error))
        return false;
    if (!doc.next()) {
        *error = u"Документ инвентаризации не найден."_s;
        return false;
    }
    const QVariant date = doc.value(0);

    std::vector<CountLine> lines;
    if (!forEachRow(
            m_db, u"SELECT Ing, Ing22, NewKolvo, Newprice FROM inv WHERE Kod = ? ORDER BY Ing22 COLLATE RU, Nnn"_s,
            {document},
            [&](const QSqlQuery& query) {
                lines.push_back(
                    {query.value(0), query.value(1).toString(), query.value(2).toDouble(), query.value(3)});
            },
            error))
        return false;
    QHash<qlonglong, double> balances;
    if (!forEachRow(
            m_db, u"SELECT Kod1, Kolvo FROM Ing WHERE Kod1 IN (SELECT Ing FROM inv WHERE Kod = ?)"_s, {document},
            [&](const QSqlQuery& query) { balances.insert(query.value(0).toLongLong(), query.value(1).toDouble()); },
            error))
        return false;
    for (const CountLine& line : lines) {
        const std::optional<qlonglong> ingredient = rowKey(line.ingredientRef);
        if (!ingredient || !balances.contains(*ingredient)) {
            *error = u"Строка «%1»: ингредиента этой строки нет в справочнике ингредиентов. "
                     "Документ не проведён."_s.arg(line.name);
            return false;
        }
    }

    // Every movement line goes with the documents, so none is left without its document.
    if (clearHistory && (!execSql(m_db, u"DELETE FROM Move"_s, {}, error) ||
                         !execSql(m_db, u"DELETE FROM Doc"_s, {}, error)))
        return false;
    QSqlQuery header(m_db);
    if (!runQuery(header, u"INSERT INTO Doc (Date, Nomer, Provodka) VALUES (?, ?, 1)"_s, {date, inventoryNumber},
                  error))
        return false;
    const qlonglong stockDocument = header.lastInsertId().toLongLong();

    QSqlQuery setStock(m_db);
    setStock.prepare(u"UPDATE Ing SET Kolvo = ?, Cena = ? WHERE Kod1 = ?"_s);
    QSqlQuery movement(m_db);
    movement.prepare(u"INSERT INTO Move (Kod, Kod1, Provodka, Kolvo, Cena, Oper, Date, Nomer) "
                     "VALUES (?, ?, 1, ?, ?, ?, ?, ?)"_s);
    for (const CountLine& line : lines) {
        const qlonglong ingredient = *rowKey(line.ingredientRef);
        // Against the balance now, not the one at transfer: the result is the counted quantity anyway.
        const double difference = line.counted - balances.value(ingredient);
        balances[ingredient] = line.counted;
        setStock.addBindValue(line.counted);
        setStock.addBindValue(line.price.isNull() ? QVariant(0.0) : line.price);
        setStock.addBindValue(ingredient);
        if (!setStock.exec()) {
            *error = sqlErrorText(setStock.lastError());
            return false;
        }
        for (const QVariant& value :
             {QVariant(ingredient), QVariant(stockDocument), QVariant(std::abs(difference)),
              line.price.isNull() ? QVariant(0.0) : line.price, QVariant(difference > 0 ? u"P"_s : u"R"_s), date,
              QVariant(inventoryNumber)})
            movement.addBindValue(value);
        if (!movement.exec()) {
            *error = sqlErrorText(movement.lastError());
            return false;
        }
    }
    if (!execSql(m_db, u"UPDATE invdok SET Provodka = ? WHERE Kod = ?"_s, {posted, document}, error))
        return false;
    if (!transaction.commit()) {
        *error = sqlErrorText(m_db.lastError());
        return false;
    }
    return true;
}
