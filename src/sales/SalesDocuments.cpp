#include "SalesDocuments.h"

#include "ConsumptionCalculator.h"
#include "SalesFlags.h"
#include "store/Database.h"
#include "store/Rounding.h"
#include "store/UserPrompts.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString errorCaption = u"Ошибка"_s;

} // namespace

double SalesDocuments::lineSum(const QVariant& portions, const QVariant& price)
{
    return rounding::toKopeck(portions.toDouble() * price.toDouble());
}

SalesDocuments::DocumentState SalesDocuments::state(qlonglong document, QString* error) const
{
    DocumentState result;
    QSqlQuery query(m_db);
    if (!runQuery(query,
                  u"SELECT Status, Nnn, (SELECT count(*) FROM Realsum WHERE Kod = Realdoc.Kod) FROM Realdoc "
                  "WHERE Kod = ?"_s,
                  {document}, error))
        return result;
    if (!query.next()) {
        *error = u"Документ реализации не найден."_s;
        return result;
    }
    result.found = true;
    result.open = isOpen(query.value(0));
    result.menu = query.value(1);
    result.lines = query.value(2).toInt();
    return result;
}

void SalesDocuments::refusePosted()
{
    m_prompts.warn(errorCaption, u"Документ проведён. Изменение меню не производится !!!"_s);
}

bool SalesDocuments::replaceLines(qlonglong document, const QVariant& menu, QString* error)
{
    // Lines inserted by the program: the lines view must not cancel them.
    const salesflags::BulkFill bulkFill;
    if (!execSql(m_db, u"DELETE FROM Realsum WHERE Kod = ?"_s, {document}, error))
        return false;
    if (menu.isNull())
        return true;
    // The items in the order of the menu's index on Kod (entry order), excluded ones left out; the
    // group is the dish's own, the price the menu's selling price.
    return execSql(
        m_db,
        u"INSERT INTO Realsum (Kod, KodGrBludo, KodBludo, Kolvo, Cumma) "
        "SELECT ?, b.Kod, m.Name, 0, m.CenaProd FROM MenuSp m LEFT JOIN Bludo b ON b.Kod1 = m.Name "
        "WHERE m.Kod = ? AND m.Status = 1 ORDER BY m.Nnn"_s,
        {document, menu}, error);
}

std::optional<SalesDocuments::DocumentState> SalesDocuments::openDocument(qlonglong document)
{
    QString error;
    const DocumentState doc = state(document, &error);
    if (!doc.found) {
        m_prompts.warn(errorCaption, error);
        return std::nullopt;
    }
    if (!doc.open) {
        refusePosted();
        return std::nullopt;
    }
    return doc;
}

bool SalesDocuments::fillFromMenu(qlonglong document)
{
    QString error;
    const std::optional<DocumentState> doc = openDocument(document);
    if (!doc)
        return false;
    if (doc->lines > 0 &&
        !m_prompts.confirmIrreversible(
            u"Ввод списка блюд в документ реализации"_s,
            u"Список блюд в данном документе не пустой, он будет заменён. Подтвердите операцию."_s))
        return false;
    Transaction transaction(m_db);
    if (!transaction.isActive() || !replaceLines(document, doc->menu, &error) || !transaction.commit()) {
        m_prompts.warn(errorCaption, u"Список блюд не изменён: %1"_s.arg(
                                         error.isEmpty() ? sqlErrorText(m_db.lastError()) : error));
        return false;
    }
    return true;
}

bool SalesDocuments::mayChangeMenu(qlonglong document)
{
    const std::optional<DocumentState> doc = openDocument(document);
    if (!doc)
        return false;
    return doc->lines == 0 ||
           m_prompts.confirm(u"Смена меню"_s,
                             u"Список блюд в данном документе не пустой, При смене меню он будет "
                             "заменён списком из вновь выбранного меню. Подтвердите операцию."_s);
}

