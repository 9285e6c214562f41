#include "SalesSummaryFile.h"

#include "Envelope.h"
#include "ExchangeNumbers.h"
#include "ReadLimit.h"
#include "store/CodePage.h"

#include <QStringList>

using namespace Qt::StringLiterals;

const QString SalesSummaryFile::headLine = u"<<<< ИТОГОВЫЙ ФАЙЛ БУФЕТОН >>>>"_s;
const QString SalesSummaryFile::deferredLine = u"<<<< ОТЛОЖЕННЫЕ ПЛАТЕЖИ И СКИДКИ >>>>"_s;
const QString SalesSummaryFile::endLine = u"<<<< КОНЕЦ ИТОГОВОГО ФАЙЛА БУФЕТОН >>>>"_s;

namespace {

constexpr int headCount = 6;
constexpr int recordLines = 3;
constexpr qlonglong largestKey = Q_INT64_C(9007199254740992); // stored as REAL: exact up to 2^53

SalesSummaryFile::ReadResult failure(SalesSummaryFile::Problem problem, const QString& text = {})
{
    SalesSummaryFile::ReadResult result;
    result.problem = problem;
    result.text = text;
    return result;
}

// Lines ended by CR LF; a lone LF ends a line too. Bytes are split before decoding, so the unread
// section may hold anything.
QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

std::optional<QString> text(const QByteArray& line)
{
    return codepage::decode(line, codepage::Page::Windows1251);
}

bool is(const QByteArray& line, const QString& expected)
{
    const std::optional<QString> decoded = text(line);
    return decoded && *decoded == expected;
}

} // namespace

SalesSummaryFile::ReadResult SalesSummaryFile::read(QIODevice& device)
{
    if (!device.isReadable())
        return failure(Problem::Read, device.errorString());
    const std::optional<QByteArray> bytes = readLimited(device, largestFile);
    if (!bytes)
        return failure(Problem::TooLarge);
    return parse(*bytes);
}

SalesSummaryFile::ReadResult SalesSummaryFile::parse(const QByteArray& stored)
{
    const Envelope::Unwrapped unwrapped = Envelope::unwrap(stored);
    if (unwrapped.problem != Envelope::Problem::None)
        return failure(Problem::Damaged);
    const QList<QByteArray> lines = splitLines(unwrapped.plain);
    if (lines.isEmpty() || !is(lines.first(), headLine))
        return failure(Problem::Damaged);

    const qsizetype last = lines.size() - 1;
    qsizetype deferred = -1;
    for (qsizetype i = 1; i < last; ++i) {
        if (is(lines[i], deferredLine)) {
            deferred = i;
            break;
        }
    }
    const bool ends = last > 0 && is(lines[last], endLine);
    if (ends && deferred < 0)
        return failure(Problem::OlderFormat);
    if (!ends || deferred < 0)
        return failure(Problem::Damaged);

    // The head and whole three-line records must stand before the deferred-payments line, and every
    // key, price and quantity must convert, before anything is used.
    if (deferred < headCount || (deferred - headCount) % recordLines != 0)
        return failure(Problem::Damaged);
    QStringList head;
    for (qsizetype i = 1; i < headCount; ++i) {
        const std::optional<QString> line = text(lines[i]);
        if (!line)
            return failure(Problem::Damaged);
        head << *line;
    }
    const auto day = exchangenumbers::parseWhole(head[0], 1, 31);
    const auto month = exchangenumbers::parseWhole(head[1], 1, 12);
    const auto year = exchangenumbers::parseWhole(head[2], 1, 9999);
    const auto menu = exchangenumbers::parseWhole(head[4], -largestKey, largestKey);
    if (!day || !month || !year || !menu)
        return failure(Problem::Damaged);
    SalesSummary summary;
    summary.date = QDate(int(*year), int(*month), int(*day));
    if (!summary.date.isValid())
        return failure(Problem::Damaged);
    summary.name = QString(head[3]).remove(QChar(0));
    summary.menu = *menu;
    for (qsizetype i = headCount; i < deferred; i += recordLines) {
        const std::optional<QString> key = text(lines[i]);
        const std::optional<QString> price = text(lines[i + 1]);
        const std::optional<QString> portions = text(lines[i + 2]);
        if (!key || !price || !portions)
            return failure(Problem::Damaged);
        const auto dish = exchangenumbers::parseWhole(*key, -largestKey, largestKey);
        const auto priceValue = exchangenumbers::parseAnySeparator(*price);
        const auto portionsValue = exchangenumbers::parseAnySeparator(*portions);
        if (!dish || !priceValue || !portionsValue)
            return failure(Problem::Damaged);
        summary.lines << SalesSummaryLine{*dish, *priceValue, *portionsValue};
    }
    ReadResult result;
    result.summary = std::move(summary);
    return result;
}
