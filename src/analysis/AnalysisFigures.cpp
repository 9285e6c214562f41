#include "AnalysisFigures.h"

#include "store/Database.h"

#include <QCollator>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool namedRows(const QSqlDatabase& db, const QString& sql, std::vector<NamedKey>* rows, QString* error)
{
    rows->clear();
    if (!forEachRow(
            db, sql,
            [&](const QSqlQuery& q) {
                rows->push_back({q.value(0).toLongLong(), q.value(1).toString()});
            },
            error))
        return false;
    const QCollator collator = Database::russianCollator();
    std::stable_sort(rows->begin(), rows->end(), [&collator](const NamedKey& a, const NamedKey& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return true;
}

} // namespace

bool AnalysisFigures::read(const QSqlDatabase& db, const AnalysisChoice& choice, AnalysisFigures* figures,
                           QString* error)
{
    *figures = AnalysisFigures();
    figures->choice = choice;
    const bool dated = choice.picture != Picture::FoodCost && choice.picture != Picture::PriceChange;
    if (dated && (!choice.start.isValid() || !choice.end.isValid())) {
        *error = u"Не задан период."_s;
        return false;
    }
    switch (choice.picture) {
    case Picture::PriceTrend:
        if (choice.ingredient == 0) {
            *error = u"Не выбран ингредиент."_s;
            return false;
        }
        return PriceTrend::read(db, choice.ingredient, choice.start, choice.end, &figures->trend, error);
    case Picture::FoodCost:
        if (choice.dishes == 0) {
            *error = choice.set == DishSet::Group ? u"Не выбрана группа блюд."_s : u"Не выбрано меню."_s;
            return false;
        }
        return FoodCostShares::read(db, choice.set, choice.dishes, choice.threshold, &figures->shares, error);
    case Picture::MenuMatrix:
        return MenuMatrix::read(db, choice.start, choice.end, &figures->matrix, error);
    case Picture::DailySales:
        return DailySales::read(db, choice.start, choice.end, &figures->daily, error);
    case Picture::PriceChange:
        return PriceChangePreview::read(db, choice.change, choice.ingredient, choice.ingredientGroup,
                                        choice.threshold, &figures->priceChange, error);
    }
    return false;
}

AnalysisTable AnalysisFigures::table() const
{
    switch (choice.picture) {
    case Picture::PriceTrend:
        return trend.table();
    case Picture::FoodCost:
        return shares.table();
    case Picture::MenuMatrix:
        return matrix.table();
    case Picture::DailySales:
        return daily.table();
    case Picture::PriceChange:
        return priceChange.table();
    }
    return {};
}

QString AnalysisFigures::pictureName(Picture picture)
{
    switch (picture) {
    case Picture::PriceTrend:
        return u"Цена ингредиента"_s;
    case Picture::FoodCost:
        return u"Доля себестоимости"_s;
    case Picture::MenuMatrix:
        return u"Матрица меню"_s;
    case Picture::DailySales:
        return u"Продажи по дням"_s;
    case Picture::PriceChange:
        return u"Что если: изменение цен"_s;
    }
    return {};
}

bool AnalysisFigures::ingredients(const QSqlDatabase& db, std::vector<NamedKey>* rows, QString* error)
{
    return namedRows(db, u"SELECT Kod1, Name FROM Ing ORDER BY Kod1"_s, rows, error);
}

bool AnalysisFigures::ingredientGroups(const QSqlDatabase& db, std::vector<NamedKey>* rows, QString* error)
{
    return namedRows(db, u"SELECT Kod, Name FROM Gring ORDER BY Kod"_s, rows, error);
}

bool AnalysisFigures::dishGroups(const QSqlDatabase& db, std::vector<NamedKey>* rows, QString* error)
{
    return namedRows(db, u"SELECT Kod, Name FROM Grbludo ORDER BY Kod"_s, rows, error);
}

bool AnalysisFigures::menus(const QSqlDatabase& db, std::vector<NamedKey>* rows, QString* error)
{
    rows->clear();
    return forEachRow(
        db, u"SELECT Kod, Name, Date FROM Menu ORDER BY Date IS NULL, Date DESC, Kod DESC"_s,
        [&](const QSqlQuery& q) {
            const QString name = q.value(1).toString().trimmed();
            const QString date = q.value(2).toDate().toString(u"dd.MM.yyyy"_s);
            rows->push_back({q.value(0).toLongLong(), name.isEmpty() ? date : u"%1 (%2)"_s.arg(name, date)});
        },
        error);
}
