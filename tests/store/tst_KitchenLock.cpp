#include "TestDataDir.h"

#include "store/KitchenLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_KitchenLock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { SKIP_ON_SERVER("the lock file beside the database file"); }

    void secondHolderIsToldWhoHasTheKitchen()
    {
        TestDataDir data(false);
        KitchenLock first(data.dataDir());
        QString error;
        QVERIFY(first.acquire(&error));
        QVERIFY(first.acquire(&error)); // held already

        KitchenLock second(data.dataDir());
        QVERIFY(!second.acquire(&error));
        QVERIFY2(error.contains(u"уже открыта"_s), qPrintable(error));
        QVERIFY2(error.contains(QString::number(QCoreApplication::applicationPid())), qPrintable(error));
        QVERIFY2(error.contains(QSysInfo::machineHostName()), qPrintable(error));

        first.release();
        QVERIFY(second.acquire(&error));
    }

    void lockOfAProgramThatIsGoneIsTakenOver()
    {
        TestDataDir data(false);
        // A lock file written by a process that has ended, as a crash leaves it.
        QProcess finished;
        finished.start(u"true"_s);
        QVERIFY(finished.waitForFinished());
        const qint64 deadPid = finished.processId() > 0 ? finished.processId() : 999999;
        QFile file(data.dataDir() + u"/"_s + QLatin1String(KitchenLock::fileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(deadPid) + "\nkuhnemer\n" + QSysInfo::machineHostName().toUtf8() +
                   "\n");
        file.close();

        KitchenLock lock(data.dataDir());
        QString error;
        QVERIFY2(lock.acquire(&error), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(tst_KitchenLock)
#include "tst_KitchenLock.moc"
