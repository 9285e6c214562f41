#include "CardExchange.h"

#include "costing/DishCatalog.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/Rounding.h"
#include "store/UserPrompts.h"
#include "store/ValueWarnings.h"
#include "store/WholeFile.h"

#include <QSet>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString importCaption = u"Импрот блюда"_s;
const QString exportCaption = u"Экспорт блюда"_s;

// Text limits of the fields the import fills.
struct TextLimit
{
    QString what;
    int length;
};

} // namespace

QString CardExchange::cardFileName(const QString& chosen)
{
    return chosen.endsWith(u".fck"_s, Qt::CaseInsensitive) ? chosen : chosen + u".fck"_s;
}

std::optional<CardFileContent> CardExchange::cardOf(qlonglong dish, QString* error) const
{
    QSqlQuery query(m_db);
    if (!runQuery(query, u"SELECT Name, X, Nporc, Vixod, Recept FROM Bludo WHERE Kod1 = ?"_s, {dish}, error))
        return std::nullopt;
    if (!query.next()) {
        *error = u"Блюдо не найдено."_s;
        return std::nullopt;
    }
    CardFileContent card;
    card.name = query.value(0).toString();
    card.extra = query.value(1).toString();
    card.portions = rounding::toInt(query.value(2).toDouble());
    card.yield = query.value(3).toString();
    const QString recipe = query.value(4).toString();
    if (!recipe.isEmpty()) {
        card.recipe = recipe.split(u'\n');
        for (QString& line : card.recipe) {
            if (line.endsWith(u'\r'))
                line.chop(1);
        }
    }
    query.finish();
    const QString rows = u"SELECT i.Name, i.Pf, e.Shorthame, k.Kolvo, k.Vihod FROM Karta k "
                         "LEFT JOIN Ing i ON i.Kod1 = k.Name LEFT JOIN Edinica e ON e.Kod = i.Edinica "
                         "WHERE k.Kod = ? ORDER BY k.NNN"_s;
    if (!forEachRow(
            m_db, rows, {dish},
            [&card](const QSqlQuery& row) {
                QString name = row.value(0).toString();
                if (row.value(1).toBool())
                    name += CardFile::semiFinishedSuffix;
                card.rows << CardFileRow{name, row.value(2).toString(), row.value(3).toDouble(),
                                         rounding::toInt(row.value(4).toDouble())};
            },
            error)) {
        return std::nullopt;
    }
    return card;
}

bool CardExchange::exportDish(const QVariant& dish, const QString& chosenFile, QChar decimalSeparator)
{
    if (dish.isNull())
        return false;
    QString error;
    const std::optional<CardFileContent> card = cardOf(dish.toLongLong(), &error);
    if (!card) {
        m_prompts.warn(exportCaption, error);
        return false;
    }
    if (card->recipe.isEmpty()) {
        m_prompts.warn(u"Рецепт???"_s,
                       u"Блюдо без описания рецепта экспортировать нельзя. Опишите порядок приготовления "
                       "нажав на клавишу \"Рецепт\" в окне \"Калькуляционные карты\""_s);
        return false;
    }
    // Every text is converted before the file is opened: a refused character leaves the old file.
    const std::optional<QByteArray> bytes = CardFile::encode(*card, decimalSeparator, &error);
    if (!bytes) {
        m_prompts.warn(exportCaption, error);
        return false;
    }
    const QString path = cardFileName(chosenFile);
    if (!writeWholeFile(path, *bytes, &error)) {
        m_prompts.warn(exportCaption, error);
        return false;
    }
    m_prompts.inform(exportCaption, u"Экспорт закончен успешно!!!"_s);
    return true;
}

std::optional<qlonglong> CardExchange::importCard(QIODevice& file, const QVariant& group,
                                                  IngredientMatcher& matcher, QChar decimalSeparator)
{
    const std::optional<PreparedCard> prepared = prepareCard(file, group, matcher, decimalSeparator);
    if (!prepared)
        return std::nullopt;
    QString error;
    const std::optional<qlonglong> dish = store(group, prepared->card, prepared->ingredients, &error);
    if (!dish) {
        m_prompts.warn(importCaption, error);
        return std::nullopt;
    }
    m_prompts.inform(importCaption, importedText());
    return dish;
}

QString CardExchange::importedText()
{
    return u"Импорт закончен успешно!!!    Для использования импортированной карты необходимо в окне "
           "\"Калькуляционные карты\" нажать на клавишу \"Окончание разработки блюда\". Это сделано "
           "затем, чтоб Вы смогли внести необходимые коррективы в карту, а затем разрешить её "
           "использование."_s;
}

