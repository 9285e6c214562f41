#include "PriceHistory.h"

#include "store/Database.h"
#include "store/RowKey.h"
#include "store/ViewDef.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

QString PriceHistory::text(Source source)
{
    switch (source) {
    case Source::Receipt:
        return u"Приход"_s;
    case Source::Repricing:
        return u"Пересчёт цен"_s;
    case Source::Inventory:
        return u"Инвентаризация"_s;
    case Source::Edit:
        return u"Правка"_s;
    case Source::CardImport:
        return u"Импорт карт"_s;
    case Source::NewIngredient:
        return u"Новый ингредиент"_s;
    case Source::DishPriceRun:
        return u"Расчёт цен блюд"_s;
    case Source::Composition:
        return u"Изменение состава"_s;
    }
    return {};
}

PriceHistory::PriceHistory(QSqlDatabase db, Source source, QDate day, QVariant document)
    : m_db(std::move(db)), m_source(source), m_day(day), m_document(std::move(document))
{
}

bool PriceHistory::differs(const QVariant& oldPrice, const QVariant& newPrice)
{
    if (oldPrice.isNull() || newPrice.isNull())
        return oldPrice.isNull() != newPrice.isNull();
    return oldPrice.toDouble() != newPrice.toDouble();
}

bool PriceHistory::record(const QList<Change>& changes, QString* error) const
{
    QSqlQuery insert(m_db);
    bool prepared = false;
    // The date is bound as text: SQLite keeps DATE as yyyy-MM-dd and the server reads that form.
    const QString day = (m_day.isValid() ? m_day : QDate::currentDate()).toString(Qt::ISODate);
    const QString source = text(m_source);
    for (const Change& change : changes) {
        if (!differs(change.oldPrice, change.newPrice))
            continue;
        if (!prepared &&
            !(prepared = insert.prepare(u"INSERT INTO Pricehist (Ing, Data, Oldcena, Cena, Doc, Source) "
                                        "VALUES (?, ?, ?, ?, ?, ?)"_s))) {
            *error = sqlErrorText(insert.lastError());
            return false;
        }
        for (const QVariant& value :
             {QVariant(change.ingredient), QVariant(day),
              change.oldPrice.isNull() ? QVariant() : change.oldPrice,
              change.newPrice.isNull() ? QVariant() : change.newPrice, m_document, QVariant(source)})
            insert.addBindValue(value);
        if (!insert.exec()) {
            *error = sqlErrorText(insert.lastError());
            return false;
        }
    }
    insert.finish();
    return true;
}

bool PriceHistory::recordGridWrite(const QSqlDatabase& db, const RowWrite& write, QString* error)
{
    const auto price = write.after.constFind(u"Cena"_s);
    const std::optional<qlonglong> key = rowKey(write.key);
    if (price == write.after.cend() || !key)
        return true;
    return PriceHistory(db, Source::Edit).record({{*key, write.before.value(u"Cena"_s), *price}}, error);
}
