#include "PriceRecalculation.h"

#include "SqlSupport.h"

#include "store/Database.h"
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

bool PriceRecalculation::run(const Settings& settings, const QVariant& ingredientKey,
                             const QVariant& groupKey, UserPrompts& prompts)
{
    QString error;
    QString condition;
    QVariantList values{factor(settings)};
    ScopeRow current;
    if (settings.scope != Scope::All) {
        const bool byIngredient = settings.scope == Scope::Ingredient;
        const auto key = rowKey(byIngredient ? ingredientKey : groupKey);
        if (!key)
            return false;
        const auto row = readScopeRow(m_db,
                                      byIngredient ? u"SELECT Name, Pf FROM Ing WHERE Kod1 = ?"_s
                                                   : u"SELECT Name, 0 FROM Gring WHERE Kod = ?"_s,
                                      *key, &error);
        if (!row)
            return showDatabaseError(prompts, error);
        if (!row->found)
            return false;
        current = *row;
        condition = byIngredient ? u" AND Kod1 = ?"_s : u" AND Kod = ?"_s;
        values << *key;
    }

    if (!prompts.confirmIrreversible(u"Предупреждение пересчёта"_s, confirmationText(settings, current.name)))
        return false;
    if (current.semiFinished) {
        prompts.warn(u"Пересчёт цен"_s,
                     u"Цена полуфабриката рассчитывается по его составу и не пересчитывается."_s);
        return false;
    }

    bool ok = false;
    {
        Transaction transaction(m_db);
        // A price so large that the change would make it infinite stops the whole run.
        QSqlQuery overflow(m_db);
        QVariantList overflowValues = values;
        if (transaction.isActive() &&
            runQuery(overflow,
                     u"SELECT Name FROM Ing WHERE abs(COALESCE(Cena, 0) * ?) > 1.7976931348623157e308 "
                     "AND COALESCE(Pf, 0) = 0"_s +
                         condition + u" LIMIT 1"_s,
                     overflowValues, &error) &&
            overflow.next()) {
            prompts.warn(u"Пересчёт цен"_s,
                         u"Пересчёт цен не выполнен: цена ингредиента \"%1\" стала бы бесконечно "
                         "большой. Исправьте цену и повторите."_s.arg(overflow.value(0).toString()));
            return false;
        }
        overflow.finish();
        // Every ingredient in scope is written, so an empty price becomes 0 even when p = 0.
        ok = transaction.isActive() && error.isEmpty() &&
             execSql(m_db,
                     u"UPDATE Ing SET Cena = COALESCE(Cena, 0) * ? WHERE COALESCE(Pf, 0) = 0"_s + condition,
                     values, &error) &&
             transaction.commit();
        if (!ok && error.isEmpty())
            error = sqlErrorText(m_db.lastError());
    }
    if (!ok)
        return showDatabaseError(prompts, error);
    prompts.inform(u"Пересчёт цен"_s, u"Пересчёт цен произведён успешно"_s);
    return true;
}
