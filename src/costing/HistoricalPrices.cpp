#include "HistoricalPrices.h"

#include "store/Database.h"
#include "store/RowKey.h"

#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

std::optional<double> price(const QVariant& value)
{
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

} // namespace

bool HistoricalPrices::load(const QSqlDatabase& db, QString* error)
{
    m_changes.clear();
    // A change without a date cannot be placed on any day.
    return forEachRow(
        db,
        u"SELECT Ing, Data, Oldcena, Cena FROM Pricehist WHERE Data IS NOT NULL ORDER BY Ing, Data, Kod"_s,
        [&](const QSqlQuery& q) {
            const std::optional<qlonglong> ingredient = rowKey(q.value(0));
            if (ingredient)
                m_changes[*ingredient].push_back({q.value(1).toDate(), price(q.value(2)), price(q.value(3))});
        },
        error);
}

QHash<qlonglong, std::optional<double>> HistoricalPrices::on(const QDate& day) const
{
    QHash<qlonglong, std::optional<double>> prices;
    for (auto it = m_changes.cbegin(); it != m_changes.cend(); ++it) {
        const std::vector<Change>& changes = it.value();
        const auto later =
            std::find_if(changes.cbegin(), changes.cend(), [&day](const Change& c) { return c.day > day; });
        prices.insert(it.key(), later == changes.cbegin() ? later->oldPrice : std::prev(later)->price);
    }
    return prices;
}
