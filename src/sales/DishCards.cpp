#include "DishCards.h"

#include "store/Database.h"
#include "store/Rounding.h"
#include "store/RowKey.h"

#include <QLocale>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// Columns 0 to 5 of both queries: the ingredient's key, whether it exists, name, flag, yield, and
// its unit's grams (null when the unit is gone) and short name.
const QString ingredientColumns =
    u"i.Kod1 IS NOT NULL, i.Name, i.Pf, i.Vih, u.Gramm, u.Kod IS NOT NULL, u.Shorthame"_s;
const QString ingredientJoins =
    u" LEFT JOIN Ing i ON i.Kod1 = %1.Name LEFT JOIN Edinica u ON u.Kod = i.Edinica"_s;

CardIngredient ingredientOf(const QSqlQuery& q, int first, const QVariant& reference)
{
    CardIngredient ingredient;
    ingredient.key = rowKey(reference).value_or(0);
    ingredient.exists = q.value(first).toBool();
    ingredient.name = q.value(first + 1).toString();
    ingredient.semiFinished = q.value(first + 2).toInt() != 0;
    ingredient.yield = q.value(first + 3).toDouble();
    if (q.value(first + 5).toBool())
        ingredient.unitGrams = q.value(first + 4).toDouble();
    ingredient.unit = q.value(first + 6).toString();
    return ingredient;
}

} // namespace

bool DishCards::load(const QSqlDatabase& db, qlonglong document, bool soldOnly, QString* error)
{
    const QString dishes = soldOnly ? u"SELECT KodBludo FROM Realsum WHERE Kod = ? AND Kolvo <> 0"_s
                                    : u"SELECT KodBludo FROM Realsum WHERE Kod = ?"_s;
    QString badReference;
    const bool read =
        forEachRow(
            db,
            u"SELECT k.Kod, k.Name, k.Kolvo, k.Vihod, k.NNN, "_s + ingredientColumns + u" FROM Karta k"_s +
                ingredientJoins.arg(u"k"_s) + u" WHERE k.Kod IN ("_s + dishes + u") ORDER BY k.NNN"_s,
            {document},
            [&](const QSqlQuery& q) {
                if (badReference.isEmpty() && !isWholeReference(q.value(1)))
                    badReference = notWholeReference(u"Karta"_s, q.value(4), u"Name"_s, q.value(1));
                m_cards[rowKey(q.value(0)).value_or(0)].push_back(
                    CardRow{ingredientOf(q, 5, q.value(1)), q.value(2).toDouble(), q.value(3).toDouble()});
            },
            error) &&
        forEachRow(
            db,
            u"SELECT p.Kod, p.Name, p.Kolvo, p.NNN, "_s + ingredientColumns + u" FROM pf p"_s +
                ingredientJoins.arg(u"p"_s) + u" WHERE p.Kod IN (SELECT Name FROM Karta WHERE Kod IN ("_s +
                dishes + u")) ORDER BY p.NNN"_s,
            {document},
            [&](const QSqlQuery& q) {
                if (badReference.isEmpty() && !isWholeReference(q.value(1)))
                    badReference = notWholeReference(u"pf"_s, q.value(3), u"Name"_s, q.value(1));
                m_compositions[rowKey(q.value(0)).value_or(0)].push_back(
                    CompositionRow{ingredientOf(q, 4, q.value(1)), q.value(2).toDouble()});
            },
            error);
    if (read && !badReference.isEmpty()) {
        *error = badReference;
        return false;
    }
    return read;
}

const std::vector<CardRow>& DishCards::card(qlonglong dish) const
{
    static const std::vector<CardRow> none;
    const auto found = m_cards.constFind(dish);
    return found == m_cards.cend() ? none : *found;
}

const std::vector<CompositionRow>& DishCards::composition(qlonglong product) const
{
    static const std::vector<CompositionRow> none;
    const auto found = m_compositions.constFind(product);
    return found == m_compositions.cend() ? none : *found;
}

QString DishCards::zeroYield(double stored, const QString& what)
{
    if (rounding::wholeNumber(stored) != 0)
        return {};
    return u"%1 равен нулю (%2 после округления до целого)."_s.arg(what, QLocale().toString(stored));
}

QString DishCards::unusable(const CardIngredient& ingredient, const QString& usage, bool yieldUsed)
{
    if (!ingredient.exists)
        return u"в карте указан ингредиент, которого больше нет (код %1)%2."_s.arg(ingredient.key).arg(usage);
    const QString who = u"ингредиент \"%1\"%2: "_s.arg(ingredient.name, usage);
    if (!ingredient.unitGrams)
        return who + u"не найдена единица измерения."_s;
    if (*ingredient.unitGrams == 0)
        return who + u"вес единицы измерения (Грамм) равен нулю."_s;
    const QString yield = yieldUsed ? zeroYield(ingredient.yield, u"выход (% Вых)"_s) : QString();
    return yield.isEmpty() ? QString() : who + yield;
}
