#include "PriceRecalculation.h"

#include "SqlSupport.h"

#include "store/Database.h"
#include "store/UserPrompts.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <utility>

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
    QString text = QStringLiteral("Вы уверены что хотите ");
    text += settings.action == Action::Raise ? QStringLiteral("увеличить цену ")
                                             : QStringLiteral("уменьшить цену ");
    switch (settings.scope) {
    case Scope::Ingredient:
        text += QStringLiteral("ингредиенту \"%1\" на ").arg(scopeName);
        break;
    case Scope::Group:
        text += QStringLiteral("группе ингредиентов \"%1\" на ").arg(scopeName);
        break;
    case Scope::All:
        text += QStringLiteral("всем ингредиентам на ");
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
        const auto row =
            readScopeRow(m_db,
                         byIngredient ? QStringLiteral("SELECT Name, Pf FROM Ing WHERE Kod1 = ?")
                                      : QStringLiteral("SELECT Name, 0 FROM Gring WHERE Kod = ?"),
                         *key, &error);
        if (!row)
            return showDatabaseError(prompts, error);
        if (!row->found)
            return false;
        current = *row;
        condition = byIngredient ? QStringLiteral(" AND Kod1 = ?") : QStringLiteral(" AND Kod = ?");
        values << *key;
    }

    if (!prompts.confirm(QStringLiteral("Предупреждение пересчёта"),
                         confirmationText(settings, current.name)))
        return false;
    if (current.semiFinished) {
        prompts.warn(
            QStringLiteral("Пересчёт цен"),
            QStringLiteral("Цена полуфабриката рассчитывается по его составу и не пересчитывается."));
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
                     QStringLiteral("SELECT Name FROM Ing WHERE abs(COALESCE(Cena, 0) * ?) > 1.7976931348623157e308 "
                                    "AND COALESCE(Pf, 0) = 0") +
                         condition + QStringLiteral(" LIMIT 1"),
                     overflowValues, &error) &&
            overflow.next()) {
            prompts.warn(QStringLiteral("Пересчёт цен"),
                         QStringLiteral("Пересчёт цен не выполнен: цена ингредиента \"%1\" стала бы бесконечно "
                                        "большой. Исправьте цену и повторите.")
                             .arg(overflow.value(0).toString()));
            return false;
        }
        overflow.finish();
        // Every ingredient in scope is written, so an empty price becomes 0 even when p = 0.
        ok = transaction.isActive() && error.isEmpty() &&
             execSql(m_db,
                     QStringLiteral("UPDATE Ing SET Cena = COALESCE(Cena, 0) * ? WHERE COALESCE(Pf, 0) = 0") +
                         condition,
                     values, &error) &&
             transaction.commit();
        if (!ok && error.isEmpty())
            error = sqlErrorText(m_db.lastError());
    }
    if (!ok)
        return showDatabaseError(prompts, error);
    prompts.inform(QStringLiteral("Пересчёт цен"), QStringLiteral("Пересчёт цен произведён успешно"));
    return true;
}