CardExchange::Stored CardExchange::storeCards(const QVariant& group, const QList<PreparedCard>& cards,
                                              const Progress& progress)
{
    Stored stored;
    const int total = int(cards.size());
    // A refused work (cancelled) is rolled back and still counts as a run without failure.
    bool done = false;
    const bool ran = Isolation::run(m_db, &stored.error, [&] {
        stored.dishes.clear();
        stored.cancelled = false;
        for (int n = 0; n < total; ++n) {
            if (progress && !progress(n, total)) {
                stored.cancelled = true;
                return false;
            }
            const std::optional<qlonglong> dish =
                store(group, cards[n].card, cards[n].ingredients, &stored.error);
            if (!dish)
                return false;
            stored.dishes << *dish;
        }
        stored.cancelled = progress && !progress(total, total);
        return done = !stored.cancelled;
    });
    if (!ran || !done)
        stored.dishes.clear();
    return stored;
}

std::optional<CardExchange::PreparedCard> CardExchange::prepareCard(QIODevice& file, const QVariant& group,
                                                                    IngredientMatcher& matcher,
                                                                    QChar decimalSeparator)
{
    const CardFile::ReadResult read = CardFile::read(file, decimalSeparator);
    switch (read.problem) {
    case CardFile::Problem::None:
        break;
    case CardFile::Problem::Format:
        m_prompts.warn(u"Ошибка формата"_s,
                       u"Выбранный файл не соответствует формату файла калькуляционной карты"_s);
        return std::nullopt;
    case CardFile::Problem::TooLarge:
        m_prompts.warn(importCaption,
                       u"Выбранный файл больше %1 МБ, а файл калькуляционной карты много меньше: это не файл "
                       "карточки. Блюдо не принято: выберите файл .fck, записанный экспортом карточки."_s.arg(
                           CardFile::largestFile / 1024 / 1024));
        return std::nullopt;
    case CardFile::Problem::Number:
        // Most often a quantity written on a computer with the other decimal separator.
        m_prompts.warn(importCaption,
                       u"В строке %1 файла калькуляционной карты не число: \"%2\". Блюдо не "
                       "принято: числа в файле должны быть записаны с десятичным разделителем "
                       "этого компьютера (\"%3\"); исправьте эту строку в файле."_s.arg(read.line)
                           .arg(read.text.left(100), decimalSeparator));
        return std::nullopt;
    case CardFile::Problem::Value:
        m_prompts.warn(
            importCaption,
            u"В строке %1 файла калькуляционной карты — %2: \"%3\" (в файле \"%4\"). Блюдо не "
            "принято: исправьте число в файле или попросите отправителя исправить карточку."_s.arg(read.line)
                .arg(read.reason, read.subject.left(100), read.text.left(100)));
        return std::nullopt;
    case CardFile::Problem::Nul:
        m_prompts.warn(
            importCaption,
            u"В строке %1 файла калькуляционной карты есть знак NUL (нулевой код): файл повреждён или "
            "записан не как текст. Блюдо не принято: попросите отправителя экспортировать карточку "
            "снова."_s.arg(read.line));
        return std::nullopt;
    case CardFile::Problem::Read:
        m_prompts.warn(importCaption, u"Не удалось прочитать файл: %1"_s.arg(read.text));
        return std::nullopt;
    }
    const CardFileContent& card = *read.content;

    QString error;
    QSqlQuery query(m_db);
    if (group.isNull()) {
        m_prompts.warn(importCaption, u"Выберите группу, в которую будет помещено блюдо."_s);
        return std::nullopt;
    }
    if (!runQuery(query, u"SELECT Name FROM Grbludo WHERE Kod = ?"_s, {group}, &error)) {
        m_prompts.warn(importCaption, error);
        return std::nullopt;
    }
    const QString groupName = query.next() ? query.value(0).toString() : QString();
    query.finish();

    for (const auto& [text, limit] :
         {std::pair{card.name, TextLimit{u"Наименование блюда"_s, 50}},
          std::pair{card.extra, TextLimit{u"Дополнительная характеристика"_s, 20}},
          std::pair{card.yield, TextLimit{u"Выход одной порции"_s, 15}}}) {
        if (text.size() > limit.length) {
            m_prompts.warn(importCaption,
                           u"%1 в файле длиннее %2 знаков: \"%3\". Блюдо не принято."_s.arg(limit.what)
                               .arg(limit.length)
                               .arg(text.left(100)));
            return std::nullopt;
        }
    }

    const QString question =
        u"Новое блюдо с наименованием \""_s + card.name + u"\" будет помещено в группу \""_s + groupName +
        u"\". Если Вы согласны, ножмите \"ОK\", если не согласны, и хотите "_s +
        u"выбрать другую группу, то нажмите на \"Cancel\", затем выберите в окне \"Экспорт/Импорт\" "_s +
        u"нужную Вам группу для этого блюда и нажмите клавишу \"Импортировать карточку\" снова."_s;
    if (!m_prompts.confirm(u"?"_s, question))
        return std::nullopt;

    matcher.startDish(card.name);
    for (const QString& line : {u"Записано наименование блюда"_s, u"Записана дополнительная характеристика"_s,
                                u"Записано на сколько порций"_s, u"Записан выход одной порции"_s})
        matcher.addProtocolLine(line);

    QList<qlonglong> ingredients;
    for (const CardFileRow& row : card.rows) {
        const std::optional<qlonglong> own = matcher.associate(row.ingredient, row.unit);
        if (!own) {
            m_prompts.warn(importCaption, u"Импорт прерван пользователем!!!"_s);
            return std::nullopt;
        }
        if (!runQuery(query, u"SELECT Name, Pf FROM Ing WHERE Kod1 = ?"_s, {*own}, &error)) {
            m_prompts.warn(importCaption, error);
            return std::nullopt;
        }
        const bool found = query.next();
        const QString ownName = found ? query.value(0).toString() : QString();
        const bool ownSemiFinished = found && query.value(1).toBool();
        query.finish();
        // The file's reader let a semi-finished product's yield pass; an own plain ingredient uses it.
        if (row.yieldPercent <= 0 && !ownSemiFinished) {
            m_prompts.warn(
                importCaption,
                u"Импорт остановлен — %1: \"%2 / %3\". Ингредиент \"%4\" связан с нашим "
                "ингредиентом, который не полуфабрикат, а процент выхода в файле %5. Блюдо не принято: "
                "свяжите его с полуфабрикатом или исправьте процент выхода в файле."_s
                    .arg(valuewarnings::cardYieldNotPositive, card.name, ownName, row.ingredient)
                    .arg(row.yieldPercent));
            return std::nullopt;
        }
        matcher.addProtocolLine(u"\""_s + row.ingredient + u"\"    асоциирован с    \""_s + ownName +
                                u"\""_s);
        ingredients << *own;
    }

    return PreparedCard{card, ingredients};
}

