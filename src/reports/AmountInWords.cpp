#include "reports/AmountInWords.h"

#include <QStringList>

#include <array>

using namespace Qt::StringLiterals;

namespace amountInWords {

namespace {

struct Scale
{
    Gender gender;
    const char16_t* one;
    const char16_t* few;
    const char16_t* many;
};

// From the thousands up; each is a group of three digits.
constexpr std::array<Scale, 6> scales{{
    {Gender::Feminine, u"тысяча", u"тысячи", u"тысяч"},
    {Gender::Masculine, u"миллион", u"миллиона", u"миллионов"},
    {Gender::Masculine, u"миллиард", u"миллиарда", u"миллиардов"},
    {Gender::Masculine, u"триллион", u"триллиона", u"триллионов"},
    {Gender::Masculine, u"квадриллион", u"квадриллиона", u"квадриллионов"},
    {Gender::Masculine, u"квинтиллион", u"квинтиллиона", u"квинтиллионов"},
}};

constexpr std::array<const char16_t*, 10> hundreds{u"",          u"сто",      u"двести",   u"триста",
                                                   u"четыреста", u"пятьсот",  u"шестьсот", u"семьсот",
                                                   u"восемьсот", u"девятьсот"};
constexpr std::array<const char16_t*, 10> tens{
    u"",          u"",           u"двадцать",  u"тридцать",    u"сорок",
    u"пятьдесят", u"шестьдесят", u"семьдесят", u"восемьдесят", u"девяносто"};
constexpr std::array<const char16_t*, 10> teens{
    u"десять",     u"одиннадцать", u"двенадцать", u"тринадцать",   u"четырнадцать",
    u"пятнадцать", u"шестнадцать", u"семнадцать", u"восемнадцать", u"девятнадцать"};
constexpr std::array<const char16_t*, 10> units{u"",     u"",      u"",     u"три",    u"четыре",
                                                u"пять", u"шесть", u"семь", u"восемь", u"девять"};

QString unitWord(int digit, Gender gender)
{
    if (digit == 1)
        return gender == Gender::Feminine ? u"одна"_s : gender == Gender::Neuter ? u"одно"_s : u"один"_s;
    if (digit == 2)
        return gender == Gender::Feminine ? u"две"_s : u"два"_s;
    return QString::fromUtf16(units[digit]);
}

// 1..999 in words; nothing for 0, which only the whole number zero spells out.
void appendGroup(QStringList& words, int group, Gender gender)
{
    if (group >= 100)
        words << QString::fromUtf16(hundreds[group / 100]);
    const int belowHundred = group % 100;
    if (belowHundred >= 10 && belowHundred < 20) {
        words << QString::fromUtf16(teens[belowHundred - 10]);
        return;
    }
    if (belowHundred >= 20)
        words << QString::fromUtf16(tens[belowHundred / 10]);
    if (belowHundred % 10 != 0)
        words << unitWord(belowHundred % 10, gender);
}

// Works on the magnitude so that the smallest qint64 has no positive twin to overflow.
quint64 magnitude(qint64 value)
{
    return value < 0 ? quint64(0) - quint64(value) : quint64(value);
}

QString agreeingMagnitude(quint64 value, const QString& one, const QString& few, const QString& many)
{
    const quint64 lastTwo = value % 100;
    if (lastTwo >= 11 && lastTwo <= 14)
        return many;
    switch (lastTwo % 10) {
    case 1:
        return one;
    case 2:
    case 3:
    case 4:
        return few;
    default:
        return many;
    }
}

} // namespace

QString agreeing(qint64 value, const QString& one, const QString& few, const QString& many)
{
    return agreeingMagnitude(magnitude(value), one, few, many);
}

QString number(qint64 value, Gender gender)
{
    quint64 rest = magnitude(value);
    if (rest == 0)
        return u"ноль"_s;
    std::array<int, scales.size() + 1> groups{};
    for (int& group : groups) {
        group = int(rest % 1000);
        rest /= 1000;
    }
    QStringList words;
    if (value < 0)
        words << u"минус"_s;
    for (int index = int(groups.size()) - 1; index >= 1; --index) {
        const int group = groups[index];
        if (group == 0)
            continue;
        const Scale& scale = scales[index - 1];
        appendGroup(words, group, scale.gender);
        words << agreeingMagnitude(quint64(group), QString::fromUtf16(scale.one),
                                   QString::fromUtf16(scale.few), QString::fromUtf16(scale.many));
    }
    appendGroup(words, groups[0], gender);
    return words.join(u' ');
}

QString rubles(qint64 kopecks)
{
    const quint64 whole = magnitude(kopecks) / 100;
    const int cents = int(magnitude(kopecks) % 100);
    QString words = number(qint64(whole), Gender::Masculine);
    if (kopecks < 0)
        words.prepend(u"минус "_s);
    return u"%1 %2 %3 %4"_s.arg(words, agreeingMagnitude(whole, u"рубль"_s, u"рубля"_s, u"рублей"_s),
                                u"%1"_s.arg(cents, 2, 10, QLatin1Char('0')),
                                agreeingMagnitude(quint64(cents), u"копейка"_s, u"копейки"_s, u"копеек"_s));
}

QString lineCount(qint64 lines)
{
    return number(lines, Gender::Masculine);
}

} // namespace amountInWords
