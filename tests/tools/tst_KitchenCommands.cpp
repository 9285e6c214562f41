#include "CommandRun.h"
#include "ServerDatabase.h"
#include "ServerKitchen.h"
#include "TestDataDir.h"

#include "FaultInjection.h"

#include "costing/CostingCardPrint.h"
#include "GuiScript.h"
#include "OldKitchen.h"
#include "RecordingLauncher.h"
#include "reports/ReportOutput.h"
#include "reports/Workbook.h"
#include "ScriptedPrompts.h"
#include "store/KitchenLock.h"
#include "store/KitchenPresence.h"
#include "tools/KitchenCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Every row of every table of a kitchen as sorted text lines: a moved kitchen writes its tables'
// highest keys (sqlite_sequence) in another order than the kitchen's own history did.
QStringList snapshotLines(const QString& dataDir)
{
    QString error;
    auto db = Database::open(dataDir, &error, u"snapshot"_s);
    if (!db)
        return {error};
    QStringList lines = databaseSnapshot(db->connection()).split(u'\n');
    db->close();
    lines.sort();
    return lines;
}

// A kitchen the commands make themselves: DATA in a temporary folder, and on a server run the tables on
// the test server under a name of their own, dropped afterwards.
struct MadeKitchen
{
    QTemporaryDir root;
    QString dataDir = root.filePath(u"DATA"_s);
    QString name = u"made_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++counter);
    inline static int counter = 0;

    // On a server the folder is the workstation's, there before the kitchen (the menu print's texts).
    MadeKitchen()
    {
        if (TestDataDir::serverRun())
            QDir().mkpath(dataDir);
    }

    // The directory and, on a server run, where the tables are, as a command takes them after its name.
    QStringList where() const
    {
        QStringList result{dataDir};
        if (TestDataDir::serverRun())
            result << u"--server"_s << ServerKitchen::server() << u"--kitchen"_s << name;
        return result;
    }
    std::optional<Database> open(QString* error) const
    {
        return TestDataDir::serverRun() ? Database::openServer(ServerKitchen::server(), name, error, name)
                                        : Database::open(dataDir, error, name);
    }
    ~MadeKitchen()
    {
        if (!TestDataDir::serverRun())
            return;
        QString error;
        if (auto db = Database::openServer(ServerKitchen::server(), name, &error, u"drop"_s,
                                           Database::Shape::AnyVersion)) {
            execSql(db->connection(), u"DROP SCHEMA "_s + name + u" CASCADE"_s);
            db->close();
        }
    }
};

} // namespace

