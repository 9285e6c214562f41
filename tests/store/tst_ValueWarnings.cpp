#include "store/ValueWarnings.h"

#include <QTest>

class tst_ValueWarnings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void divisorsAreMarked_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("semiFinished");
        QTest::addColumn<QString>("start");
        QTest::newRow("unit of 0 grams") << "Edinica"
                                         << "Gramm" << QVariant(0.0) << false << "Вес единицы";
        QTest::newRow("unit without grams") << "Edinica"
                                            << "Gramm" << QVariant() << false << "Вес единицы";
        QTest::newRow("unit of 1000 grams") << "Edinica"
                                            << "Gramm" << QVariant(1000.0) << false << "";
        QTest::newRow("negative yield") << "Ing"
                                        << "Vih" << QVariant(-5.0) << false << "Процент выхода";
        QTest::newRow("yield of a semi-finished product") << "Ing"
                                                          << "Vih" << QVariant(0.0) << true << "";
        QTest::newRow("negative price") << "Ing"
                                        << "Cena" << QVariant(-1.0) << false << "Цена меньше нуля";
        QTest::newRow("empty price") << "Ing"
                                     << "Cena" << QVariant() << false << "";
        QTest::newRow("card line yield") << "Karta"
                                         << "Vihod" << QVariant(0.0) << false << "Процент выхода";
        QTest::newRow("card line of a semi-finished product") << "Karta"
                                                              << "Vihod" << QVariant() << true << "";
        QTest::newRow("dish of 0 portions") << "Bludo"
                                            << "Nporc" << QVariant(0.0) << false << "Выход блюда";
        QTest::newRow("markup is no divisor") << "Ing"
                                              << "Proc" << QVariant(0.0) << false << "";
    }
    void divisorsAreMarked()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, semiFinished);
        QFETCH(QString, start);
        const QString warning = valuewarnings::forField(table, field, value, semiFinished);
        if (start.isEmpty())
            QVERIFY2(warning.isEmpty(), qPrintable(warning));
        else
            QVERIFY2(warning.startsWith(start), qPrintable(warning));
    }
};

QTEST_GUILESS_MAIN(tst_ValueWarnings)
#include "tst_ValueWarnings.moc"
