#include "ServerKitchen.h"
#include "TestDataDir.h"

#include "store/Maintenance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Maintenance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void logListsTwentyTablesThenEndLine()
    {
        SKIP_ON_SERVER("the maintenance of the database file");
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
        // The file's maintenance on any run: a server kitchen's has no copy of its own to name.
        TestDataDir data(true, TestDataDir::Engine::File);
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
        SKIP_ON_SERVER("the copy of the database file");
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
        SKIP_ON_SERVER("the maintenance of the database file");
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

    // On a server only a table's owner rebuilds and purges it: the owner gets every table done, another
    // user a refusal naming the right for each, and the run still ends with its end line.
    void serverTablesAreMaintainedByTheirOwner()
    {
        if (ServerKitchen::server().isEmpty())
            QSKIP("no test server named");
        ServerKitchen kitchen;
        QVERIFY(execSql(kitchen.db(), u"DELETE FROM Gring"_s));
        QStringList log;
        QVERIFY(Maintenance::runOnServer(ServerKitchen::server(), kitchen.kitchen(),
                                         [&](const QString& line) { log << line; }));
        const QStringList everyTable =
            Maintenance::tableFiles() + QStringList{u" "_s, Maintenance::endLine()};
        QCOMPARE(log, everyTable);

        const QString cook = u"cook_%1"_s.arg(QCoreApplication::applicationPid());
        // A user with the kitchen's data but not its tables: the role a second workstation may have.
        for (const QString& grant :
             {u"CREATE ROLE %1 LOGIN"_s.arg(cook), u"GRANT CONNECT ON DATABASE kuhnemer TO %1"_s.arg(cook),
              u"GRANT USAGE ON SCHEMA %1 TO %2"_s.arg(kitchen.kitchen(), cook),
              u"GRANT SELECT ON ALL TABLES IN SCHEMA %1 TO %2"_s.arg(kitchen.kitchen(), cook)})
            QVERIFY(execSql(kitchen.db(), grant));
        const auto dropRole = qScopeGuard([&] {
            execSql(kitchen.db(), u"DROP OWNED BY %1"_s.arg(cook));
            execSql(kitchen.db(), u"DROP ROLE %1"_s.arg(cook));
        });
        log.clear();
        QVERIFY(!Maintenance::runOnServer(ServerKitchen::server() + u" user="_s + cook, kitchen.kitchen(),
                                          [&](const QString& line) { log << line; }));
        QCOMPARE(log.first(), Maintenance::tableFiles().first());
        QVERIFY2(log.at(1).contains(u"нет права владельца таблицы"_s), qPrintable(log.at(1)));
        QCOMPARE(
            log.count(u"    Ошибка: нет права владельца таблицы (её владелец на сервере — \"kuhnemer\"): "
                      "индексацию и упаковку делает он или администратор сервера"_s),
            Maintenance::tableFiles().size());
        QCOMPARE(log.last(), Maintenance::endLine());
    }

    // A server kitchen's copy is pg_dump's archive, named only when whole; a copy that cannot be made
    // leaves nothing behind.
    void serverBackupIsWholeOrAbsent()
    {
        if (ServerKitchen::server().isEmpty())
            QSKIP("no test server named");
        ServerKitchen kitchen;
        QVERIFY(execSql(kitchen.db(), u"INSERT INTO Gring (Name) VALUES ('Овощи')"_s));
        QTemporaryDir dir;
        QString error;
        const QString copy =
            Maintenance::backupServer(ServerKitchen::server(), kitchen.kitchen(), dir.path(), &error);
        QVERIFY2(!copy.isEmpty(), qPrintable(error));
        const QDir folder(dir.filePath(u"backup"_s));
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(copy).fileName()});
        QFile archive(copy);
        QVERIFY(archive.open(QIODevice::ReadOnly));
        QVERIFY(archive.read(5) == "PGDMP"); // pg_dump's custom format, as pg_restore reads it
        archive.close();

        // Named a file that is there: refused, the file untouched.
        QVERIFY(
            Maintenance::backupServer(ServerKitchen::server(), kitchen.kitchen(), dir.path(), &error, copy)
                .isEmpty());
        QVERIFY2(error.contains(u"уже есть"_s), qPrintable(error));
        // A kitchen the server has not: pg_dump fails and no file is left.
        const QString missing = dir.filePath(u"missing.dump"_s);
        QVERIFY(Maintenance::backupServer(ServerKitchen::server() + u" dbname=nowhere"_s, kitchen.kitchen(),
                                          dir.path(), &error, missing)
                    .isEmpty());
        QVERIFY2(error.contains(u"pg_dump"_s), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_Maintenance)
#include "tst_Maintenance.moc"
