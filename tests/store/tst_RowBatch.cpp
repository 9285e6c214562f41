#include "TestDataDir.h"

#include "store/PreparedStatement.h"
#include "store/RowBatch.h"
#include "store/RowUpdate.h"

#include <QSqlQuery>
#include <QTest>

// The engine-level statements the postings write and read through: every row written once and in
// order across statement boundaries, values of every kind kept, errors in the program's words.
class tst_RowBatch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesEveryRowInOrder_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("one full statement") << RowBatch::rowsPerStatement;
        QTest::newRow("one past a statement") << RowBatch::rowsPerStatement + 1;
        QTest::newRow("two and a half statements") << RowBatch::rowsPerStatement * 5 / 2;
    }
    void writesEveryRowInOrder()
    {
        QFETCH(int, rows);
        TestDataDir data;
        RowBatch batch(data.db(), u"Move"_s,
                       {u"Kod1"_s, u"Date"_s, u"Kod"_s, u"Kolvo"_s, u"Oper"_s, u"Cena"_s},
                       {7, u"2024-03-20"_s});
        QString error;
        for (int i = 0; i < rows; ++i) {
            QVERIFY2(batch.add(
                         {i + 1, i + 0.25, i % 2 ? u"Расход"_s : u"P"_s, i % 3 ? QVariant(12.5) : QVariant()},
                         &error),
                     qPrintable(error));
        }
        QVERIFY2(batch.flush(&error), qPrintable(error));
        QVERIFY2(batch.flush(&error), "a second flush writes nothing");

        QSqlQuery query(u"SELECT Kod1, Date, Kod, Kolvo, Oper, Cena FROM Move ORDER BY Nnn"_s, data.db());
        int i = 0;
        for (; query.next(); ++i) {
            QCOMPARE(query.value(0).toInt(), 7);
            QCOMPARE(query.value(1).toString(), u"2024-03-20"_s);
            QCOMPARE(query.value(2).toInt(), i + 1);
            QCOMPARE(query.value(3).toDouble(), i + 0.25);
            QCOMPARE(query.value(4).toString(), i % 2 ? u"Расход"_s : u"P"_s);
            QCOMPARE(query.value(5).isNull(), i % 3 == 0);
        }
        QCOMPARE(i, rows);
    }

    // Fields of many rows by key, across statement boundaries: each row named takes its values, a key
    // met twice its later ones, a key naming no row changes nothing, and a row not named stays.
    void updatesEveryRowNamed_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("one full statement") << RowUpdate::rowsPerStatement;
        QTest::newRow("two and a half statements") << RowUpdate::rowsPerStatement * 5 / 2;
    }
    void updatesEveryRowNamed()
    {
        QFETCH(int, rows);
        TestDataDir data;
        QList<qlonglong> keys;
        for (int i = 0; i <= rows; ++i)
            keys << data.insert(u"Ing"_s,
                                {{u"Name"_s, u"Ингредиент %1"_s.arg(i)}, {u"Kolvo"_s, 1}, {u"Cena"_s, 2}});
        RowUpdate update(data.db(), u"Ing"_s, u"Kod1"_s, {u"Kolvo"_s, u"Cena"_s});
        QString error;
        for (int i = 0; i < rows; ++i)
            QVERIFY2(update.add(keys[i], {i + 0.25, i % 3 ? QVariant(12.5 + i) : QVariant()}, &error),
                     qPrintable(error));
        if (rows > 0)
            QVERIFY2(update.add(keys[0], {-1.5, 7.0}, &error), qPrintable(error));
        QVERIFY2(update.add(keys.last() + 1000, {99.0, 99.0}, &error), qPrintable(error));
        QVERIFY2(update.flush(&error), qPrintable(error));
        QVERIFY2(update.flush(&error), "a second flush writes nothing");

        QSqlQuery query(u"SELECT Kolvo, Cena FROM Ing ORDER BY Kod1"_s, data.db());
        int i = 0;
        for (; query.next(); ++i) {
            const QVariant price = i == rows ? QVariant(2.0)
                                   : i == 0  ? QVariant(7.0)
                                   : i % 3   ? QVariant(12.5 + i)
                                             : QVariant();
            QCOMPARE(query.value(0).toDouble(), i == rows ? 1.0 : i == 0 ? -1.5 : i + 0.25);
            QCOMPARE(query.isNull(1), price.isNull());
            QCOMPARE(query.value(1).toDouble(), price.toDouble());
        }
        QCOMPARE(i, rows + 1);
    }

    void reportsTheRefusedRow()
    {
        TestDataDir data;
        RowBatch batch(data.db(), u"Move"_s, {u"Kod"_s, u"Oper"_s});
        QString error;
        bool ok = true;
        for (int i = 0; i < RowBatch::rowsPerStatement + 3; ++i)
            ok = ok &&
                 batch.add({i, i == RowBatch::rowsPerStatement + 1 ? u"слишком длинная"_s : u"P"_s}, &error);
        ok = ok && batch.flush(&error);
        QVERIFY(!ok);
        QVERIFY2(error.contains(u"значение не допускается таблицей"_s), qPrintable(error));
        // The first statement went through; the caller's transaction decides what stays.
        QCOMPARE(data.scalar(u"SELECT count(*) FROM Move"_s).toInt(), RowBatch::rowsPerStatement);
    }

    void readsValuesAsStored()
    {
        TestDataDir data;
        data.insert(u"inv"_s, {{u"Kod"_s, 3}, {u"Ing22"_s, u"Ёжевика"_s}, {u"NewKolvo"_s, 2.5}});
        QString error;
        PreparedStatement read(data.db(), u"SELECT Nnn, Ing22, NewKolvo, Newprice FROM inv WHERE Kod = ?"_s,
                               &error);
        QVERIFY2(read.isValid() && read.bind({3}, &error), qPrintable(error));
        QVERIFY2(read.next(&error), qPrintable(error));
        QCOMPARE(read.value(0).typeId(), QMetaType::LongLong);
        QCOMPARE(read.value(1), QVariant(u"Ёжевика"_s));
        QCOMPARE(read.value(2), QVariant(2.5));
        QCOMPARE(read.number(2), 2.5);
        QVERIFY(read.value(3).isNull());
        QVERIFY(!read.next(&error));
        QVERIFY(error.isEmpty());
        // Run again with other values after the end.
        QVERIFY(read.bind({4}, &error));
        QVERIFY(!read.next(&error));

        PreparedStatement broken(data.db(), u"SELECT missing FROM nowhere"_s, &error);
        QVERIFY(!broken.isValid());
        QVERIFY2(error.contains(u"nowhere"_s), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(tst_RowBatch)
#include "tst_RowBatch.moc"
