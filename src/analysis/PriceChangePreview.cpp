#include "PriceChangePreview.h"

#include "store/Database.h"

#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Scope = PriceRecalculation::Scope;

// The scope's ingredient or group in words; false with the refusal.
bool scopeName(const QSqlDatabase& db, const PriceRecalculation::Settings& change, qlonglong ingredient,
               qlonglong group, QString* name, QString* error)
{
    if (change.scope == Scope::All) {
        *name = u"все ингредиенты"_s;
        return true;
    }
    const bool byIngredient = change.scope == Scope::Ingredient;
    const qlonglong key = byIngredient ? ingredient : group;
    if (key == 0) {
        *error = byIngredient ? u"Не выбран ингредиент."_s : u"Не выбрана группа ингредиентов."_s;
        return false;
    }
    bool found = false;
    bool semiFinished = false;
    if (!forEachRow(
            db,
            byIngredient ? u"SELECT Name, Pf FROM Ing WHERE Kod1 = ?"_s
                         : u"SELECT Name, 0 FROM Gring WHERE Kod = ?"_s,
            {key},
            [&](const QSqlQuery& q) {
                found = true;
                *name = (byIngredient ? u"ингредиент \"%1\""_s : u"группа ингредиентов \"%1\""_s)
                            .arg(q.value(0).toString());
                semiFinished = q.value(1).toBool();
            },
            error))
        return false;
    if (!found) {
        *error = byIngredient ? u"Ингредиента с кодом %1 нет в справочнике."_s.arg(key)
                              : u"Группы ингредиентов с кодом %1 нет."_s.arg(key);
        return false;
    }
    if (semiFinished) {
        *error = u"Цена полуфабриката рассчитывается по его составу и не пересчитывается: выберите "
                 "ингредиент, не полуфабрикат."_s;
        return false;
    }
    return true;
}

QVariant cell(const std::optional<double>& value, double scale = 1)
{
    return value ? QVariant(*value * scale) : QVariant();
}

} // namespace

bool PriceChangePreview::read(const QSqlDatabase& db, const PriceRecalculation::Settings& change,
                              qlonglong ingredient, qlonglong group, double threshold,
                              PriceChangePreview* figures, QString* error)
{
    *figures = PriceChangePreview();
    figures->threshold = threshold;
    QString name;
    if (!scopeName(db, change, ingredient, group, &name, error))
        return false;
    figures->of =
        u"%1: %2 на %3 %"_s
            .arg(name, change.action == PriceRecalculation::Action::Raise ? u"повышение"_s : u"понижение"_s)
            .arg(std::clamp(change.percent, 0, 100));
    figures->preview = RepricingPreview::ofRepricing(db, change, ingredient, group);
    if (!figures->preview.ok) {
        *error = figures->preview.error;
        return false;
    }
    std::vector<RepricingRow>& rows = figures->preview.rows;
    const auto dishes = std::find_if(rows.begin(), rows.end(), [](const RepricingRow& row) {
        return row.kind == RepricingRow::Kind::Dish;
    });
    std::stable_sort(dishes, rows.end(), [](const RepricingRow& a, const RepricingRow& b) {
        if (a.newShare.has_value() != b.newShare.has_value())
            return a.newShare.has_value();
        return a.newShare && *a.newShare > *b.newShare;
    });
    return true;
}

bool PriceChangePreview::crosses(const RepricingRow& row) const
{
    return RepricingPreview::crosses(row, threshold / 100);
}

std::vector<const RepricingRow*> PriceChangePreview::charted() const
{
    std::vector<const RepricingRow*> shown;
    for (const RepricingRow& row : preview.rows) {
        if (row.newShare)
            shown.push_back(&row);
    }
    // The rows come by new share already; the crossing ones are moved ahead of the rest.
    std::stable_partition(shown.begin(), shown.end(),
                          [this](const RepricingRow* row) { return crosses(*row); });
    if (shown.size() > std::size_t(chartedDishes))
        shown.resize(std::size_t(chartedDishes));
    return shown;
}

AnalysisTable PriceChangePreview::table() const
{
    AnalysisTable table;
    table.title = u"Что если: "_s + of;
    table.subtitle = u"Порог доли себестоимости %1 %. Ничего не сохранено."_s.arg(threshold);
    table.columns = {{u"Вид"_s, {}},
                     {u"Наименование"_s, {}},
                     {u"Группа"_s, {}},
                     {u"Себестоимость, было"_s, u"0.00"_s},
                     {u"Себестоимость, станет"_s, u"0.00"_s},
                     {u"Цена продажи"_s, u"0.00"_s},
                     {u"Доля, было %"_s, u"0.0"_s},
                     {u"Доля, станет %"_s, u"0.0"_s},
                     {u"Порог"_s, {}}};
    QStringList crossing;
    int products = 0;
    for (const RepricingRow& row : preview.rows) {
        const bool dish = row.kind == RepricingRow::Kind::Dish;
        products += dish ? 0 : 1;
        QString mark;
        if (crosses(row)) {
            crossing << row.name;
            mark = RepricingPreview::over(*row.newShare, threshold / 100) ? u"станет выше"_s
                                                                          : u"станет не выше"_s;
        }
        table.rows.append({dish ? u"Блюдо"_s : u"Полуфабрикат"_s, row.name, row.group, row.oldCost,
                           row.newCost, cell(row.sellingPrice), cell(row.oldShare, 100),
                           cell(row.newShare, 100), mark});
    }
    if (preview.rows.empty())
        table.notes << u"Себестоимость полуфабрикатов и блюд не изменится."_s;
    else
        table.notes << u"Изменится себестоимость: полуфабрикатов %1, блюд %2."_s.arg(products).arg(
            preview.rows.size() - std::size_t(products));
    // The first names only: a change of all prices may move thousands of dishes across.
    constexpr int named = 20;
    if (crossing.isEmpty())
        table.notes << u"Порог не пересекает ни одно блюдо."_s;
    else
        table.notes << u"Пересекают порог (%1): %2%3."_s.arg(crossing.size())
                           .arg(crossing.mid(0, named).join(u", "_s),
                                crossing.size() > named ? u" и другие"_s : QString());
    if (preview.dishesNotComputed > 0)
        table.notes << u"Не рассчитано блюд: %1 (первое: %2)."_s.arg(preview.dishesNotComputed)
                           .arg(preview.firstFault);
    return table;
}
