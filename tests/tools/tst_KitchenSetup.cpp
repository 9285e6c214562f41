#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "store/DataLocations.h"
#include "tools/KitchenSetup.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_KitchenSetup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dataDirectoryIsFoundWhereItBelongs()
    {
        QTemporaryDir root;
        const QString program = root.filePath(u"bin"_s);
        const QString user = root.filePath(u"share/kuhnemer"_s);
        QDir().mkpath(program);
        // Installed: no kitchen beside the binary, so the user's data folder.
        QCOMPARE(DataLocations::resolve({}, program, user).culinar, user + u"/DATA"_s);
        QCOMPARE(DataLocations::resolve({}, program, user).culObmen, user + u"/OBMEN"_s);
        // A kitchen carried beside its program is used.
        QDir().mkpath(program + u"/DATA"_s);
        QCOMPARE(DataLocations::resolve({}, program, user).culinar, program + u"/DATA"_s);
        // --data wins over both.
        const DataLocations given =
            DataLocations::resolve({u"--data"_s, root.filePath(u"k"_s)}, program, user);
        QCOMPARE(given.culinar, root.filePath(u"k"_s));
        QVERIFY(given.givenByUser);
    }

    void firstStartOffersAKitchen_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("created");
        QTest::addColumn<bool>("demo");
        QTest::newRow("empty kitchen") << 0 << true << false;
        QTest::newRow("demo kitchen") << 1 << true << true;
        QTest::newRow("cancelled") << 2 << false << false;
        QTest::newRow("window closed") << -1 << false << false;
    }
    void firstStartOffersAKitchen()
    {
        QFETCH(int, choice);
        QFETCH(bool, created);
        QFETCH(bool, demo);
        QTemporaryDir root;
        const DataLocations locations = DataLocations::resolve({}, root.filePath(u"bin"_s), root.path());
        ScriptedPrompts prompts;
        prompts.queueChoice(choice);
        QCOMPARE(kitchensetup::offerNewKitchen(locations, prompts), created);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(QFileInfo::exists(Database::filePath(locations.culinar)), created);
        if (!created)
            return;
        QString error;
        auto db = Database::open(locations.culinar, &error, u"setup"_s);
        QVERIFY2(db, qPrintable(error));
        {
            QSqlQuery query(db->connection());
            QVERIFY(query.exec(u"SELECT count(*) FROM Ing"_s) && query.next());
            QCOMPARE(query.value(0).toInt() > 0, demo);
        }
        db->close();
        // A second start finds the kitchen and asks nothing.
        QVERIFY(kitchensetup::offerNewKitchen(locations, prompts));
        QCOMPARE(prompts.questions.size(), 1);
    }

    void kitchenNamedByTheUserIsNeverCreated()
    {
        QTemporaryDir root;
        ScriptedPrompts prompts;
        const DataLocations locations =
            DataLocations::resolve({u"--data"_s, root.filePath(u"typo"_s)}, QString());
        QVERIFY(kitchensetup::offerNewKitchen(locations, prompts));
        QVERIFY(prompts.questions.isEmpty());
        QVERIFY(!QFileInfo::exists(root.filePath(u"typo"_s)));
    }
};

QTEST_GUILESS_MAIN(tst_KitchenSetup)
#include "tst_KitchenSetup.moc"
