#include "store/Rounding.h"

#include <QTest>

class tst_Rounding : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wholeNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("half down to even") << 2.5 << 2.0;
        QTest::newRow("half up to even") << 3.5 << 4.0;
        QTest::newRow("negative half") << -2.5 << -2.0;
        QTest::newRow("below half") << 12.49 << 12.0;
        QTest::newRow("above half") << 12.51 << 13.0;
        QTest::newRow("zero and a half") << 0.5 << 0.0;
        QTest::newRow("just below a half") << 0.49999999999999994 << 0.0;
        QTest::newRow("nines carry") << 99.5 << 100.0;
    }
    void wholeNumber()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(rounding::wholeNumber(value), expected);
        QCOMPARE(rounding::toInt(value), int(expected));
    }

    void toKopeck_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("0.125 goes down") << 0.125 << 0.12;
        QTest::newRow("0.375 goes up") << 0.375 << 0.38;
        QTest::newRow("6.6 stays") << 6.6 << 6.6;
        QTest::newRow("ordinary") << 12.957 << 12.96;
        QTest::newRow("negative") << -1.005 << -1.0;
        // Halves in decimal whose binary form times 100 lies on the other side of the half.
        QTest::newRow("0.07 / 2") << 0.07 / 2 << 0.04;
        QTest::newRow("0.045") << 0.045 << 0.04;
        QTest::newRow("8.345") << 8.345 << 8.34;
        QTest::newRow("1.255") << 1.255 << 1.26;
        QTest::newRow("4.015") << 4.015 << 4.02;
        QTest::newRow("10.005") << 10.005 << 10.0;
        QTest::newRow("carry into a new digit") << 9.995 << 10.0;
        QTest::newRow("below the last kopeck") << 0.004 << 0.0;
        QTest::newRow("a hair above a half") << 0.0050000001 << 0.01;
        QTest::newRow("tiny") << 1e-20 << 0.0;
        QTest::newRow("large") << 123456789012.345 << 123456789012.34;
    }
    void toKopeck()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(rounding::toKopeck(value), expected);
    }
};

QTEST_GUILESS_MAIN(tst_Rounding)
#include "tst_Rounding.moc"
