#include "OldKitchen.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "store/Schema.h"
#include "store/SchemaUpgrade.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A kitchen made by version 1 of the program, with rows that every upgrade must keep.
void makeVersion1KitchenWithRows(TestDataDir& data)
{
    makeVersion1Kitchen(data);
    QString error;
    std::optional<Database> db =
        Database::open(data.dataDir(), &error, u"fill"_s, Database::Shape::AnyVersion);
    QVERIFY2(db, qPrintable(error));
    const QSqlDatabase sql = db->connection();
    QVERIFY(execSql(sql, u"INSERT INTO Gring (Name) VALUES (?)"_s, {u"Овощи"_s}));
    QVERIFY(
        execSql(sql, u"INSERT INTO Ing (Name, Kod, Cena, Vih) VALUES (?, 1, 23.5, 80)"_s, {u"Картофель"_s}));
    QVERIFY(execSql(sql, u"INSERT INTO Realdoc (NameR, DateR) VALUES (?, '2026-12-07')"_s, {u"Обед"_s}));
    db->close();
}

// The rows of the fixture as one text, to compare before and after.
QString rowsOf(const QSqlDatabase& db)
{
    QStringList rows;
    QSqlQuery query(db);
    for (const QString& sql :
         {u"SELECT Kod, Name FROM Gring"_s, u"SELECT Kod1, Kod, Name, Cena, Vih FROM Ing"_s,
          u"SELECT Kod, NameR, DateR, Status FROM Realdoc"_s}) {
        query.exec(sql);
        while (query.next()) {
            QStringList values;
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i).toString();
            rows << values.join(u'|');
        }
    }
    return rows.join(u'\n');
}

struct Opened
{
    std::optional<Database> db;
    QString error;
};

Opened openAsFound(const QString& dataDir)
{
    Opened opened;
    opened.db = Database::open(dataDir, &opened.error, u"as-found"_s, Database::Shape::AnyVersion);
    return opened;
}

} // namespace