std::optional<qlonglong> CardExchange::store(const QVariant& group, const CardFileContent& card,
                                             const QList<qlonglong>& ingredients, QString* error)
{
    DishCatalog::NewDish dish{group,
                              card.name,
                              card.extra,
                              card.portions,
                              {},
                              card.yield,
                              card.recipe.isEmpty() ? QVariant() : QVariant(card.recipe.join(u'\n')),
                              {},
                              {},
                              {},
                              {}};
    for (qsizetype i = 0; i < card.rows.size(); ++i)
        dish.lines.push_back({{}, ingredients[i], card.rows[i].netGrams, card.rows[i].yieldPercent});
    std::optional<qlonglong> key;
    // The group and the matched ingredients are asked for again where the dish is written: one deleted
    // at another workstation since the questions stores nothing.
    if (!Isolation::run(m_db, error, [&] {
            QVariantList keys{group};
            QStringList marks;
            for (qlonglong ingredient : ingredients) {
                keys << ingredient;
                marks << u"?"_s;
            }
            QSqlQuery present(m_db);
            if (!runQuery(present,
                          u"SELECT (SELECT count(*) FROM Grbludo WHERE Kod = ?), "
                          "(SELECT count(DISTINCT Kod1) FROM Ing WHERE Kod1 IN (%1))"_s.arg(
                              marks.isEmpty() ? u"NULL"_s : marks.join(u", "_s)),
                          keys, error) ||
                !present.next())
                return false;
            const bool whole =
                present.value(0).toInt() == 1 &&
                present.value(1).toInt() == QSet<qlonglong>(ingredients.begin(), ingredients.end()).size();
            present.finish();
            if (!whole) {
                *error = u"Группа блюда или ингредиент карточки удалены на другом рабочем месте. Блюдо не "
                         "принято: повторите импорт."_s;
                return false;
            }
            return (key = DishCatalog::addDish(m_db, dish, error)).has_value();
        }))
        return std::nullopt;
    return key;
}