bool SalesDocuments::useMenu(qlonglong document, qlonglong menu)
{
    QString error;
    const std::optional<DocumentState> doc = openDocument(document);
    if (!doc)
        return false;
    Transaction transaction(m_db);
    const bool done =
        transaction.isActive() &&
        execSql(
            m_db,
            u"UPDATE Realdoc SET Nnn = ?, DateMenu = (SELECT Date FROM Menu WHERE Kod = ?) WHERE Kod = ?"_s,
            {menu, menu, document}, &error) &&
        replaceLines(document, menu, &error) && transaction.commit();
    if (!done) {
        m_prompts.warn(errorCaption, u"Меню не изменено: %1"_s.arg(
                                         error.isEmpty() ? sqlErrorText(m_db.lastError()) : error));
    }
    return done;
}

QList<FoundSalesLine> SalesDocuments::findLines(qlonglong document, const QString& text, QString* error) const
{
    QList<FoundSalesLine> found;
    // Matched as typed (LIKE on the upper-case name), but bound, never spliced into the statement.
    const bool read = forEachRow(
        m_db,
        u"SELECT b.Name, r.Kolvo, r.Cumma, r.Kod, g.Name, r.Nnn FROM Realsum r "
        "INNER JOIN Grbludo g ON r.KodGrBludo = g.Kod INNER JOIN Bludo b ON r.KodBludo = b.Kod1 "
        "WHERE r.Kod = ? AND upper(b.Name) LIKE '%' || upper(coalesce(?, '')) || '%' ORDER BY b.Name COLLATE %1, r.Nnn"_s
            .arg(QLatin1StringView(Database::collation)),
        {document, text},
        [&](const QSqlQuery& q) {
            found.append(FoundSalesLine{q.value(0).toString(), q.value(1).toDouble(), q.value(2).toDouble(),
                                        q.value(3).toLongLong(), q.value(4).toString(),
                                        q.value(5).toLongLong()});
        },
        error);
    if (!read)
        found.clear();
    return found;
}

std::optional<qlonglong> SalesDocuments::addReceived(QSqlDatabase db, const ReceivedDocument& document,
                                                     const std::vector<ReceivedLine>& lines, QString* error)
{
    QSqlQuery query(db);
    if (!runQuery(query,
                  u"INSERT INTO Realdoc (DateR, NameR, Nnn, DateMenu, Status) VALUES (?, ?, ?, ?, ?)"_s,
                  {document.date, document.name, document.menu, document.menuDate, openStatus}, error))
        return std::nullopt;
    const qlonglong key = query.lastInsertId().toLongLong();
    for (const ReceivedLine& line : lines) {
        if (!runQuery(
                query,
                u"INSERT INTO Realsum (Kod, KodGrBludo, KodBludo, Kolvo, Cumma) VALUES (?, ?, ?, ?, ?)"_s,
                {key, line.group, line.dish, line.portions, line.price}, error))
            return std::nullopt;
    }
    return key;
}

bool SalesDocuments::setPortions(QSqlDatabase db, qlonglong line, double portions, QString* error)
{
    return execSql(db, u"UPDATE Realsum SET Kolvo = ? WHERE Nnn = ?"_s, {portions, line}, error);
}

bool SalesDocuments::prepareForPosting(QSqlDatabase db, qlonglong document, qlonglong partner, QString* error)
{
    return execSql(db, u"DELETE FROM Realsum WHERE Kod = ? AND coalesce(Kolvo, 0) = 0"_s, {document},
                   error) &&
           execSql(db, u"UPDATE Realsum SET Status = ? WHERE Kod = ?"_s, {partner, document}, error);
}

bool SalesDocuments::setStatus(QSqlDatabase db, qlonglong document, double status, QString* error)
{
    return execSql(db, u"UPDATE Realdoc SET Status = ? WHERE Kod = ?"_s, {status, document}, error);
}

bool SalesDocuments::remove(QSqlDatabase db, qlonglong document, QString* error)
{
    return execSql(db, u"DELETE FROM Realsum WHERE Kod = ?"_s, {document}, error) &&
           ConsumptionCalculator(db).clear(document, error) &&
           execSql(db, u"DELETE FROM Realdoc WHERE Kod = ?"_s, {document}, error);
}
