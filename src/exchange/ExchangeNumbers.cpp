#include "ExchangeNumbers.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace exchangenumbers {

namespace {

constexpr qsizetype longestNumber = 64;
// The positional form of the largest and of the smallest finite doubles, sign included.
constexpr qsizetype longestPositional = 350;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString general(double value, QChar decimalSeparator)
{
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(u'e');
    if (e >= 0) {
        const int exponent = text.mid(e + 1).toInt();
        if (exponent >= -5 && exponent < 15) {
            text = QString::number(value, 'f', 14 - exponent);
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(u'.'))
                text.chop(1);
        } else {
            text = text.left(e) + u'E' + (exponent < 0 ? u"-"_s : QString()) +
                   QString::number(std::abs(exponent));
        }
    }
    text.replace(u'.', decimalSeparator);
    return text;
}

QString positional(double value, QChar decimalSeparator)
{
    // Files written before keep their bytes: whatever general() writes without an exponent stays.
    if (const QString text = general(value, decimalSeparator); !text.contains(u'E'))
        return text;
    const QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(u'e');
    // The 'g' form's digits (trailing zeros already dropped) with the point moved by the exponent.
    const bool negative = text.startsWith(u'-');
    QString digits = text.mid(negative ? 1 : 0, e - (negative ? 1 : 0));
    digits.remove(u'.');
    const int exponent = text.mid(e + 1).toInt();
    QString result;
    if (exponent < 0) {
        result = u"0"_s + decimalSeparator + QString(-exponent - 1, u'0') + digits;
    } else if (exponent + 1 >= digits.size()) {
        result = digits + QString(exponent + 1 - digits.size(), u'0');
    } else {
        result = digits.left(exponent + 1) + decimalSeparator + digits.mid(exponent + 1);
    }
    return negative ? u'-' + result : result;
}

std::optional<double> parseWithSeparator(const QString& raw, QChar decimalSeparator)
{
    const QString text = raw.trimmed();
    if (text.isEmpty() || text.size() > longestPositional)
        return std::nullopt;
    QString plain;
    qsizetype i = 0;
    if (text.at(0) == u'-' || text.at(0) == u'+')
        plain += text.at(i++);
    int digits = 0;
    bool separator = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isDigit(c)) {
            plain += c;
            ++digits;
        } else if (c == decimalSeparator && !separator) {
            plain += u'.';
            separator = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size()) {
        if (text.at(i) != u'E' && text.at(i) != u'e')
            return std::nullopt;
        plain += u'e';
        ++i;
        if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
            plain += text.at(i++);
        const qsizetype exponentStart = i;
        for (; i < text.size() && isDigit(text.at(i)); ++i)
            plain += text.at(i);
        if (i == exponentStart || i != text.size())
            return std::nullopt;
    }
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> parseAnySeparator(const QString& raw)
{
    if (raw.isEmpty() || raw.size() > longestNumber)
        return std::nullopt;
    QString plain;
    int digits = 0;
    bool separator = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (isDigit(c)) {
            plain += c;
            ++digits;
        } else if (c == u'-') {
            if (i != 0)
                return std::nullopt;
            plain += c;
        } else {
            if (separator)
                return std::nullopt;
            plain += u'.';
            separator = true;
        }
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qlonglong> parseWhole(const QString& raw, qlonglong min, qlonglong max)
{
    const QString text = raw.trimmed();
    if (text.isEmpty() || text.size() > 20)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isDigit(text.at(i)) && !(i == 0 && (text.at(i) == u'-' || text.at(i) == u'+')))
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace exchangenumbers
