#include "TestDataDir.h"

#include "store/Maintenance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
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

    void backupIsWholeOrAbsent()
    {
        TestDataDir data;
        // Several steps of the copy: a recipe of a few megabytes.
        data.insert(QStringLiteral("Bludo"), {{QStringLiteral("Name"), QStringLiteral("Борщ")},
                                              {QStringLiteral("Recept"), QString(1'500'000, u'щ')}});
        data.close();
        const QDir folder(data.dataDir() + QStringLiteral("/backup"));
        const QStringList copies = {QStringLiteral("*.sqlite")};

        // Stopped during the copy: nothing carries a backup's name, then or after.
        int steps = 0;
        QString error;
        const QString stopped = Maintenance::backup(data.dataDir(), &error, [&](const QString& partial) {
            ++steps;
            [&] {
                QVERIFY(QFileInfo::exists(partial));
                QVERIFY(folder.entryList(copies, QDir::Files).isEmpty());
            }();
            return false;
        });
        QVERIFY(stopped.isEmpty());
        QCOMPARE(steps, 1);
        QVERIFY(folder.entryList(copies, QDir::Files).isEmpty());

        // A half-written copy left by a crash goes at the next maintenance; the new copy is whole.
        QFile leftover(folder.filePath(QStringLiteral("kuhnemer-20261201-120000.sqlite.partial")));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write(QByteArray(8192, 'x'));
        leftover.close();
        int wholeSteps = 0;
        const QString copy = Maintenance::backup(data.dataDir(), &error, [&](const QString&) { return ++wholeSteps > 0; });
        QVERIFY2(!copy.isEmpty(), qPrintable(error));
        QVERIFY(wholeSteps > 1);
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(copy).fileName()});
        auto db = Database::create(copy, &error, QStringLiteral("copy"));
        QVERIFY(db);
        {
            QSqlQuery query(db->connection());
            QVERIFY(query.exec(QStringLiteral("SELECT length(Recept) FROM Bludo")) && query.next());
            QCOMPARE(query.value(0).toInt(), 1'500'000);
        }
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
