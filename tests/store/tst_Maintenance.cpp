#include "TestDataDir.h"

#include "store/Maintenance.h"

#include <QDir>
#include <QTest>

class tst_Maintenance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void logListsTwentyTablesThenEndLine()
    {
        TestDataDir data;
        data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), QStringLiteral("Мясо")}});
        data.close();
        QStringList log;
        QVERIFY(Maintenance::run(data.dataDir(), [&](const QString& line) { log << line; }));
        QStringList expected = Maintenance::tableFiles();
        expected << QStringLiteral(" ") << QStringLiteral("<<<   Индексация закончена   >>>");
        QCOMPARE(log, expected);
        QCOMPARE(QDir(data.dataDir() + QStringLiteral("/backup")).entryList(QDir::Files).size(), 1);
        auto db = Database::open(data.dataDir(), nullptr, QStringLiteral("after"));
        QVERIFY(db);
        db->close();
    }

    void failingTableIsLoggedAndTheRestDone()
    {
        TestDataDir data;
        QVERIFY(execSql(data.db(), QStringLiteral("DROP TABLE Sklad")));
        data.close();
        QStringList log;
        QVERIFY(!Maintenance::run(data.dataDir(), [&](const QString& line) { log << line; }));
        const qsizetype sklad = log.indexOf(QStringLiteral("Sklad.db"));
        QVERIFY(sklad > 0);
        QVERIFY(log.at(sklad + 1).contains(QStringLiteral("Ошибка")));
        QVERIFY(log.contains(QStringLiteral("SvodB.db")));
        QCOMPARE(log.last(), QStringLiteral("<<<   Индексация закончена   >>>"));
    }
};

QTEST_GUILESS_MAIN(tst_Maintenance)
#include "tst_Maintenance.moc"
