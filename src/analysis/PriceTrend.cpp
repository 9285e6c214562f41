#include "PriceTrend.h"

#include "reference/PriceHistory.h"
#include "store/Database.h"

#include <algorithm>
#include <iterator>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

std::optional<double> number(const QVariant& value)
{
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

QVariant cell(const std::optional<double>& value)
{
    return value ? QVariant(*value) : QVariant();
}

} // namespace

bool PriceTrend::isReceipt(const QString& source)
{
    return source.trimmed().startsWith(PriceHistory::text(PriceHistory::Source::Receipt),
                                       Qt::CaseInsensitive);
}

bool PriceTrend::read(const QSqlDatabase& db, qlonglong ingredient, const QDate& start, const QDate& end,
                      PriceTrend* trend, QString* error)
{
    *trend = PriceTrend();
    trend->start = start;
    trend->end = end;
    bool found = false;
    std::optional<double> current;
    if (!forEachRow(
            db,
            u"SELECT i.Name, u.Shorthame, i.Cena FROM Ing i LEFT JOIN Edinica u ON i.Edinica = u.Kod "
            "WHERE i.Kod1 = ?"_s,
            {ingredient},
            [&](const QSqlQuery& q) {
                found = true;
                trend->ingredient = q.value(0).toString();
                trend->unit = q.value(1).toString();
                current = number(q.value(2));
            },
            error))
        return false;
    if (!found) {
        *error = u"Ингредиента с кодом %1 нет в справочнике."_s.arg(ingredient);
        return false;
    }
    std::vector<PriceChange> history;
    if (!forEachRow(
            db,
            u"SELECT Data, Oldcena, Cena, Doc, Source FROM Pricehist WHERE Ing = ? AND Data IS NOT NULL "
            "ORDER BY Data, Kod"_s,
            {ingredient},
            [&](const QSqlQuery& q) {
                const QString source = q.value(4).toString();
                history.push_back({q.value(0).toDate(), number(q.value(1)), number(q.value(2)), q.value(3),
                                   source, isReceipt(source)});
            },
            error))
        return false;

    // The price before the period is the last change before it; with none, what the first later change
    // started from; with no change at all, the price as it stands.
    const auto firstInOrAfter = std::find_if(history.cbegin(), history.cend(),
                                             [&start](const PriceChange& c) { return c.date >= start; });
    if (firstInOrAfter != history.cbegin())
        trend->startPrice = std::prev(firstInOrAfter)->price;
    else
        trend->startPrice = firstInOrAfter != history.cend() ? firstInOrAfter->oldPrice : current;
    trend->endPrice = trend->startPrice;
    if (start <= end) {
        for (auto change = firstInOrAfter; change != history.cend() && change->date <= end; ++change) {
            trend->changes.push_back(*change);
            trend->endPrice = change->price;
        }
    }
    return true;
}

AnalysisTable PriceTrend::table() const
{
    AnalysisTable table;
    table.title =
        u"Цена ингредиента \"%1\"%2"_s.arg(ingredient, unit.isEmpty() ? QString() : u" за "_s + unit);
    table.subtitle =
        u"За период с %1 по %2"_s.arg(start.toString(u"dd.MM.yyyy"_s), end.toString(u"dd.MM.yyyy"_s));
    table.columns = {{u"Дата"_s, {}},
                     {u"Старая цена"_s, u"0.00"_s},
                     {u"Новая цена"_s, u"0.00"_s},
                     {u"Изменение, %"_s, u"0.0"_s},
                     {u"Документ"_s, u"0"_s},
                     {u"Причина"_s, {}}};
    const QString day = u"dd.MM.yyyy"_s;
    table.rows.append({start.toString(day), QVariant(), cell(startPrice), QVariant(), QVariant(),
                       u"Цена на начало периода"_s});
    for (const PriceChange& change : changes) {
        QVariant percent;
        if (change.oldPrice && change.price && *change.oldPrice != 0)
            percent = (*change.price - *change.oldPrice) / *change.oldPrice * 100;
        table.rows.append({change.date.toString(day), cell(change.oldPrice), cell(change.price), percent,
                           change.document.isNull() ? QVariant() : QVariant(change.document.toDouble()),
                           change.source});
    }
    table.rows.append(
        {end.toString(day), QVariant(), cell(endPrice), QVariant(), QVariant(), u"Цена на конец периода"_s});
    if (changes.empty())
        table.notes << u"За период цена не менялась."_s;
    return table;
}
