#include "CardFile.h"

#include "store/CodePage.h"
#include "ExchangeNumbers.h"
#include "ReadLimit.h"

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

} // namespace

std::optional<QByteArray> CardFile::encode(const CardFileContent& content, QChar decimalSeparator,
                                           QString* error)
{
    QStringList lines{startMarker, content.name, content.extra, QString::number(content.portions),
                      content.yield};
    for (const CardFileRow& row : content.rows) {
        if (!std::isfinite(row.netGrams)) {
            *error = u"Количество ингредиента \"%1\" не является числом."_s.arg(row.ingredient);
            return std::nullopt;
        }
        lines << row.ingredient << row.unit << exchangenumbers::positional(row.netGrams, decimalSeparator)
              << QString::number(row.yieldPercent);
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
        return failure(Problem::Format);
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

    CardFileContent content;
    content.name = lines[start + 1];
    content.extra = lines[start + 2];
    const auto portions = exchangenumbers::parseWhole(lines[start + 3], INT_MIN, INT_MAX);
    if (!portions)
        return failure(Problem::Number, int(start + 4), lines[start + 3]);
    content.portions = int(*portions);
    content.yield = lines[start + 4];
    for (qsizetype i = start + 1 + headerLines; i < recipe; i += blockLines) {
        CardFileRow row;
        row.ingredient = lines[i];
        row.unit = lines[i + 1];
        const auto grams = exchangenumbers::parseWithSeparator(lines[i + 2], decimalSeparator);
        if (!grams)
            return failure(Problem::Number, int(i + 3), lines[i + 2]);
        row.netGrams = *grams;
        const auto yield = exchangenumbers::parseWhole(lines[i + 3], INT_MIN, INT_MAX);
        if (!yield)
            return failure(Problem::Number, int(i + 4), lines[i + 3]);
        row.yieldPercent = int(*yield);
        content.rows << row;
    }
    for (qsizetype i = recipe + 1; i < markers[2]; ++i)
        content.recipe << lines[i];

    ReadResult result;
    result.content = std::move(content);
    return result;
}
