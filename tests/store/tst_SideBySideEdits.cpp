#include "ServerKitchen.h"

#include "store/TableModel.h"

#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

// Two workstations editing one server kitchen's grids: an edit is written only over the values it
// started from, and the other workstation's change shows when the view is read again.
class tst_SideBySideEdits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (ServerKitchen::server().isEmpty())
            QSKIP("no test server named");
    }

    void editOverAnotherWorkstationsChange_data()
    {
        QTest::addColumn<QString>("elsewhere");
        QTest::addColumn<bool>("posted");
        QTest::addColumn<QString>("stored");
        QTest::newRow("same field changed: reported, nothing overwritten")
            << u"UPDATE Edinica SET Name = 'кило'"_s << false << u"кило/1000"_s;
        QTest::newRow("row deleted: reported") << u"DELETE FROM Edinica"_s << false << QString();
        QTest::newRow("another field changed: both kept")
            << u"UPDATE Edinica SET Gramm = 999"_s << true << u"килограмм/999"_s;
    }
    void editOverAnotherWorkstationsChange()
    {
        QFETCH(QString, elsewhere);
        QFETCH(bool, posted);
        QFETCH(QString, stored);
        ServerKitchen kitchen;
        QVERIFY(execSql(kitchen.db(), u"INSERT INTO Edinica (Name, Gramm) VALUES ('кг', 1000)"_s));
        QString error;
        auto other = Database::openServer(ServerKitchen::server(), kitchen.kitchen(), &error, u"other"_s);
        QVERIFY2(other, qPrintable(error));

        TableModel mine(kitchen.db(), {u"Edinica"_s, {u"Name"_s}});
        QVERIFY(mine.open());
        QVERIFY(mine.setFieldValue(u"Name"_s, u"килограмм"_s));
        QVERIFY(execSql(other->connection(), elsewhere));
        QCOMPARE(mine.post(), posted);
        if (!posted)
            QVERIFY2(mine.lastError().contains(u"другой программой"_s), qPrintable(mine.lastError()));
        QSqlQuery row(u"SELECT Name || '/' || Gramm FROM Edinica"_s, kitchen.db());
        QCOMPARE(row.next() ? row.value(0).toString() : QString(), stored);
        other->close();
    }

    void viewReadAgainShowsAnotherWorkstationsChange()
    {
        ServerKitchen kitchen;
        QVERIFY(execSql(kitchen.db(), u"INSERT INTO Gring (Name) VALUES ('Овощи')"_s));
        QString error;
        auto other = Database::openServer(ServerKitchen::server(), kitchen.kitchen(), &error, u"other"_s);
        QVERIFY2(other, qPrintable(error));
        TableModel mine(kitchen.db(), {u"Gring"_s, {u"Name"_s}});
        QVERIFY(mine.open());
        QVERIFY(execSql(other->connection(), u"UPDATE Gring SET Name = 'Зелень'"_s));
        QVERIFY(execSql(other->connection(), u"INSERT INTO Gring (Name) VALUES ('Мясо')"_s));
        QCOMPARE(mine.value(0, u"Name"_s).toString(), u"Овощи"_s);
        QVERIFY(mine.refresh());
        QCOMPARE(mine.rowCount(), 2);
        QCOMPARE(mine.value(0, u"Name"_s).toString(), u"Зелень"_s);
        QCOMPARE(mine.value(1, u"Name"_s).toString(), u"Мясо"_s);
        other->close();
    }
};

QTEST_GUILESS_MAIN(tst_SideBySideEdits)
#include "tst_SideBySideEdits.moc"
