#include "PriceHistory.h"

#include "store/Database.h"
#include "store/RowBatch.h"
#include "store/RowKey.h"
#include "store/ViewDef.h"

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
    // The date is bound as text: SQLite keeps DATE as yyyy-MM-dd and the server reads that form.
    const QString day = (m_day.isValid() ? m_day : QDate::currentDate()).toString(Qt::ISODate);
    // A posting changes a price per line: a statement per hundred rows, not per row.
    RowBatch rows(m_db, u"Pricehist"_s, {u"Data"_s, u"Doc"_s, u"Source"_s, u"Ing"_s, u"Oldcena"_s, u"Cena"_s},
                  {day, m_document, text(m_source)});
    for (const Change& change : changes) {
        if (differs(change.oldPrice, change.newPrice) &&
            !rows.add({QVariant(change.ingredient), change.oldPrice.isNull() ? QVariant() : change.oldPrice,
                       change.newPrice.isNull() ? QVariant() : change.newPrice},
                      error))
            return false;
    }
    return rows.flush(error);
}

bool PriceHistory::recordGridWrite(const QSqlDatabase& db, const RowWrite& write, QString* error)
{
    const auto price = write.after.constFind(u"Cena"_s);
    const std::optional<qlonglong> key = rowKey(write.key);
    if (price == write.after.cend() || !key)
        return true;
    return PriceHistory(db, Source::Edit).record({{*key, write.before.value(u"Cena"_s), *price}}, error);
}
