#include "PriceRecalculation.h"

#include "IngredientCatalog.h"
#include "SqlSupport.h"

#include "store/Database.h"
#include "store/Isolation.h"
#include "store/UserPrompts.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

int boundedPercent(const PriceRecalculation::Settings& settings)
{
    return std::clamp(settings.percent, 0, 100);
}

// The factor the price is multiplied by: p / 100 + 1 to raise, 1 - p / 100 to lower. No rounding.
double factor(const PriceRecalculation::Settings& settings)
{
    const double share = boundedPercent(settings) / 100.0;
    return settings.action == PriceRecalculation::Action::Raise ? share + 1.0 : 1.0 - share;
}

// The row the scope names: its name, and whether it is a semi-finished product.
struct ScopeRow
{
    bool found = false;
    QString name;
    bool semiFinished = false;
};

std::optional<ScopeRow> readScopeRow(QSqlDatabase db, const QString& sql, qlonglong key, QString* error)
{
    QSqlQuery query(db);
    if (!runQuery(query, sql, {key}, error))
        return std::nullopt;
    ScopeRow row;
    if (query.next()) {
        row.found = true;
        row.name = query.value(0).toString();
        row.semiFinished = query.value(1).toBool();
    }
    return row;
}

} // namespace

PriceRecalculation::PriceRecalculation(QSqlDatabase db) : m_db(std::move(db)) {}

QString PriceRecalculation::confirmationText(const Settings& settings, const QString& scopeName)
{
    QString text = u"Вы уверены что хотите "_s;
    text += settings.action == Action::Raise ? u"увеличить цену "_s : u"уменьшить цену "_s;
    switch (settings.scope) {
    case Scope::Ingredient:
        text += u"ингредиенту \"%1\" на "_s.arg(scopeName);
        break;
    case Scope::Group:
        text += u"группе ингредиентов \"%1\" на "_s.arg(scopeName);
        break;
    case Scope::All:
        text += u"всем ингредиентам на "_s;
        break;
    }
    return text + QString::number(boundedPercent(settings)) + u'%';
}

std::optional<PriceRecalculation::Target> PriceRecalculation::target(const Settings& settings,
                                                                     const QVariant& ingredientKey,
                                                                     const QVariant& groupKey,
                                                                     QString* error) const
{
    Target target;
    if (settings.scope == Scope::All) {
        target.found = true;
        return target;
    }
    const bool byIngredient = settings.scope == Scope::Ingredient;
    const auto scopeKey = rowKey(byIngredient ? ingredientKey : groupKey);
    if (!scopeKey)
        return target;
    const auto row = readScopeRow(m_db,
                                  byIngredient ? u"SELECT Name, Pf FROM Ing WHERE Kod1 = ?"_s
                                               : u"SELECT Name, 0 FROM Gring WHERE Kod = ?"_s,
                                  *scopeKey, error);
    if (!row)
        return std::nullopt;
    target.found = row->found;
    target.name = row->name;
    target.semiFinished = row->semiFinished;
    target.reach =
        byIngredient ? IngredientCatalog::PriceReach::Ingredient : IngredientCatalog::PriceReach::Group;
    target.key = *scopeKey;
    return target;
}

std::optional<QList<PriceHistory::Change>>
PriceRecalculation::newPrices(const Settings& settings, const QVariant& ingredientKey,
                              const QVariant& groupKey, QString* tooLarge, QString* error) const
{
    const std::optional<Target> scope = target(settings, ingredientKey, groupKey, error);
    if (!scope)
        return std::nullopt;
    if (!scope->found || scope->semiFinished)
        return QList<PriceHistory::Change>();
    return IngredientCatalog(m_db).scaledPrices(factor(settings), scope->reach, scope->key, tooLarge, error);
}

bool PriceRecalculation::run(const Settings& settings, const QVariant& ingredientKey,
                             const QVariant& groupKey, UserPrompts& prompts)
{
    return confirm(settings, ingredientKey, groupKey, prompts) &&
           tell(apply(settings, ingredientKey, groupKey), prompts);
}

bool PriceRecalculation::confirm(const Settings& settings, const QVariant& ingredientKey,
                                 const QVariant& groupKey, UserPrompts& prompts) const
{
    QString error;
    const std::optional<Target> scope = target(settings, ingredientKey, groupKey, &error);
    if (!scope)
        return showDatabaseError(prompts, error);
    if (!scope->found)
        return false;
    if (!prompts.confirmIrreversible(u"Предупреждение пересчёта"_s, confirmationText(settings, scope->name)))
        return false;
    if (scope->semiFinished) {
        prompts.warn(u"Пересчёт цен"_s,
                     u"Цена полуфабриката рассчитывается по его составу и не пересчитывается."_s);
        return false;
    }
    return true;
}

PriceRecalculation::Outcome PriceRecalculation::apply(const Settings& settings, const QVariant& ingredientKey,
                                                      const QVariant& groupKey,
                                                      const IngredientCatalog::Progress& progress)
{
    Outcome outcome;
    // Isolation::run counts a refused work (a scope gone, a price too large, a cancel) as a run without
    // failure; stored is only what the work itself finished.
    bool done = false;
    const bool ran = Isolation::run(m_db, &outcome.error, [&] {
        outcome.tooLarge.clear();
        outcome.cancelled = false;
        // The scope as it stands now: a row gone or made a product since the question stores nothing.
        const std::optional<Target> scope = target(settings, ingredientKey, groupKey, &outcome.error);
        if (!scope || !scope->found || scope->semiFinished)
            return false;
        const IngredientCatalog::Progress counted = [&](int n, int total) {
            outcome.prices = total;
            outcome.cancelled = progress && !progress(n, total);
            return !outcome.cancelled;
        };
        return done = IngredientCatalog(m_db).scalePrices(factor(settings), scope->reach, scope->key,
                                                          &outcome.tooLarge, &outcome.error, counted);
    });
    outcome.stored = ran && done;
    return outcome;
}

bool PriceRecalculation::tell(const Outcome& outcome, UserPrompts& prompts)
{
    // A price so large that the change would make it infinite stops the whole run.
    if (!outcome.tooLarge.isEmpty()) {
        prompts.warn(u"Пересчёт цен"_s,
                     u"Пересчёт цен не выполнен: цена ингредиента \"%1\" стала бы бесконечно "
                     "большой. Исправьте цену и повторите."_s.arg(outcome.tooLarge));
        return false;
    }
    if (outcome.cancelled)
        return false;
    if (!outcome.stored)
        return outcome.error.isEmpty() ? false : showDatabaseError(prompts, outcome.error);
    prompts.inform(u"Пересчёт цен"_s, u"Пересчёт цен произведён успешно"_s);
    return true;
}