class tst_KitchenCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("demo without a directory") << QStringList{u"create"_s, u"--demo"_s};
        QTest::newRow("unknown command") << QStringList{u"grow"_s, u"DATA"_s};
        QTest::newRow("unknown option") << QStringList{u"create"_s, u"DATA"_s, u"--big"_s};
        QTest::newRow("option to check") << QStringList{u"check"_s, u"DATA"_s, u"--demo"_s};
        QTest::newRow("server without an address") << QStringList{u"check"_s, u"DATA"_s, u"--server"_s};
        QTest::newRow("kitchen without a server")
            << QStringList{u"check"_s, u"DATA"_s, u"--kitchen"_s, u"k"_s};
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const QString before = QDir::currentPath();
        QTemporaryDir here;
        QDir::setCurrent(here.path());
        const CommandOutcome outcome = runCommand(arguments);
        QDir::setCurrent(before);
        QCOMPARE(outcome.code, commands::usageError);
        QVERIFY(outcome.err.contains(u"upgrade КАТАЛОГ"_s));
        QVERIFY(QDir(here.path()).isEmpty()); // no folder named after an option
    }

    void helpListsEveryCommand()
    {
        const CommandOutcome outcome = runCommand({u"--help"_s});
        QCOMPARE(outcome.code, commands::done);
        for (const char* command : {"create", "check", "upgrade"})
            QVERIFY(outcome.out.contains(QLatin1String(command)));
    }

    // A server's pages are checked by its amcheck extension, which its administrator installs and
    // grants: without either the check says what is missing, still checks the rest and fails.
    void serverPagesCheckedByTheServer()
    {
        if (ServerKitchen::server().isEmpty())
            QSKIP("no test server named");
        // A database of its own: the test server's has the extension installed.
        ServerDatabase database(u"pages"_s);
        const QStringList where = {u"--server"_s, database.server(), u"--kitchen"_s, u"pages"_s};
        QTemporaryDir here;
        QCOMPARE(runCommand(QStringList{u"create"_s, here.path()} + where).code, commands::done);
        const QStringList check = QStringList{u"check"_s, here.path()} + where;

        CommandOutcome outcome = runCommand(check);
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY2(outcome.err.contains(u"CREATE EXTENSION amcheck"_s), qPrintable(outcome.err));
        QVERIFY2(outcome.out.contains(u"Других ошибок не найдено."_s), qPrintable(outcome.out));

        const QString cook = u"pagecook_%1"_s.arg(QCoreApplication::applicationPid());
        {
            QString error;
            auto db = Database::openServer(database.server(), u"pages"_s, &error, u"grant"_s);
            QVERIFY2(db, qPrintable(error));
            // A user with the kitchen's data but not the check: the role a second workstation may have.
            for (const QString& grant :
                 {u"CREATE EXTENSION amcheck SCHEMA public"_s, u"CREATE ROLE %1 LOGIN"_s.arg(cook),
                  u"GRANT USAGE ON SCHEMA pages TO %1"_s.arg(cook),
                  u"GRANT SELECT ON ALL TABLES IN SCHEMA pages TO %1"_s.arg(cook)})
                QVERIFY2(execSql(db->connection(), grant, {}, &error), qPrintable(error));
            db->close();
        }
        const auto dropRole = qScopeGuard([&] {
            QString error;
            if (auto db = Database::openServer(database.server(), u"pages"_s, &error, u"drop"_s)) {
                execSql(db->connection(), u"DROP OWNED BY %1"_s.arg(cook));
                execSql(db->connection(), u"DROP ROLE %1"_s.arg(cook));
                db->close();
            }
        });
        outcome = runCommand(check);
        QVERIFY2(outcome.code == commands::done && outcome.out.contains(u"Ошибок не найдено."_s),
                 qPrintable(outcome.out + outcome.err));

        QStringList asCook = check;
        asCook[asCook.indexOf(database.server())] = database.server() + u" user="_s + cook;
        outcome = runCommand(asCook);
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY2(outcome.err.contains(u"нет права"_s) && outcome.err.contains(u"EXECUTE"_s),
                 qPrintable(outcome.err));
        QVERIFY2(outcome.out.contains(u"Других ошибок не найдено."_s), qPrintable(outcome.out));
    }

    void serverKitchen()
    {
        const QString server = ServerKitchen::server();
        if (server.isEmpty())
            QSKIP("no test server named");
        const QString name = u"commands_%1"_s.arg(QCoreApplication::applicationPid());
        const QStringList where = {u"--server"_s, server, u"--kitchen"_s, name};
        const auto dropKitchen = qScopeGuard([&] {
            QString error;
            if (auto db =
                    Database::openServer(server, name, &error, u"drop"_s, Database::Shape::AnyVersion)) {
                execSql(db->connection(), u"DROP SCHEMA "_s + name + u" CASCADE"_s);
                db->close();
            }
        });
        const QString before = QDir::currentPath();
        QTemporaryDir here;
        QDir::setCurrent(here.path());
        const CommandOutcome made = runCommand(QStringList{u"create"_s} + where);
        const CommandOutcome again = runCommand(QStringList{u"create"_s} + where);
        const CommandOutcome checked = runCommand(QStringList{u"check"_s} + where);
        const CommandOutcome copied = runCommand(QStringList{u"backup"_s} + where);
        QDir::setCurrent(before);
        QVERIFY2(made.code == commands::done && made.out.contains(name), qPrintable(made.err));
        // The tables are on the server, not in the folder; only the backup went there.
        QCOMPARE(QDir(here.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"backup"_s});
        QCOMPARE(again.code, commands::failed);
        QVERIFY2(again.err.contains(u"уже есть"_s), qPrintable(again.err));
        QVERIFY2(checked.code == commands::done && checked.out.contains(u"Ошибок не найдено"_s),
                 qPrintable(checked.out + checked.err));
        QVERIFY2(copied.code == commands::done, qPrintable(copied.err));
        const QStringList dumps = QDir(here.filePath(u"backup"_s)).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(dumps.size(), 1);
        QVERIFY2(dumps.first().startsWith(name) && dumps.first().endsWith(u".dump"_s),
                 qPrintable(dumps.first()));
    }

    void kitchenMovedToTheServerAndBack()
    {
        const QString server = ServerKitchen::server();
        if (server.isEmpty())
            QSKIP("no test server named");
        const QString name = u"moved_%1"_s.arg(QCoreApplication::applicationPid());
        const auto dropKitchen = qScopeGuard([&] {
            QString error;
            if (auto db =
                    Database::openServer(server, name, &error, u"drop"_s, Database::Shape::AnyVersion)) {
                execSql(db->connection(), u"DROP SCHEMA "_s + name + u" CASCADE"_s);
                db->close();
            }
        });
        QTemporaryDir dir;
        const QString there = dir.filePath(u"DATA"_s);
        const QString back = dir.filePath(u"BACK"_s);
        QString text;
        QTextStream out(&text), err(&text);
        QCOMPARE(commands::create(there, true, out, err), commands::done);
        {
            // A key given and deleted is never given again, on the server as after the way back.
            QString error;
            auto kitchen = Database::open(there, &error, u"keys"_s);
            QVERIFY2(kitchen, qPrintable(error));
            QVERIFY(
                execSql(kitchen->connection(), u"INSERT INTO Gring (Kod, Name) VALUES (900, 'удалённая')"_s));
            QVERIFY(execSql(kitchen->connection(), u"DELETE FROM Gring WHERE Kod = 900"_s));
            kitchen->close();
        }
        const CommandOutcome to = runCommand({u"move"_s, there, server, u"--kitchen"_s, name});
        QVERIFY2(to.code == commands::done, qPrintable(to.err));
        const CommandOutcome again = runCommand({u"move"_s, there, server, u"--kitchen"_s, name});
        QCOMPARE(again.code, commands::failed);
        QVERIFY2(again.err.contains(u"уже есть"_s), qPrintable(again.err));
        const CommandOutcome onto = runCommand({u"move"_s, server, there, u"--kitchen"_s, name});
        QCOMPARE(onto.code, commands::failed);
        {
            // A program working in the server kitchen keeps the move from reading it.
            QString error;
            auto program = Database::openServer(server, name, &error, u"program"_s);
            QVERIFY2(program && KitchenPresence::join(program->connection(), &error), qPrintable(error));
            const CommandOutcome refused = runCommand({u"move"_s, server, back, u"--kitchen"_s, name});
            program->close();
            QCOMPARE(refused.code, commands::failed);
            QVERIFY2(refused.err.contains(u"Перенос кухни"_s) &&
                         refused.err.contains(QSysInfo::machineHostName()),
                     qPrintable(refused.err));
            QVERIFY(!QFileInfo::exists(back));
        }
        const CommandOutcome from = runCommand({u"move"_s, server, back, u"--kitchen"_s, name});
        QVERIFY2(from.code == commands::done, qPrintable(from.err));
        QCOMPARE(from.out.section(u' ', -1), to.out.section(u' ', -1)); // the same number of rows
        const QStringList original = snapshotLines(there);
        QCOMPARE(snapshotLines(back), original);
        QVERIFY(original.contains(u"Gring|900|"_s));
    }

    void kitchenMovedWholeOrNotAtAll()
    {
        const QString server = ServerKitchen::server();
        if (server.isEmpty())
            QSKIP("no test server named");
        const QString name = u"refused_%1"_s.arg(QCoreApplication::applicationPid());
        TestDataDir data(true, TestDataDir::Engine::File);
        data.insert(u"Gring"_s, {{u"Name"_s, u"мясо"_s}});
        // SQLite's pattern check lets a day that does not exist through; the server's date refuses it.
        data.insert(u"Menu"_s, {{u"Date"_s, u"2026-02-30"_s}});
        data.close();
        const CommandOutcome moved = runCommand({u"move"_s, data.dataDir(), server, u"--kitchen"_s, name});
        QCOMPARE(moved.code, commands::failed);
        QVERIFY2(moved.err.contains(u"menu"_s, Qt::CaseInsensitive), qPrintable(moved.err));
        QString error;
        QVERIFY(!Database::openServer(server, name, &error, u"absent"_s));
        QVERIFY2(error.contains(u"не найдена"_s), qPrintable(error));
        // Nor is anything left under another name: the next try starts clean.
        QVERIFY(!Database::openServer(server, name + u"_partial"_s, &error, u"absent"_s));
        QVERIFY2(error.contains(u"не найдена"_s), qPrintable(error));
    }

    void checkFindsWhatStopsACalculation()
    {
        TestDataDir data;
        const QStringList check = QStringList{u"check"_s, data.dataDir()} + data.serverOptions();
        QCOMPARE(runCommand(check).code, commands::done);
        data.insert(u"Edinica"_s, {{u"Name"_s, u"пачка"_s}, {u"Gramm"_s, 0}});
        data.insert(
            u"Ing"_s,
            {{u"Name"_s, u"Соль"_s}, {u"Vih"_s, 100}, {u"Cena"_s, std::numeric_limits<double>::infinity()}});
        data.close();
        const CommandOutcome outcome = runCommand(check);
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY2(outcome.out.contains(u"\"пачка\""_s), qPrintable(outcome.out));
        QVERIFY2(outcome.out.contains(u"Ing.Cena"_s), qPrintable(outcome.out));
        QVERIFY(outcome.out.contains(u"Найдено ошибок: 2."_s));
    }

    // A kitchen whose tables another tool changed: the check names what differs and where, and the
    // program refuses a kitchen missing a field instead of failing later in the engine's words.
    void checkFindsTheSchemaChanged_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("finding");
        QTest::addColumn<bool>("opens");
        QTest::newRow("missing field")
            << u"ALTER TABLE Bludo DROP COLUMN Proc"_s << u"таблица Bludo: нет поля Proc"_s << false;
        QTest::newRow("extra field") << u"ALTER TABLE Bludo ADD COLUMN Extra REAL"_s
                                     << u"таблица Bludo: лишнее поле Extra"_s << true;
        QTest::newRow("missing index")
            << u"DROP INDEX Bludo_Name"_s << u"таблица Bludo: нет индекса Bludo_Name"_s << false;
        QTest::newRow("extra index") << u"CREATE INDEX Bludo_Extra ON Bludo (Cena)"_s
                                     << u"таблица Bludo: лишний индекс Bludo_Extra"_s << true;
        QTest::newRow("missing table") << u"DROP TABLE Realsum"_s << u"нет таблицы Realsum"_s << false;
        QTest::newRow("extra table") << u"CREATE TABLE Notes (Text TEXT)"_s << u"лишняя таблица Notes"_s
                                     << true;
        QTest::newRow("versions disagree")
            << u"UPDATE Version SET Number = 1"_s
            << u"версия в PRAGMA user_version %1, в таблице Version 1"_s.arg(Database::schemaVersion) << true;
    }
    void checkFindsTheSchemaChanged()
    {
        QFETCH(QString, change);
        QFETCH(QString, finding);
        QFETCH(bool, opens);
        SKIP_ON_SERVER("a data directory's file, its catalogue and version pragma");
        TestDataDir data;
        QSqlQuery query(data.db());
        QVERIFY2(query.exec(change), qPrintable(query.lastError().text()));
        query.finish();
        data.close();
        const CommandOutcome outcome = runCommand({u"check"_s, data.dataDir()});
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY2(outcome.out.contains(u"Схема: "_s + finding), qPrintable(outcome.out + outcome.err));

        QString error;
        std::optional<Database> db = Database::open(data.dataDir(), &error, u"reopened"_s);
        QCOMPARE(db.has_value(), opens);
        if (db)
            db->close();
        else
            QVERIFY2(error.contains(finding) && error.contains(u"kuhnemer-data check"_s), qPrintable(error));
    }

    void checkLeavesAFileThatIsNotOursAsItIs()
    {
        SKIP_ON_SERVER("a data directory's file");
        TestDataDir data(false);
        const QString file = Database::filePath(data.dataDir());
        QFile::resize(file, 0);
        const CommandOutcome outcome = runCommand({u"check"_s, data.dataDir()});
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY(outcome.err.contains(u"не является базой данных"_s));
        QCOMPARE(QFileInfo(file).size(), 0);
    }

    void backupIsWholeOrRefused()
    {
        SKIP_ON_SERVER("the copy of the database file");
        TestDataDir data;
        data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
        const QString file = data.root() + u"/copies/kitchen.sqlite"_s;
        // Runs while the kitchen is open elsewhere: the copy only reads.
        KitchenLock program(data.dataDir());
        QString error;
        QVERIFY(program.acquire(&error));
        const CommandOutcome first = runCommand({u"backup"_s, data.dataDir(), file});
        QCOMPARE(first.code, commands::done);
        QVERIFY(first.out.contains(u"kitchen.sqlite"_s));
        auto copy = Database::create(file, &error, u"copy"_s);
        QVERIFY(copy);
        {
            QSqlQuery query(copy->connection());
            QVERIFY(query.exec(u"SELECT Name FROM Gring"_s) && query.next());
            QCOMPARE(query.value(0).toString(), u"Овощи"_s);
        }
        copy->close();
        const CommandOutcome again = runCommand({u"backup"_s, data.dataDir(), file});
        QCOMPARE(again.code, commands::failed);
        QVERIFY(again.err.contains(u"уже есть"_s));
    }

    void repriceAndPrint_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("report");
        QTest::newRow("reprice") << QStringList{u"reprice"_s} << commands::done << "рассчитано блюд";
        QTest::newRow("cards of all groups")
            << QStringList{u"print"_s, u"cards"_s, u"--all"_s, u"--out"_s, u"OUT"_s} << commands::done
            << "Калькуляционные карты";
        QTest::newRow("cards of a group at cost")
            << QStringList{u"print"_s,  u"cards"_s, u"--group"_s, u"первые блюда"_s,
                           u"--cost"_s, u"--out"_s, u"OUT"_s}
            << commands::done << "Калькуляционные карты";
        QTest::newRow("menu") << QStringList{u"print"_s,  u"menu"_s,
                                             u"--menu"_s, u"Обед на 7 декабря"_s,
                                             u"--date"_s, u"2026-12-07"_s,
                                             u"--out"_s,  u"OUT"_s}
                              << commands::done << "Меню на 07.12.2026";
        // The demo kitchen's week gives every print-out something to print.
        QTest::newRow("sales tables of an open day")
            << QStringList{u"print"_s, u"sales"_s, u"--date"_s, u"2026-12-10"_s, u"--out"_s, u"OUT"_s}
            << commands::done << "Реализация 10.12.2026";
        QTest::newRow("cross table") << QStringList{u"print"_s,      u"cross"_s, u"--date"_s,
                                                    u"2026-12-08"_s, u"--out"_s, u"OUT"_s}
                                     << commands::done << "Раскладка ингредиентов";
        QTest::newRow("summary of the week")
            << QStringList{u"print"_s, u"summary"_s,    u"--from"_s, u"2026-12-07"_s,
                           u"--to"_s,  u"2026-12-11"_s, u"--out"_s,  u"OUT"_s}
            << commands::done << "документов: 5";
        QTest::newRow("inventory act")
            << QStringList{u"print"_s, u"inventory"_s, u"--inventory"_s, u"1"_s, u"--out"_s, u"OUT"_s}
            << commands::done << "Акт инвентаризации";
        QTest::newRow("inventory list")
            << QStringList{u"print"_s, u"inv3"_s, u"--inventory"_s, u"1"_s, u"--out"_s, u"OUT"_s}
            << commands::done << "ИНВ-3 Инвентаризационная опись от 06.12.2026";
        QTest::newRow("comparison sheet")
            << QStringList{u"print"_s, u"inv19"_s, u"--inventory"_s, u"1"_s, u"--out"_s, u"OUT"_s}
            << commands::done << "ИНВ-19 Сличительная ведомость";
        QTest::newRow("inventory that is not there")
            << QStringList{u"print"_s, u"inv3"_s, u"--inventory"_s, u"7"_s, u"--out"_s, u"OUT"_s}
            << commands::failed << "Инвентаризация 7 не найдена.";
        QTest::newRow("calculation cards of a group")
            << QStringList{u"print"_s, u"op1"_s, u"--group"_s, u"первые блюда"_s, u"--out"_s, u"OUT"_s}
            << commands::done << "ОП-1 Калькуляционные карточки: ";
        QTest::newRow("calculation cards on two days")
            << QStringList{u"print"_s,  u"op1"_s,        u"--dish"_s, u"Борщ со сметаной"_s,
                           u"--date"_s, u"2026-12-01"_s, u"--date"_s, u"2026-11-01"_s,
                           u"--out"_s,  u"OUT"_s}
            << commands::done << "ОП-1 Калькуляционные карточки: 1";
        QTest::newRow("calculation card on a day not read")
            << QStringList{u"print"_s,  u"op1"_s,        u"--dish"_s, u"Борщ со сметаной"_s,
                           u"--date"_s, u"01.12.2026"_s, u"--out"_s,  u"OUT"_s}
            << commands::usageError << "ГГГГ-ММ-ДД";
        QTest::newRow("calculation card of two scopes")
            << QStringList{u"print"_s, u"op1"_s, u"--marked"_s, u"--dish"_s, u"Борщ"_s, u"--out"_s, u"OUT"_s}
            << commands::usageError << "--dish";
        QTest::newRow("technical-technological card")
            << QStringList{u"print"_s, u"ttk"_s, u"--dish"_s, u"Котлета мясная"_s, u"--out"_s, u"OUT"_s}
            << commands::done << "ТТК Котлета мясная";
        QTest::newRow("technological card of no dish")
            << QStringList{u"print"_s, u"tk"_s, u"--out"_s, u"OUT"_s} << commands::usageError << "--dish";
        QTest::newRow("turnover statement")
            << QStringList{u"print"_s,      u"turnover"_s, u"--all"_s,      u"--full"_s, u"--from"_s,
                           u"2026-12-01"_s, u"--to"_s,     u"2026-12-11"_s, u"--out"_s,  u"OUT"_s}
            << commands::done << "Оборотная ведомость";
        QTest::newRow("no file") << QStringList{u"print"_s, u"cards"_s, u"--all"_s} << commands::usageError
                                 << "--out";
        QTest::newRow("two scopes") << QStringList{u"print"_s,    u"cards"_s, u"--all"_s,
                                                   u"--marked"_s, u"--out"_s, u"OUT"_s}
                                    << commands::usageError << "--group";
        QTest::newRow("stray option")
            << QStringList{u"print"_s, u"cards"_s, u"--all"_s, u"--big"_s, u"--out"_s, u"OUT"_s}
            << commands::usageError << "--big";
        QTest::newRow("unknown group")
            << QStringList{u"print"_s, u"cards"_s, u"--group"_s, u"Десерты"_s, u"--out"_s, u"OUT"_s}
            << commands::failed << "Десерты";
        QTest::newRow("unknown print-out")
            << QStringList{u"print"_s, u"poster"_s, u"--out"_s, u"OUT"_s} << commands::usageError << "poster";
    }
    void repriceAndPrint()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, report);
        MadeKitchen kitchen;
        const CommandOutcome made =
            runCommand(QStringList{u"create"_s} + kitchen.where() + QStringList{u"--demo"_s});
        QVERIFY2(made.code == commands::done, qPrintable(made.err));
        const QString file = kitchen.root.filePath(u"out/print.xlsx"_s);
        arguments.replaceInStrings(u"OUT"_s, file);
        arguments = arguments.mid(0, 1) + kitchen.where() + arguments.mid(1);
        const CommandOutcome outcome = runCommand(arguments);
        QCOMPARE(outcome.code, code);
        QVERIFY2((outcome.out + outcome.err).contains(report), qPrintable(outcome.out + outcome.err));
        const bool printed = code == commands::done && arguments.first() == u"print"_s;
        QCOMPARE(QFileInfo::exists(file), printed);
        if (printed) {
            QVERIFY(!xlsxPart(file, u"xl/worksheets/sheet1.xml"_s).isEmpty());
            // Every sheet names A4, or LibreOffice lays it out on Letter.
            for (int n = 1;; ++n) {
                const QByteArray sheet = xlsxPart(file, u"xl/worksheets/sheet%1.xml"_s.arg(n));
                if (sheet.isEmpty())
                    break;
                QVERIFY2(sheet.contains("paperSize=\"9\""), qPrintable(u"sheet %1"_s.arg(n)));
            }
        }
        QVERIFY(QDir(kitchen.root.filePath(u"out"_s)).entryList(QDir::Files | QDir::Hidden).size() ==
                (printed ? 1 : 0));
    }

    void printedCardsAreTheWindowsPrintOut()
    {
        MadeKitchen kitchen;
        QCOMPARE(runCommand(QStringList{u"create"_s} + kitchen.where() + QStringList{u"--demo"_s}).code,
                 commands::done);
        const QString file = kitchen.root.filePath(u"cards.xlsx"_s);
        QCOMPARE(runCommand(QStringList{u"print"_s} + kitchen.where() +
                            QStringList{u"cards"_s, u"--all"_s, u"--enterprise"_s, u"ООО \"Продснаб\""_s,
                                        u"--out"_s, file})
                     .code,
                 commands::done);
        // The window's path: the same print handed to the reports folder.
        QString error;
        auto db = kitchen.open(&error);
        QVERIFY(db);
        SystemClock clock;
        CostingCardPrintResult result =
            CostingCardPrint(db->connection(), clock)
                .run({CardPrintScope::AllGroups, 0, CardPrices::Selling, u"ООО \"Продснаб\""_s});
        db->close();
        QVERIFY(result.workbook);
        ScriptedPrompts prompts;
        RecordingLauncher launcher;
        const QString shown = ReportOutput(launcher, prompts, kitchen.root.filePath(u"reports"_s))
                                  .show(*result.workbook, u"Калькуляционные карты"_s);
        for (const QString& part :
             {u"xl/worksheets/sheet1.xml"_s, u"xl/sharedStrings.xml"_s, u"xl/styles.xml"_s})
            QCOMPARE(xlsxPart(file, part), xlsxPart(shown, part));
    }

    void writingCommandsWaitForTheProgram()
    {
        SKIP_ON_SERVER("the lock file beside the database file");
        TestDataDir data;
        data.close();
        KitchenLock program(data.dataDir());
        QString error;
        QVERIFY(program.acquire(&error));
        for (const QStringList& arguments : {QStringList{u"reprice"_s, data.dataDir()},
                                             QStringList{u"print"_s, data.dataDir(), u"cards"_s, u"--all"_s,
                                                         u"--out"_s, data.root() + u"/c.xlsx"_s}}) {
            const CommandOutcome outcome = runCommand(arguments);
            QCOMPARE(outcome.code, commands::failed);
            QVERIFY2(outcome.err.contains(u"уже открыта"_s), qPrintable(outcome.err));
        }
        // Reading goes on while the program works.
        QCOMPARE(runCommand({u"check"_s, data.dataDir()}).code, commands::done);
    }

    void upgrade_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("report");
        QTest::newRow("current") << Database::schemaVersion << false << commands::done
                                 << u"уже текущей версии %1"_s.arg(Database::schemaVersion);
        QTest::newRow("older") << 1 << false << commands::done
                               << u"обновлена с версии 1 до версии %1"_s.arg(Database::schemaVersion);
        QTest::newRow("newer") << 7 << false << commands::failed << "более новой программой";
        QTest::newRow("open in the program") << 1 << true << commands::failed << "уже открыта";
    }
    void upgrade()
    {
        QFETCH(int, version);
        QFETCH(bool, locked);
        QFETCH(int, code);
        QFETCH(QString, report);
        SKIP_ON_SERVER("kitchen files of older versions and their upgrade");
        TestDataDir data;
        if (version == 1)
            makeVersion1Kitchen(data);
        else
            QVERIFY(execSql(data.db(), u"PRAGMA user_version = %1"_s.arg(version)));
        data.close();
        KitchenLock program(data.dataDir());
        QString error;
        if (locked)
            QVERIFY(program.acquire(&error));
        const CommandOutcome outcome = runCommand({u"upgrade"_s, data.dataDir()});
        QCOMPARE(outcome.code, code);
        QVERIFY2((outcome.out + outcome.err).contains(report), qPrintable(outcome.out + outcome.err));
        // What the command reports is what the program then finds.
        QString opened;
        std::optional<Database> db = Database::open(data.dataDir(), &opened, u"after"_s);
        QCOMPARE(db.has_value(), code == commands::done);
        if (db)
            db->close();
    }
};

QTEST_GUILESS_MAIN(tst_KitchenCommands)
#include "tst_KitchenCommands.moc"
