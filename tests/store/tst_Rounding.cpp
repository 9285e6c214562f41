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
