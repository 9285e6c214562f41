#include "NewIngredientForm.h"

#include "IngredientCatalog.h"
#include "SqlSupport.h"

#include "store/UserPrompts.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The longest name Ing.Name holds.
constexpr qsizetype maxNameLength = 50;

bool onlyDigitsAndSeparator(const QString& text, QChar separator)
{
    // ASCII digits only: QChar::isDigit() would also let other scripts' digits through.
    return std::all_of(text.begin(), text.end(),
                       [separator](QChar c) { return (c >= u'0' && c <= u'9') || c == separator; });
}

// Reads the price as a number written with the given decimal separator: at most one separator and a
// finite value.
std::optional<double> readPrice(const QString& text, QChar separator)
{
    if (text.count(separator) > 1)
        return std::nullopt;
    QString neutral = text;
    neutral.replace(separator, u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(neutral, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

NewIngredientForm::NewIngredientForm(QSqlDatabase db) : m_db(std::move(db)) {}

NewIngredientForm::Result NewIngredientForm::add(const NewIngredient& input, QChar decimalSeparator,
                                                 UserPrompts& prompts)
{
    const auto refuse = [&prompts](Field focus, const QString& caption, const QString& text) {
        prompts.warn(caption, text);
        return Result{QVariant(), focus};
    };

    if (input.name.trimmed().isEmpty())
        return refuse(Field::Name, QString(), u"Название ингредиента ?"_s);
    if (input.name.size() > maxNameLength)
        return refuse(Field::Name, QString(),
                      u"Название ингредиента длиннее %1 символов."_s.arg(maxNameLength));
    if (input.priceText.isEmpty())
        return refuse(Field::Price, QString(), u"Цена ингредиента ?"_s);
    if (!onlyDigitsAndSeparator(input.priceText, decimalSeparator))
        return refuse(Field::Price, QString(),
                      u"Введите в поле \"Цена\" число в формате XX"_s + decimalSeparator + u"XX"_s);
    const auto price = readPrice(input.priceText, decimalSeparator);
    if (!price)
        return refuse(Field::Price, u"Ошибка"_s, u"\"%1\" не является числом."_s.arg(input.priceText));

    // Without a group the ingredient would show on no page; without a unit no quantity could be counted.
    QString error;
    bool failed = false;
    const auto chosenRow = [&](const QVariant& value, const QString& sql) -> std::optional<qlonglong> {
        const auto key = rowKey(value);
        const auto found = key ? hasRow(m_db, sql, {*key}, &error) : false;
        failed = !found;
        return found.value_or(false) ? key : std::nullopt;
    };
    const auto group = chosenRow(input.groupKey, u"SELECT 1 FROM Gring WHERE Kod = ?"_s);
    if (failed)
        return refuse(Field::None, u"Ошибка"_s, error);
    if (!group)
        return refuse(Field::Group, QString(), u"Выберите группу для нового ингредиента."_s);
    const auto unit = chosenRow(input.unitKey, u"SELECT 1 FROM Edinica WHERE Kod = ?"_s);
    if (failed)
        return refuse(Field::None, u"Ошибка"_s, error);
    if (!unit)
        return refuse(Field::Unit, QString(), u"Выберите единицу измерения для нового ингредиента."_s);

    // The ingredient and its first price in the history are one change.
    QVariant added;
    if (!inTransaction(m_db, &error,
                       [&] {
                           added = IngredientCatalog(m_db).addIngredient(*group, input.name, *unit, *price,
                                                                         input.source, &error);
                           return added.isValid();
                       }) ||
        !added.isValid())
        return refuse(Field::None, u"Ошибка"_s, error);
    return Result{added, Field::None};
}
