#include "DailySales.h"

#include "sales/SalesDocuments.h"
#include "store/Database.h"

#include <QHash>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

struct DocumentFigures
{
    std::size_t day = 0; // index into the days
    bool sold = false;
    bool consumed = false;
};

} // namespace

bool DailySales::read(const QSqlDatabase& db, const QDate& start, const QDate& end, DailySales* daily,
                      QString* error)
{
    *daily = DailySales();
    daily->start = start;
    daily->end = end;
    const QVariantList period{start.toString(Qt::ISODate), end.toString(Qt::ISODate)};
    QHash<qlonglong, DocumentFigures> documents;
    if (!forEachRow(
            db, u"SELECT Kod, DateR FROM Realdoc WHERE DateR >= ? AND DateR <= ? ORDER BY DateR, Kod"_s,
            period,
            [&](const QSqlQuery& q) {
                const QDate date = q.value(1).toDate();
                if (daily->days.empty() || daily->days.back().date != date)
                    daily->days.push_back({date});
                ++daily->days.back().documents;
                documents.insert(q.value(0).toLongLong(), {daily->days.size() - 1});
            },
            error))
        return false;
    if (!forEachRow(
            db,
            u"SELECT s.Kod, s.Kolvo, s.Cumma FROM Realdoc d JOIN Realsum s ON s.Kod = d.Kod "
            "WHERE d.DateR >= ? AND d.DateR <= ? AND s.Kolvo <> 0 ORDER BY d.DateR, d.Kod, s.Nnn"_s,
            period,
            [&](const QSqlQuery& q) {
                DocumentFigures& document = documents[q.value(0).toLongLong()];
                document.sold = true;
                daily->days[document.day].sales += SalesDocuments::lineSum(q.value(1), q.value(2));
            },
            error))
        return false;
    if (!forEachRow(
            db,
            u"SELECT i.Kod, i.Kolvo, i.CenaIng FROM Realdoc d JOIN RealItog i ON i.Kod = d.Kod "
            "WHERE d.DateR >= ? AND d.DateR <= ? ORDER BY d.DateR, d.Kod, i.NNN"_s,
            period,
            [&](const QSqlQuery& q) {
                DocumentFigures& document = documents[q.value(0).toLongLong()];
                document.consumed = true;
                daily->days[document.day].cost += q.value(1).toDouble() * q.value(2).toDouble();
            },
            error))
        return false;
    for (const DocumentFigures& document : std::as_const(documents)) {
        if (document.sold && !document.consumed)
            ++daily->days[document.day].uncalculated;
    }
    for (const SalesDay& day : daily->days) {
        daily->sales += day.sales;
        daily->cost += day.cost;
        daily->uncalculated += day.uncalculated;
    }
    return true;
}

AnalysisTable DailySales::table() const
{
    AnalysisTable table;
    table.title = u"Продажи и себестоимость по дням"_s;
    table.subtitle = u"С %1 по %2"_s.arg(start.toString(u"dd.MM.yyyy"_s), end.toString(u"dd.MM.yyyy"_s));
    table.columns = {{u"День"_s, {}},
                     {u"Документов"_s, u"0"_s},
                     {u"Продажи"_s, u"0.00"_s},
                     {u"Себестоимость"_s, u"0.00"_s},
                     {u"Доля, %"_s, u"0.0"_s}};
    const auto share = [](double cost, double sales) {
        return sales != 0 ? QVariant(cost / sales * 100) : QVariant();
    };
    for (const SalesDay& day : days)
        table.rows.append({day.date.toString(u"dd.MM.yyyy"_s), double(day.documents), day.sales, day.cost,
                           share(day.cost, day.sales)});
    if (days.empty()) {
        table.notes << u"За период документов реализации нет."_s;
    } else {
        int total = 0;
        for (const SalesDay& day : days)
            total += day.documents;
        table.rows.append({u"Итого"_s, double(total), sales, cost, share(cost, sales)});
    }
    if (uncalculated > 0)
        table.notes << u"Документов с продажами без рассчитанного расхода: %1; их себестоимость не учтена."_s
                           .arg(uncalculated);
    return table;
}
