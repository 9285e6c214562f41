#include "StockDeletion.h"

#include "StockDocuments.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/UserPrompts.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString periodCaption = u"Удаление документов за период"_s;

QString shortDate(const QDate& date)
{
    return date.toString(u"dd.MM.yyyy"_s);
}

} // namespace

bool DeletionChoice::confirm(UserPrompts& prompts) const
{
    if (!period)
        return prompts.confirmIrreversible(u"Удаление документа"_s, u"Подтвердите удаление документа !!!"_s);
    if (to < from) {
        prompts.warn(periodCaption, u"Дата начала периода больше даты конца периода !!!"_s);
        return false;
    }
    // The letter before the first date is the Latin "c", as the message has always been written.
    return prompts.confirmIrreversible(periodCaption, u"Подтвердите удаление документов за период c "_s +
                                                          shortDate(from) + u" по "_s + shortDate(to) +
                                                          u" !!!"_s);
}

int StockDeletion::remove(const DeletionChoice& choice, qlonglong current)
{
    if (!choice.confirm(m_prompts))
        return -1;
    QString error;
    int deleted = 0;
    if (choice.period) {
        deleted = deletePeriod(choice.from, choice.to, choice.rollBack, &error);
    } else {
        deleted = deleteDocument(current, choice.rollBack, &error) ? 1 : -1;
    }
    if (deleted < 0)
        m_prompts.warn(u"Ошибка"_s, u"Документы не удалены: "_s + error);
    return deleted;
}

bool StockDeletion::deleteDocument(qlonglong document, bool rollBack, QString* error)
{
    return StockDocuments(m_db, m_prompts).remove(document, rollBack, error);
}

int StockDeletion::deletePeriod(const QDate& from, const QDate& to, bool rollBack, QString* error)
{
    QList<qlonglong> documents;
    const bool deleted = Isolation::run(m_db, error, [&] {
        documents.clear();
        if (!forEachRow(
                m_db, u"SELECT Nnn FROM Doc WHERE Date >= ? AND Date <= ? ORDER BY Date, Nnn"_s,
                {from.toString(Qt::ISODate), to.toString(Qt::ISODate)},
                [&](const QSqlQuery& query) { documents.append(query.value(0).toLongLong()); }, error))
            return false;
        for (qlonglong document : documents) {
            if (!deleteDocument(document, rollBack, error))
                return false;
        }
        return true;
    });
    return deleted ? int(documents.size()) : -1;
}