class tst_SchemaUpgrade : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { SKIP_ON_SERVER("kitchen files of older versions and their upgrade"); }

    void version1KitchenIsUpgradedWhole()
    {
        TestDataDir data;
        makeVersion1KitchenWithRows(data);
        QString before;
        {
            Opened old = openAsFound(data.dataDir());
            QVERIFY2(old.db, qPrintable(old.error));
            before = rowsOf(old.db->connection());
            old.db->close();
        }
        QVERIFY(!before.isEmpty());

        const schema::UpgradeResult result = schema::upgradeDataDirectory(data.dataDir());
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(result.from, 1);
        QCOMPARE(result.to, Database::schemaVersion);
        QVERIFY2(result.message.contains(QDir::toNativeSeparators(result.backup)),
                 qPrintable(result.message));
        QVERIFY(QFileInfo(result.backup).isFile());

        // Opened as the program opens it: the version and the whole shape are checked there.
        QString error;
        std::optional<Database> db = Database::open(data.dataDir(), &error, u"upgraded"_s);
        QVERIFY2(db, qPrintable(error));
        {
            QSqlDatabase sql = db->connection();
            QCOMPARE(rowsOf(sql), before);
            QCOMPARE(schema::differences(sql), QStringList());
            QSqlQuery query(sql);
            // An ingredient from before has no nutrition given: empty, not 0.
            QVERIFY(query.exec(
                        u"SELECT count(*) FROM Ing WHERE Protein IS NULL AND Fat IS NULL AND Carbs IS NULL "
                        "AND Energy IS NULL"_s) &&
                    query.next());
            QCOMPARE(query.value(0).toInt(), 1);
            QVERIFY(query.exec(u"SELECT count(*), max(Number) FROM Version"_s) && query.next());
            QCOMPARE(query.value(0).toInt(), 1);
            QCOMPARE(query.value(1).toInt(), Database::schemaVersion);
            QVERIFY(query.exec(u"PRAGMA user_version"_s) && query.next());
            QCOMPARE(query.value(0).toInt(), Database::schemaVersion);
        }
        db->close();

        // The copy is the kitchen as it was.
        auto copy = Database::create(result.backup, &error, u"copy"_s);
        QVERIFY(copy);
        QCOMPARE(schema::storedVersion(copy->connection(), &error), 1);
        QCOMPARE(rowsOf(copy->connection()), before);
        copy->close();

        const schema::UpgradeResult again = schema::upgradeDataDirectory(data.dataDir());
        QVERIFY(again.ok && again.backup.isEmpty());
    }

    // A kitchen that an earlier program took to version 2 gets only the later steps, and no made-up
    // organisation's details.
    void version2KitchenTakesTheLaterSteps()
    {
        TestDataDir data;
        makeVersion1KitchenWithRows(data);
        const schema::UpgradeResult toTwo =
            schema::upgradeDataDirectory(data.dataDir(), schema::upgradeSteps().mid(0, 1));
        QVERIFY2(toTwo.ok && toTwo.to == 2, qPrintable(toTwo.message));
        const schema::UpgradeResult result = schema::upgradeDataDirectory(data.dataDir());
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(result.from, 2);
        QCOMPARE(result.to, Database::schemaVersion);
        QString error;
        std::optional<Database> db = Database::open(data.dataDir(), &error, u"upgraded"_s);
        QVERIFY2(db, qPrintable(error));
        {
            QSqlDatabase sql = db->connection();
            QCOMPARE(schema::differences(sql), QStringList());
            QSqlQuery query(sql);
            QVERIFY(query.exec(u"SELECT count(*) FROM Org"_s) && query.next());
            QCOMPARE(query.value(0).toInt(), 0);
            QVERIFY(query.exec(u"SELECT count(*), max(Number) FROM Version"_s) && query.next());
            QCOMPARE(query.value(0).toInt(), 1);
            QCOMPARE(query.value(1).toInt(), Database::schemaVersion);
        }
        db->close();
    }

    // A kitchen of version 4 keeps its rows and gains an empty price history that takes rows.
    void version4KitchenGainsThePriceHistory()
    {
        TestDataDir data;
        makeVersion1KitchenWithRows(data);
        const schema::UpgradeResult toFour =
            schema::upgradeDataDirectory(data.dataDir(), schema::upgradeSteps().mid(0, 3));
        QVERIFY2(toFour.ok && toFour.to == 4, qPrintable(toFour.message));
        QString before;
        {
            Opened opened = openAsFound(data.dataDir());
            QVERIFY2(opened.db, qPrintable(opened.error));
            before = rowsOf(opened.db->connection());
            QVERIFY(!schema::differences(opened.db->connection()).isEmpty());
            opened.db->close();
        }
        const schema::UpgradeResult result = schema::upgradeDataDirectory(data.dataDir());
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(result.from, 4);
        QCOMPARE(result.to, 5);
        QString error;
        std::optional<Database> db = Database::open(data.dataDir(), &error, u"upgraded"_s);
        QVERIFY2(db, qPrintable(error));
        {
            QSqlDatabase sql = db->connection();
            QCOMPARE(schema::differences(sql), QStringList());
            QCOMPARE(rowsOf(sql), before);
            QVERIFY(execSql(sql,
                            u"INSERT INTO Pricehist (Ing, Data, Oldcena, Cena, Source) "
                            "VALUES (1, '2026-12-11', 23.5, 25, ?)"_s,
                            {u"Правка"_s}));
            QSqlQuery query(sql);
            QVERIFY(query.exec(u"SELECT count(*) FROM Pricehist WHERE Ing = 1"_s) && query.next());
            QCOMPARE(query.value(0).toInt(), 1);
        }
        db->close();
    }

    // A later step that fails takes the earlier ones back with it: the kitchen stays as it was.
    void failedStepLeavesTheOldVersion()
    {
        TestDataDir data;
        makeVersion1KitchenWithRows(data);
        QList<schema::UpgradeStep> steps = schema::upgradeSteps();
        steps.append({Database::schemaVersion + 1,
                      {u"CREATE TABLE Extra (X REAL)"_s, u"INSERT INTO NoSuchTable (X) VALUES (1)"_s}});
        const schema::UpgradeResult result = schema::upgradeDataDirectory(data.dataDir(), steps);
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains(u"осталась версии 1"_s) &&
                     result.message.contains(QDir::toNativeSeparators(result.backup)) &&
                     result.message.contains(u"NoSuchTable"_s),
                 qPrintable(result.message));
        QVERIFY(QFileInfo(result.backup).isFile());

        Opened kitchen = openAsFound(data.dataDir());
        QVERIFY(kitchen.db);
        {
            QSqlDatabase sql = kitchen.db->connection();
            QString error;
            QCOMPARE(schema::storedVersion(sql, &error), 1);
            const QStringList tables = schema::tableNames(sql);
            QVERIFY(!tables.contains(u"Version"_s) && !tables.contains(u"Extra"_s));
            QSqlQuery query(sql);
            QVERIFY(query.exec(u"SELECT Name FROM Ing"_s) && query.next());
            QCOMPARE(query.value(0).toString(), u"Картофель"_s);
        }
        kitchen.db->close();
    }

    void offeredAtOpening_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("older, OK") << 1 << true << true << true << QString();
        QTest::newRow("older, Отмена") << 1 << false << true << false << u"kuhnemer-data upgrade"_s;
        QTest::newRow("newer") << 99 << true << false << false << u"более новая программа"_s;
        QTest::newRow("current") << Database::schemaVersion << true << false << true << QString();
    }
    void offeredAtOpening()
    {
        QFETCH(int, version);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, opens);
        QFETCH(QString, refusal);
        TestDataDir data;
        if (version == 1)
            makeVersion1KitchenWithRows(data);
        else
            QVERIFY(execSql(data.db(), u"PRAGMA user_version = %1"_s.arg(version)));
        data.close();

        ScriptedPrompts prompts;
        prompts.queueConfirm(answer);
        QVERIFY(schema::offerUpgrade(data.dataDir(), prompts));
        QCOMPARE(prompts.questions.size(), asked ? 1 : 0);
        if (asked) {
            // Saying that a copy comes first; an older program cannot open the result, so Enter declines.
            QVERIFY2(prompts.questions.first().contains(u"копия"_s), qPrintable(prompts.questions.first()));
            QCOMPARE(prompts.irreversible.size(), 1);
        }
        QString error;
        std::optional<Database> db = Database::open(data.dataDir(), &error, u"program"_s);
        QCOMPARE(db.has_value(), opens);
        if (db)
            db->close();
        else
            QVERIFY2(error.contains(refusal), qPrintable(error));
        QCOMPARE(QDir(data.dataDir() + u"/backup"_s).isEmpty(), !(asked && answer));
    }
};

QTEST_GUILESS_MAIN(tst_SchemaUpgrade)
#include "tst_SchemaUpgrade.moc"
