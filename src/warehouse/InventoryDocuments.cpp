#include "InventoryDocuments.h"

#include "reference/IngredientCatalog.h"
#include "StockDocuments.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/KitchenPresence.h"
#include "store/PreparedStatement.h"
#include "store/UserPrompts.h"

#include <QCollator>
#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString postingCaption = u"Проводка документа"_s;
const QString inventoryNumber = u"Инвентаризация"_s;
const QString alreadyPosted = u"Документ инвентаризации уже проведён."_s;

struct CountLine
{
    QString name;
    QVariant ingredient; // null when the ingredient is gone
    double balance = 0;
    double counted = 0;
    QVariant price;
    qlonglong entered = 0;
    QVariant oldPrice; // the ingredient's price before the posting
};

} // namespace

QHash<qlonglong, QString> InventoryDocuments::unitNames() const
{
    QHash<qlonglong, QString> names;
    QString error;
    forEachRow(
        m_db, u"SELECT Kod, Shorthame FROM Edinica"_s,
        [&](const QSqlQuery& query) { names.insert(query.value(0).toLongLong(), query.value(1).toString()); },
        &error);
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
    if (!m_prompts.confirmIrreversible(u"Удаление документа"_s, u"Подтвердите удаление документа !!!"_s))
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
    if (!execSql(m_db, u"DELETE FROM inv WHERE Kod = ? AND coalesce(NewKolvo, 0) = 0"_s, {document},
                 &error)) {
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
                "SELECT ?, Name, Kod1, Kolvo, Cena, Cena, CASE WHEN ? = 1 THEN Kolvo END FROM Ing "
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
    if (!runQuery(doc, u"SELECT Provodka FROM invdok WHERE Kod = ?"_s, {document}, &error) || !doc.next())
        return false;
    // Posted meanwhile, perhaps at another workstation: said, not asked about.
    if (doc.value(0).toDouble() >= posted) {
        m_prompts.warn(u"Ошибка"_s, alreadyPosted);
        return false;
    }
    if (!m_prompts.confirmIrreversible(postingCaption,
                                       u"Подтвердите проводку документа инвентаризации !!!"_s))
        return false;
    const bool clear = m_prompts.confirmIrreversible(
        postingCaption, u"Произвести отчистку движения инградиентов на складе ?"_s);
    if (clear && !m_prompts.confirmIrreversible(
                     u"Очистка документов движения"_s,
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
    // The balances the differences are taken against are read where they are written: no other
    // workstation's posting comes between.
    // Every refusal of the lines says why, so a false from them is never taken for success.
    return Isolation::run(m_db, error, [&] { return postLines(document, clearHistory, error); }) &&
           error->isEmpty();
}

bool InventoryDocuments::postLines(qlonglong document, bool clearHistory, QString* error)
{
    // Clearing takes away the documents others may be working on: on a server it runs alone.
    if (clearHistory &&
        !KitchenPresence::holdAlone(m_db, u"Проведение инвентаризации с очисткой истории"_s, error))
        return false;
    QSqlQuery doc(m_db);
    if (!runQuery(doc, u"SELECT Date, Provodka FROM invdok WHERE Kod = ?"_s, {document}, error))
        return false;
    if (!doc.next()) {
        *error = u"Документ инвентаризации не найден."_s;
        return false;
    }
    // Asked again inside the transaction, whatever the window showed: a document is posted once.
    if (doc.value(1).toDouble() >= posted) {
        *error = alreadyPosted;
        return false;
    }
    const QVariant date = doc.value(0);
    doc.finish(); // an open statement at the commit would keep SQLite from checkpointing

    // The lines in the order of the document (by name, then as entered) with the balance of their
    // ingredient; a line without a balance key has lost its ingredient. The index hands the lines over
    // in code-point order, which for most kitchens already is the collated order: checking that takes
    // one comparison a line, and only a mixed list is sorted again.
    std::vector<CountLine> lines;
    PreparedStatement read(m_db,
                           u"SELECT i.Ing22, g.Kod1, coalesce(g.Kolvo, 0), coalesce(i.NewKolvo, 0), "
                           "coalesce(i.Newprice, 0.0), i.Nnn, g.Cena FROM inv i LEFT JOIN Ing g ON g.Kod1 = "
                           "i.Ing WHERE i.Kod = ? "
                           "ORDER BY i.Ing22, i.Nnn"_s,
                           error);
    if (!read.isValid() || !read.bind({document}, error))
        return false;
    QString failure;
    while (read.next(&failure)) {
        lines.push_back({read.value(0).toString(), read.value(1), read.number(2), read.number(3),
                         read.value(4), qlonglong(read.number(5)), read.value(6)});
    }
    if (!failure.isEmpty()) {
        *error = failure;
        return false;
    }
    const QCollator collator = Database::russianCollator();
    const auto documentOrder = [&collator](const CountLine& a, const CountLine& b) {
        const int order = collator.compare(a.name, b.name);
        return order != 0 ? order < 0 : a.entered < b.entered;
    };
    if (!std::is_sorted(lines.begin(), lines.end(), documentOrder))
        std::sort(lines.begin(), lines.end(), documentOrder);
    for (const CountLine& line : lines) {
        if (line.ingredient.isNull()) {
            *error = u"Строка «%1»: ингредиента этой строки нет в справочнике ингредиентов. "
                     "Документ не проведён."_s.arg(line.name);
            return false;
        }
    }

    StockDocuments stockDocuments(m_db, m_prompts);
    if (clearHistory && !stockDocuments.removeAll(error))
        return false;

    // Each line moves the stock from the balance before it (now, not at transfer: the result is the
    // count anyway) to its count; with an ingredient counted twice, the later line starts from the
    // earlier count, and the last count is the balance.
    QHash<qlonglong, double> balances;
    QHash<qlonglong, const CountLine*> lastLines;
    std::vector<StockDocuments::MoveLine> movements;
    movements.reserve(lines.size());
    for (const CountLine& line : lines) {
        const qlonglong ingredient = line.ingredient.toLongLong();
        const auto before = balances.constFind(ingredient);
        const double difference = line.counted - (before == balances.cend() ? line.balance : *before);
        balances.insert(ingredient, line.counted);
        lastLines.insert(ingredient, &line);
        movements.push_back({line.ingredient, std::abs(difference), line.price,
                             difference > 0 ? StockDocuments::receipt : StockDocuments::issue});
    }
    if (!stockDocuments.writePosted({date, inventoryNumber, QVariant()}, movements, error))
        return false;
    QList<IngredientCatalog::StockLevel> levels;
    levels.reserve(lastLines.size());
    for (const CountLine* line : std::as_const(lastLines))
        levels.append({line->ingredient.toLongLong(), line->counted, line->price, line->oldPrice});
    const PriceHistory prices(m_db, PriceHistory::Source::Inventory, date.toDate(), document);
    if (!IngredientCatalog(m_db).setStock(levels, &prices, error))
        return false;
    return execSql(m_db, u"UPDATE invdok SET Provodka = ? WHERE Kod = ?"_s, {posted, document}, error);
}

std::optional<qlonglong> InventoryDocuments::addDocument(const QString& date, const QString& name,
                                                         QString* error)
{
    QSqlQuery insert(m_db);
    if (!runQuery(insert, u"INSERT INTO invdok (Date, Name, Provodka) VALUES (?, ?, 0)"_s, {date, name},
                  error))
        return std::nullopt;
    return insert.lastInsertId().toLongLong();
}

bool InventoryDocuments::setCounted(qlonglong line, double counted, QString* error)
{
    return execSql(m_db, u"UPDATE inv SET NewKolvo = ? WHERE Nnn = ?"_s, {counted, line}, error);
}
