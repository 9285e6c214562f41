#include "TestDataDir.h"

#include "store/KitchenLock.h"
#include "tools/KitchenCommands.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextStream>

#include <limits>

using namespace Qt::StringLiterals;

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
        QTest::newRow("demo without a directory") << QStringList{u"create"_s, u"--demo"_s};
        QTest::newRow("unknown command") << QStringList{u"grow"_s, u"DATA"_s};
        QTest::newRow("unknown option")
            << QStringList{u"create"_s, u"DATA"_s, u"--big"_s};
        QTest::newRow("option to check") << QStringList{u"check"_s, u"DATA"_s, u"--demo"_s};
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
        QVERIFY(outcome.err.contains(u"upgrade КАТАЛОГ"_s));
        QVERIFY(QDir(here.path()).isEmpty()); // no folder named after an option
    }

    void helpListsEveryCommand()
    {
        const Outcome outcome = run({u"--help"_s});
        QCOMPARE(outcome.code, commands::done);
        for (const char* command : {"create", "check", "upgrade"})
            QVERIFY(outcome.out.contains(QLatin1String(command)));
    }

    void checkFindsWhatStopsACalculation()
    {
        TestDataDir data;
        QCOMPARE(run({u"check"_s, data.dataDir()}).code, commands::done);
        data.insert(u"Edinica"_s, {{u"Name"_s, u"пачка"_s}, {u"Gramm"_s, 0}});
        data.insert(u"Ing"_s, {{u"Name"_s, u"Соль"_s},
                                            {u"Vih"_s, 100},
                                            {u"Cena"_s, std::numeric_limits<double>::infinity()}});
        data.close();
        const Outcome outcome = run({u"check"_s, data.dataDir()});
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY2(outcome.out.contains(u"\"пачка\""_s), qPrintable(outcome.out));
        QVERIFY2(outcome.out.contains(u"Ing.Cena"_s), qPrintable(outcome.out));
        QVERIFY(outcome.out.contains(u"Найдено ошибок: 2."_s));
    }

    void checkLeavesAFileThatIsNotOursAsItIs()
    {
        TestDataDir data(false);
        const QString file = Database::filePath(data.dataDir());
        QFile::resize(file, 0);
        const Outcome outcome = run({u"check"_s, data.dataDir()});
        QCOMPARE(outcome.code, commands::failed);
        QVERIFY(outcome.err.contains(u"не является базой данных"_s));
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
        QVERIFY(execSql(data.db(), u"PRAGMA user_version = %1"_s.arg(version)));
        data.close();
        KitchenLock program(data.dataDir());
        QString error;
        if (locked)
            QVERIFY(program.acquire(&error));
        const Outcome outcome = run({u"upgrade"_s, data.dataDir()});
        QCOMPARE(outcome.code, code);
        QVERIFY2((outcome.out + outcome.err).contains(report), qPrintable(outcome.out + outcome.err));
    }
};

QTEST_GUILESS_MAIN(tst_KitchenCommands)
#include "tst_KitchenCommands.moc"
