#include "reports/AmountInWords.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using amountInWords::Gender;

class tst_AmountInWords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void number_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<Gender>("gender");
        QTest::addColumn<QString>("words");
        const auto m = Gender::Masculine;
        const auto f = Gender::Feminine;
        const auto n = Gender::Neuter;
        QTest::newRow("0") << qint64(0) << m << u"ноль"_s;
        QTest::newRow("1 masculine") << qint64(1) << m << u"один"_s;
        QTest::newRow("1 feminine") << qint64(1) << f << u"одна"_s;
        QTest::newRow("1 neuter") << qint64(1) << n << u"одно"_s;
        QTest::newRow("2 feminine") << qint64(2) << f << u"две"_s;
        QTest::newRow("2 neuter") << qint64(2) << n << u"два"_s;
        QTest::newRow("5") << qint64(5) << m << u"пять"_s;
        QTest::newRow("10") << qint64(10) << m << u"десять"_s;
        QTest::newRow("11") << qint64(11) << f << u"одиннадцать"_s;
        QTest::newRow("12") << qint64(12) << f << u"двенадцать"_s;
        QTest::newRow("19") << qint64(19) << m << u"девятнадцать"_s;
        QTest::newRow("21 feminine") << qint64(21) << f << u"двадцать одна"_s;
        QTest::newRow("40") << qint64(40) << m << u"сорок"_s;
        QTest::newRow("101") << qint64(101) << m << u"сто один"_s;
        QTest::newRow("999") << qint64(999) << m << u"девятьсот девяносто девять"_s;
        QTest::newRow("1000") << qint64(1000) << m << u"одна тысяча"_s;
        QTest::newRow("1001") << qint64(1001) << m << u"одна тысяча один"_s;
        QTest::newRow("2000") << qint64(2000) << m << u"две тысячи"_s;
        QTest::newRow("5000") << qint64(5000) << m << u"пять тысяч"_s;
        QTest::newRow("11000") << qint64(11000) << m << u"одиннадцать тысяч"_s;
        QTest::newRow("21000") << qint64(21000) << m << u"двадцать одна тысяча"_s;
        QTest::newRow("112 thousand 2") << qint64(112002) << f << u"сто двенадцать тысяч две"_s;
        QTest::newRow("1000000") << qint64(1000000) << m << u"один миллион"_s;
        QTest::newRow("2000001") << qint64(2000001) << m << u"два миллиона один"_s;
        QTest::newRow("5 million 1 thousand") << qint64(5001000) << m << u"пять миллионов одна тысяча"_s;
        QTest::newRow("2000000000") << qint64(2000000000) << m << u"два миллиарда"_s;
        QTest::newRow("2147483647") << qint64(2147483647) << m
                                    << u"два миллиарда сто сорок семь миллионов четыреста восемьдесят три "
                                       u"тысячи шестьсот сорок семь"_s;
        QTest::newRow("negative") << qint64(-21) << f << u"минус двадцать одна"_s;
        QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << m
                                  << u"минус девять квинтиллионов двести двадцать три квадриллиона триста "
                                     u"семьдесят два триллиона тридцать шесть миллиардов восемьсот пятьдесят "
                                     u"четыре миллиона семьсот семьдесят пять тысяч восемьсот восемь"_s;
    }

    void number()
    {
        QFETCH(qint64, value);
        QFETCH(Gender, gender);
        QFETCH(QString, words);
        QCOMPARE(amountInWords::number(value, gender), words);
    }

    // The rubles in words agreeing with their noun, the kopecks as two digits with theirs.
    void rubles_data()
    {
        QTest::addColumn<qint64>("kopecks");
        QTest::addColumn<QString>("words");
        QTest::newRow("zero") << qint64(0) << u"ноль рублей 00 копеек"_s;
        QTest::newRow("one kopeck") << qint64(1) << u"ноль рублей 01 копейка"_s;
        QTest::newRow("1 ruble 02") << qint64(102) << u"один рубль 02 копейки"_s;
        QTest::newRow("2 rubles 05") << qint64(205) << u"два рубля 05 копеек"_s;
        QTest::newRow("5 rubles 11") << qint64(511) << u"пять рублей 11 копеек"_s;
        QTest::newRow("11 rubles 21") << qint64(1121) << u"одиннадцать рублей 21 копейка"_s;
        QTest::newRow("21 rubles 14") << qint64(2114) << u"двадцать один рубль 14 копеек"_s;
        QTest::newRow("1000 rubles") << qint64(100000) << u"одна тысяча рублей 00 копеек"_s;
        QTest::newRow("2000 rubles 99") << qint64(200099) << u"две тысячи рублей 99 копеек"_s;
        QTest::newRow("1000000 rubles") << qint64(100000000) << u"один миллион рублей 00 копеек"_s;
        QTest::newRow("negative") << qint64(-150) << u"минус один рубль 50 копеек"_s;
    }

    void rubles()
    {
        QFETCH(qint64, kopecks);
        QFETCH(QString, words);
        QCOMPARE(amountInWords::rubles(kopecks), words);
    }

    void lineCount()
    {
        QCOMPARE(amountInWords::lineCount(21), u"двадцать один"_s);
        QCOMPARE(amountInWords::lineCount(112), u"сто двенадцать"_s);
    }
};

QTEST_APPLESS_MAIN(tst_AmountInWords)
#include "tst_AmountInWords.moc"
