#include "CardFile.h"

#include "ExchangeNumbers.h"
#include "ReadLimit.h"
#include "store/CodePage.h"
#include "store/ValueWarnings.h"

#include <climits>
#include <cmath>

using namespace Qt::StringLiterals;

const QString CardFile::startMarker = u"#!# НАЧАЛО ОПИСАНИЯ КАЛЬКУЛЯЦИОННОЙ КАРТЫ #!#"_s;
const QString CardFile::recipeMarker = u"#!# НАЧАЛО ОПИСАНИЯ РЕЦЕПТА #!#"_s;
const QString CardFile::endMarker = u"#!# КОНЕЦ ОПИСАНИЯ КАЛЬКУЛЯЦИОННОЙ КАРТЫ #!#"_s;
const QString CardFile::semiFinishedSuffix = u" --> Полуфабрикат"_s;

namespace {

constexpr int headerLines = 4;
constexpr int blockLines = 4;

// Splits text into lines ended by CR LF; a lone LF ends a line too (a file edited elsewhere).
QStringList splitLines(const QString& text)
{
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

CardFile::ReadResult failure(CardFile::Problem problem, int line = 0, const QString& text = {})
{
    CardFile::ReadResult result;
    result.problem = problem;
    result.line = line;
    result.text = text;
    return result;
}

CardFile::ReadResult valueFailure(int line, const QString& text, const QString& reason,
                                  const QString& subject)
{
    CardFile::ReadResult result = failure(CardFile::Problem::Value, line, text);
    result.reason = reason;
    result.subject = subject;
    return result;
}

bool isMarker(const QString& line)
{
    return line == CardFile::startMarker || line == CardFile::recipeMarker || line == CardFile::endMarker;
}

// A semi-finished product's yield takes part in no calculation (its own composition does).
bool yieldCounts(const QString& ingredient)
{
    return !ingredient.endsWith(CardFile::semiFinishedSuffix);
}

QString rowSubject(const QString& dish, const QString& ingredient)
{
    return dish + u" / "_s + ingredient;
}

} // namespace

std::optional<QByteArray> CardFile::encode(const CardFileContent& content, QChar decimalSeparator,
                                           QString* error)
{
    const auto refuseValue = [error](const QString& reason, const QString& subject, const QString& value) {
        *error = u"Карточку нельзя экспортировать — %1: \"%2\" (%3). Файл не записан: исправьте число в "
                 "калькуляционной карте и экспортируйте блюдо снова."_s.arg(reason, subject, value);
        return std::nullopt;
    };
    if (content.portions <= 0)
        return refuseValue(valuewarnings::dishPortionsNotPositive, content.name,
                           QString::number(content.portions));
    // Every text line with what it is, for a refusal that names it.
    QList<std::pair<QString, QString>> texts{{content.name, u"Наименование блюда"_s},
                                             {content.extra, u"Дополнительная характеристика"_s},
                                             {content.yield, u"Выход одной порции"_s}};
    QStringList lines{startMarker, content.name, content.extra, QString::number(content.portions),
                      content.yield};
    for (qsizetype i = 0; i < content.rows.size(); ++i) {
        const CardFileRow& row = content.rows[i];
        if (!std::isfinite(row.netGrams)) {
            *error = u"Количество ингредиента \"%1\" не является числом."_s.arg(row.ingredient);
            return std::nullopt;
        }
        const QString quantity = exchangenumbers::positional(row.netGrams, decimalSeparator);
        if (row.netGrams <= 0)
            return refuseValue(valuewarnings::cardQuantityNotPositive,
                               rowSubject(content.name, row.ingredient), quantity);
        if (row.yieldPercent <= 0 && yieldCounts(row.ingredient))
            return refuseValue(valuewarnings::cardYieldNotPositive, rowSubject(content.name, row.ingredient),
                               QString::number(row.yieldPercent));
        texts.append({row.ingredient, u"Ингредиент в строке %1 карты"_s.arg(i + 1)});
        texts.append({row.unit, u"Единица ингредиента в строке %1 карты"_s.arg(i + 1)});
        lines << row.ingredient << row.unit << quantity << QString::number(row.yieldPercent);
    }
    for (qsizetype i = 0; i < content.recipe.size(); ++i)
        texts.append({content.recipe[i], u"Строка %1 рецепта"_s.arg(i + 1)});
    for (const auto& [text, what] : texts) {
        if (isMarker(text)) {
            *error =
                u"%1 совпадает со служебной строкой файла карточки: \"%2\". Такой файл не примет ни "
                "одна программа. Файл не записан: измените этот текст и экспортируйте блюдо снова."_s.arg(
                    what, text);
            return std::nullopt;
        }
        if (text.contains(QChar(0))) {
            *error = u"%1 содержит знак NUL (нулевой код), которого в тексте быть не может: \"%2\". Файл не "
                     "записан: исправьте этот текст и экспортируйте блюдо снова."_s.arg(
                         what, QString(text).remove(QChar(0)).left(100));
            return std::nullopt;
        }
    }
    lines << recipeMarker;
    lines += content.recipe;
    lines << endMarker;

    qsizetype bad = 0;
    const std::optional<QByteArray> bytes = codepage::encodeLines(lines, codepage::Page::Windows1251, &bad);
    if (!bytes) {
        const QString& line = lines[bad];
        const QChar unencodable = codepage::firstUnencodable(line, codepage::Page::Windows1251);
        *error = unencodable.isNull()
                     ? u"Строка \"%1\" содержит перевод строки. Файл не записан."_s.arg(line)
                     : u"Текст \"%1\" содержит знак \"%2\", которого нет в кодировке Windows-1251. "
                       "Файл не записан."_s.arg(line, unencodable);
    }
    return bytes;
}

bool CardFile::write(QIODevice& device, const CardFileContent& content, QChar decimalSeparator,
                     QString* error)
{
    const std::optional<QByteArray> bytes = encode(content, decimalSeparator, error);
    if (!bytes)
        return false;
    if (device.write(*bytes) != bytes->size()) {
        *error = device.errorString();
        return false;
    }
    return true;
}

CardFile::ReadResult CardFile::read(QIODevice& device, QChar decimalSeparator)
{
    if (!device.isReadable())
        return failure(Problem::Read, 0, device.errorString());
    const std::optional<QByteArray> bytes = readLimited(device, largestFile);
    if (!bytes)
        return failure(Problem::TooLarge);
    return parse(*bytes, decimalSeparator);
}

CardFile::ReadResult CardFile::parse(const QByteArray& bytes, QChar decimalSeparator)
{
    const std::optional<QString> text = codepage::decode(bytes, codepage::Page::Windows1251);
    if (!text)
        return failure(Problem::Format);
    const QStringList lines = splitLines(*text);

    // Exactly three marker lines: start, recipe, end, in this order.
    QList<qsizetype> markers;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] == startMarker || lines[i] == recipeMarker || lines[i] == endMarker)
            markers << i;
    }
    if (markers.size() != 3 || lines[markers[0]] != startMarker || lines[markers[1]] != recipeMarker ||
        lines[markers[2]] != endMarker) {
        return failure(Problem::Format);
    }
    const qsizetype start = markers[0];
    const qsizetype recipe = markers[1];
    const qsizetype between = recipe - start - 1;
    if (between < headerLines || (between - headerLines) % blockLines != 0)
        return failure(Problem::Format);

    // NUL has no place in a text and would cut it short where it is stored.
    for (qsizetype i = start + 1; i < markers[2]; ++i) {
        if (lines[i].contains(QChar(0)))
            return failure(Problem::Nul, int(i + 1), QString(lines[i]).remove(QChar(0)));
    }

    CardFileContent content;
    content.name = lines[start + 1];
    content.extra = lines[start + 2];
    const auto portions = exchangenumbers::parseWhole(lines[start + 3], INT_MIN, INT_MAX);
    if (!portions)
        return failure(Problem::Number, int(start + 4), lines[start + 3]);
    if (*portions <= 0)
        return valueFailure(int(start + 4), lines[start + 3], valuewarnings::dishPortionsNotPositive,
                            content.name);
    content.portions = int(*portions);
    content.yield = lines[start + 4];
    for (qsizetype i = start + 1 + headerLines; i < recipe; i += blockLines) {
        CardFileRow row;
        row.ingredient = lines[i];
        row.unit = lines[i + 1];
        const auto grams = exchangenumbers::parseWithSeparator(lines[i + 2], decimalSeparator);
        if (!grams)
            return failure(Problem::Number, int(i + 3), lines[i + 2]);
        if (*grams <= 0)
            return valueFailure(int(i + 3), lines[i + 2], valuewarnings::cardQuantityNotPositive,
                                rowSubject(content.name, row.ingredient));
        row.netGrams = *grams;
        const auto yield = exchangenumbers::parseWhole(lines[i + 3], INT_MIN, INT_MAX);
        if (!yield)
            return failure(Problem::Number, int(i + 4), lines[i + 3]);
        if (*yield <= 0 && yieldCounts(row.ingredient))
            return valueFailure(int(i + 4), lines[i + 3], valuewarnings::cardYieldNotPositive,
                                rowSubject(content.name, row.ingredient));
        row.yieldPercent = int(*yield);
        content.rows << row;
    }
    for (qsizetype i = recipe + 1; i < markers[2]; ++i)
        content.recipe << lines[i];

    ReadResult result;
    result.content = std::move(content);
    return result;
}
