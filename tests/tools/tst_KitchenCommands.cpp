#include "TestDataDir.h"

#include "store/KitchenLock.h"
#include "tools/KitchenCommands.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextStream>

#include <limits>

namespace {

struct Outcome
{
    int code = -1;
    QString out;
    QString err;
};

Outcome run(const QStringList& arguments)
{
    Outcome outcome;
    QTextStream out(&outcome.out);
    QTextStream err(&outcome.err);
    outcome.code = commands::run(arguments, out, err);
    return outcome;
}

} // namespace

class tst_KitchenCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("demo without a directory") << QStringList{QStringLiteral("create"), QStringLiteral("--demo")};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("grow"), QStringLiteral("DATA")};
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("create"), QStringLiteral("DATA"), QStringLiteral("--big")};
        QTest::newRow("option to check") << QStringList{QStringLiteral("check"), QStringLiteral("DATA"), QStringLiteral("--demo")};
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const QString before = QDir::currentPath();
        QTemporaryDir here;
        QDir::setCurrent(here.path());
        const Outcome outcome = run(arguments);
        QDir::setCurrent(before);
        QCOMPARE(outcome.code, commands::usageError);
        QVERIFY(outcome.err.contains(QStringLiteral("upgrade КАТАЛОГ")));
        QVERIFY(QDir(here.path()).isEmpty()); // no folder named after an option
    }

    void helpListsEveryCommand()
    {
        const Outcome outcome = run({QStringLiteral("--help")});
        QCOMPARE(outcome.code, commands::done);
        for (const char* command : {"create", "check", "upgrade"})
            QVERIFY(outcome.out.contains(QLatin1String(command)));
    }

    void checkFindsWhatStopsACalculation()
    {
        TestDataDir data;
        QCOMPARE(run({QStringLiteral("check"), data.dataDir()}).code, commands::done);
        data.insert(QStringLiteral("Edinica"), {{QStringLiteral("Name"), QStringLiteral("пачка")}, {QStringLiteral("Gramm"), 0}});
        data.insert(QStringLiteral("Ing"), {{QStringLiteral("Name"), QStringLiteral("Соль")},
                                            {QStringLiteral("Vih"), 100},
                                            {QStringLiteral("Cena"), std::numeric_limits<double>::infinity()}});
        data.close();
        const Outcome outcome = run({QStringLiteral("check"), data.dataDir()});
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY2(outcome.out.contains(QStringLiteral("\"пачка\"")), qPrintable(outcome.out));
        QVERIFY2(outcome.out.contains(QStringLiteral("Ing.Cena")), qPrintable(outcome.out));
        QVERIFY(outcome.out.contains(QStringLiteral("Найдено ошибок: 2.")));
    }

    void checkLeavesAFileThatIsNotOursAsItIs()
    {
        TestDataDir data(false);
        const QString file = Database::filePath(data.dataDir());
        QFile::resize(file, 0);
        const Outcome outcome = run({QStringLiteral("check"), data.dataDir()});
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY(outcome.err.contains(QStringLiteral("не является базой данных")));
        QCOMPARE(QFileInfo(file).size(), 0);
    }

    void upgrade_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("report");
        QTest::newRow("current") << 1 << false << commands::done << "уже текущей версии 1";
        QTest::newRow("newer") << 7 << false << commands::failed << "более новой программой";
        QTest::newRow("open in the program") << 1 << true << commands::failed << "уже открыта";
    }
    void upgrade()
    {
        QFETCH(int, version);
        QFETCH(bool, locked);
        QFETCH(int, code);
        QFETCH(QString, report);
        TestDataDir data;
        QVERIFY(execSql(data.db(), QStringLiteral("PRAGMA user_version = %1").arg(version)));
        data.close();
        KitchenLock program(data.dataDir());
        QString error;
        if (locked)
            QVERIFY(program.acquire(&error));
        const Outcome outcome = run({QStringLiteral("upgrade"), data.dataDir()});
        QCOMPARE(outcome.code, code);
        QVERIFY2((outcome.out + outcome.err).contains(report), qPrintable(outcome.out + outcome.err));
    }
};

QTEST_GUILESS_MAIN(tst_KitchenCommands)
#include "tst_KitchenCommands.moc"
