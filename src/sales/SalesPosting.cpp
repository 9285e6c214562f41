#include "SalesPosting.h"

#include "ConsumptionCalculator.h"
#include "SalesDocuments.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/UserPrompts.h"
#include "warehouse/StockDocuments.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString postingCaption = u"Проводка"_s;

} // namespace

bool SalesPosting::post(qlonglong document, qlonglong partner)
{
    QString caption = postingCaption;
    QString error;
    bool posted = false;
    ConsumptionRun run;
    std::optional<qlonglong> stockDocument;
    // Every step reads what the ones before wrote, and the status is read where it is written: two
    // workstations posting the same document at once post it once. Whatever is to be said is said after
    // the transaction, which may have run more than once.
    const bool ok = Isolation::run(m_db, &error, [&] {
        caption = postingCaption;
        posted = false;
        stockDocument.reset();
        QSqlQuery doc(m_db);
        if (!runQuery(doc, u"SELECT DateR, NameR, Status FROM Realdoc WHERE Kod = ?"_s, {document}, &error))
            return false;
        if (!doc.next())
            return false;
        posted = !SalesDocuments::isOpen(doc.value(2));
        if (posted)
            return false;
        const QVariant date = doc.value(0);
        const QVariant name = doc.value(1);
        // A statement still open at the commit keeps SQLite from checkpointing: a run of postings would
        // grow the write-ahead log without bound.
        doc.finish();

        // The zero lines go and the partner is written before the last calculation.
        if (!SalesDocuments::prepareForPosting(m_db, document, partner, &error))
            return false;
        run = ConsumptionCalculator(m_db).run(document, SalesLines::All);
        if (!run.ok) {
            caption = run.caption;
            error = run.message;
            return false;
        }
        if (!SalesDocuments::setStatus(m_db, document, SalesDocuments::postedStatus, &error))
            return false;
        // One issue line per consumed ingredient, in the consumption rows' order; rows of 0 or less
        // move nothing.
        std::vector<StockDocuments::MoveLine> lines;
        if (!forEachRow(
                m_db,
                u"SELECT KodIng, Kolvo FROM RealItog WHERE Kod = ? AND Kolvo > 0 ORDER BY KodGrIng, KodIng, NNN"_s,
                {document},
                [&](const QSqlQuery& query) {
                    lines.push_back({query.value(0), query.value(1), {}});
                },
                &error))
            return false;
        // What the lines cost is the warehouse's valuation of the stock, not the consumption's price.
        StockDocuments stock(m_db, m_prompts);
        if (!stock.priceIssue(lines, &error))
            return false;
        stockDocument = stock.writePosted({date, name, partner}, lines, &error);
        return stockDocument && stock.applyIssue(*stockDocument, &error);
    });
    if (posted) {
        m_prompts.warn(postingCaption, u"Документ уже проведён (возможно, на другом рабочем месте). "
                                       "Повторно он не проводится."_s);
        return false;
    }
    if (!ok) {
        m_prompts.warn(caption, error.isEmpty() ? sqlErrorText(m_db.lastError()) : error);
        return false;
    }
    if (!stockDocument)
        return false; // the document is gone
    m_stockDocument = *stockDocument;
    if (!run.notice().isEmpty())
        m_prompts.inform(u"Расчёт реализации"_s, run.notice());
    return true;
}

PeriodPosting SalesPosting::postPeriod(const QDate& start, const QDate& end, qlonglong partner,
                                       const Progress& progress)
{
    struct Open
    {
        qlonglong key;
        QDate date;
        QString name;
    };
    PeriodPosting result;
    std::vector<Open> open;
    QString error;
    if (!forEachRow(
            m_db,
            u"SELECT Kod, DateR, NameR, Status FROM Realdoc WHERE DateR >= ? AND DateR <= ? ORDER BY DateR, Kod"_s,
            {start.toString(Qt::ISODate), end.toString(Qt::ISODate)},
            [&](const QSqlQuery& query) {
                if (SalesDocuments::isOpen(query.value(3)))
                    open.push_back({query.value(0).toLongLong(),
                                    QDate::fromString(query.value(1).toString(), Qt::ISODate),
                                    query.value(2).toString()});
                else
                    ++result.alreadyPosted;
            },
            &error)) {
        m_prompts.warn(postingCaption, error);
        result.ok = false;
        return result;
    }
    result.open = int(open.size());
    for (const Open& document : open) {
        if (progress && !progress(result.posted, result.open)) {
            result.cancelled = true;
            return result;
        }
        if (!post(document.key, partner)) {
            result.ok = false;
            result.failedKey = document.key;
            result.failedName = document.name;
            result.failedDate = document.date;
            return result;
        }
        ++result.posted;
    }
    if (progress)
        progress(result.posted, result.open);
    return result;
}

int SalesPosting::remove(const DeletionChoice& choice, const QVariant& current)
{
    // Nothing current: there is nothing to ask about.
    if (!choice.period && current.isNull())
        return -1;
    if (!choice.confirm(m_prompts))
        return -1;
    QString error;
    Transaction transaction(m_db);
    QList<qlonglong> documents;
    bool ok = transaction.isActive();
    if (ok && choice.period) {
        ok = forEachRow(
            m_db, u"SELECT Kod FROM Realdoc WHERE DateR >= ? AND DateR <= ? ORDER BY DateR, Kod"_s,
            {choice.from.toString(Qt::ISODate), choice.to.toString(Qt::ISODate)},
            [&](const QSqlQuery& query) { documents.append(query.value(0).toLongLong()); }, &error);
    } else {
        documents.append(current.toLongLong());
    }
    for (qlonglong document : documents) {
        if (!ok)
            break;
        ok = deleteDocument(document, &error);
    }
    if (!ok || !transaction.commit()) {
        m_prompts.warn(u"Ошибка"_s, u"Документы не удалены: "_s +
                                        (error.isEmpty() ? sqlErrorText(m_db.lastError()) : error));
        return -1;
    }
    return int(documents.size());
}

bool SalesPosting::deleteDocument(qlonglong document, QString* error)
{
    return SalesDocuments::remove(m_db, document, error);
}
