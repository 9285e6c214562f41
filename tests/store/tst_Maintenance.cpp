#include "TestDataDir.h"

#include "store/Maintenance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Maintenance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void logListsTwentyTablesThenEndLine()
    {
        TestDataDir data;
        data.insert(u"Gring"_s, {{u"Name"_s, u"Мясо"_s}});
        data.close();
        QStringList log;
        QVERIFY(Maintenance::run(data.dataDir(), [&](const QString& line) { log << line; }));
        QStringList expected = Maintenance::tableFiles();
        expected << u" "_s << u"<<<   Индексация закончена   >>>"_s;
        QCOMPARE(log, expected);
        QCOMPARE(QDir(data.dataDir() + u"/backup"_s).entryList(QDir::Files).size(), 1);
        auto db = Database::open(data.dataDir(), nullptr, u"after"_s);
        QVERIFY(db);
        db->close();
    }

    // Stopped before a table or before the purge, the run logs the stop and the end line, does no
    // more and reports the run incomplete; the kitchen opens as before.
    void stoppedBetweenSteps_data()
    {
        QTest::addColumn<int>("stopAt");
        QTest::newRow("before the first table") << 0;
        QTest::newRow("before the fifth table") << 4;
        QTest::newRow("before the purge") << int(Maintenance::tableFiles().size());
    }
    void stoppedBetweenSteps()
    {
        QFETCH(int, stopAt);
        TestDataDir data;
        data.insert(u"Gring"_s, {{u"Name"_s, u"Мясо"_s}});
        data.close();
        QStringList log;
        QList<int> steps;
        QVERIFY(!Maintenance::run(
            data.dataDir(), [&](const QString& line) { log << line; },
            [&](int n, int total) {
                steps << n;
                [&] { QCOMPARE(total, int(Maintenance::tableFiles().size()) + 1); }();
                return n < stopAt;
            }));
        // An incomplete run names the copy made before it.
        QVERIFY(log.size() > 3 && log.at(log.size() - 3).startsWith(u"Резервная копия базы: "_s));
        log.removeAt(log.size() - 3);
        QStringList expected = Maintenance::tableFiles().mid(0, stopAt);
        expected << Maintenance::stoppedLine() << u" "_s << Maintenance::endLine();
        QCOMPARE(log, expected);
        QCOMPARE(steps.last(), stopAt);
        auto db = Database::open(data.dataDir(), nullptr, u"after"_s);
        QVERIFY(db);
        QCOMPARE(QSqlQuery(u"SELECT Name FROM Gring"_s, db->connection()).next(), true);
        db->close();
    }

    void backupIsWholeOrAbsent()
    {
        TestDataDir data;
        // Several steps of the copy: a recipe of a few megabytes.
        data.insert(u"Bludo"_s, {{u"Name"_s, u"Борщ"_s}, {u"Recept"_s, QString(1'500'000, u'щ')}});
        data.close();
        const QDir folder(data.dataDir() + u"/backup"_s);
        const QStringList copies = {u"*.sqlite"_s};

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
        for (const QString& name : {u"kuhnemer-20261201-120000.sqlite.partial"_s,
                                    u"kuhnemer-20261201-120000.sqlite.partial-journal"_s}) {
            QFile leftover(folder.filePath(name));
            QVERIFY(leftover.open(QIODevice::WriteOnly));
            leftover.write(QByteArray(8192, 'x'));
        }
        int wholeSteps = 0;
        const QString copy =
            Maintenance::backup(data.dataDir(), &error, [&](const QString&) { return ++wholeSteps > 0; });
        QVERIFY2(!copy.isEmpty(), qPrintable(error));
        QVERIFY(wholeSteps > 1);
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(copy).fileName()});
        auto db = Database::create(copy, &error, u"copy"_s);
        QVERIFY(db);
        {
            QSqlQuery query(db->connection());
            QVERIFY(query.exec(u"SELECT length(Recept) FROM Bludo"_s) && query.next());
            QCOMPARE(query.value(0).toInt(), 1'500'000);
        }
        db->close();
    }

    void failingTableIsLoggedAndTheRestDone()
    {
        TestDataDir data;
        QVERIFY(execSql(data.db(), u"DROP TABLE Sklad"_s));
        data.close();
        QStringList log;
        QVERIFY(!Maintenance::run(data.dataDir(), [&](const QString& line) { log << line; }));
        const qsizetype sklad = log.indexOf(u"Sklad.db"_s);
        QVERIFY(sklad > 0);
        QVERIFY(log.at(sklad + 1).contains(u"Ошибка"_s));
        QVERIFY(log.contains(u"SvodB.db"_s));
        QCOMPARE(log.last(), u"<<<   Индексация закончена   >>>"_s);
    }
};

QTEST_GUILESS_MAIN(tst_Maintenance)
#include "tst_Maintenance.moc"
