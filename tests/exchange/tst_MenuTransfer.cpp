#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "exchange/DbfTable.h"
#include "exchange/Envelope.h"
#include "exchange/MenuTransfer.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Kitchen
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong soups = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}, {u"N"_s, 1}});
    qlonglong salads = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Салаты"_s}, {u"N"_s, 2}});
    qlonglong borscht = dish(soups, u"Борщ"_s);
    qlonglong shchi = dish(soups, u"Щи"_s);
    qlonglong olivier = dish(salads, u"Оливье"_s);
    qlonglong menu =
        data.insert(u"Menu"_s, {{u"Name"_s, u"Обед"_s}, {u"Date"_s, u"2024-03-05"_s}, {u"Status"_s, 1}});

    Kitchen()
    {
        entry(borscht, soups, 1, 12.5, true);
        entry(shchi, soups, 1, 10, false);
        entry(olivier, salads, 2, 30, true);
    }
    qlonglong dish(qlonglong group, const QString& name)
    {
        return data.insert(u"Bludo"_s,
                           {{u"Kod"_s, group}, {u"Name"_s, name}, {u"Vixod"_s, u"250"_s}, {u"Status"_s, 1}});
    }
    void entry(qlonglong dishKey, qlonglong group, double order, double price, bool on)
    {
        data.insert(u"MenuSp"_s, {{u"Kod"_s, menu},
                                  {u"Name"_s, dishKey},
                                  {u"GrName"_s, group},
                                  {u"Nn"_s, order},
                                  {u"CenaProd"_s, price},
                                  {u"Status"_s, on ? 1 : 0}});
    }
    MenuTransfer transfer() { return MenuTransfer(data.db(), prompts); }
    QByteArray read(const QString& name)
    {
        QFile file(QDir(data.root()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

class tst_MenuTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void groupCodes_data();
    void groupCodes();
    void menuFileUnwrapsToItsContent();
    void menuFileRefusedForMenuNotReleased();
    void torgTables();
    void torgTablesRefuseAGroupKeyTooLarge();
};

void tst_MenuTransfer::groupCodes_data()
{
    QTest::addColumn<qlonglong>("key");
    QTest::addColumn<QString>("code");
    QTest::newRow("0") << 0LL << u"0000000000"_s;
    QTest::newRow("5") << 5LL << u"0500000000"_s;
    QTest::newRow("61") << 61LL << u"0z00000000"_s;
    QTest::newRow("62") << 62LL << u"1000000000"_s;
    QTest::newRow("100") << 100LL << u"1c00000000"_s;
    QTest::newRow("3843") << 3843LL << u"zz00000000"_s;
    QTest::newRow("3844") << 3844LL << QString();
}

void tst_MenuTransfer::groupCodes()
{
    QFETCH(qlonglong, key);
    QFETCH(QString, code);
    QCOMPARE(MenuTransfer::groupCode(key).value_or(QString()), code);
}

void tst_MenuTransfer::menuFileUnwrapsToItsContent()
{
    Kitchen kitchen;
    const QString path = kitchen.data.root() + u"/obed.mnu"_s;
    const QDateTime now(QDate(2024, 3, 7), QTime(14, 30, 5, 9));
    QVERIFY(kitchen.transfer().writeMenuFile(kitchen.menu, path, now, u','));
    const QByteArray stored = kitchen.read(u"obed.mnu"_s);
    QCOMPARE(stored.left(15), QByteArray("202403143005009"));
    const Envelope::Unwrapped back = Envelope::unwrap(stored);
    QCOMPARE(back.problem, Envelope::Problem::None);
    QCOMPARE(stored.mid(15, 10).toLongLong(), Envelope::checksum(back.plain));
    QString error;
    QCOMPARE(back.plain,
             *MenuFile::plainContent(*kitchen.transfer().contentOf(kitchen.menu, &error), u',', &error));
    QVERIFY(back.plain.contains("\r\n0\r\n20\r\n")); // the switched-off entry is there
    QVERIFY(back.plain.contains("\r\n12,5\r\n"));
    QCOMPARE(QDir(kitchen.data.root()).entryList(QDir::Files),
             QStringList{u"obed.mnu"_s}); // no temporary file
}

void tst_MenuTransfer::menuFileRefusedForMenuNotReleased()
{
    Kitchen kitchen;
    kitchen.data.scalar(u"UPDATE Menu SET Status = 0"_s);
    QVERIFY(!kitchen.transfer().writeMenuFile(kitchen.menu, kitchen.data.root() + u"/x.mnu"_s,
                                              QDateTime::currentDateTime(), u','));
    QCOMPARE(kitchen.prompts.last(),
             u"Передача меню|Нельзя передавать неразрешённое к использованию меню !!!"_s);
    QVERIFY(!QFile::exists(kitchen.data.root() + u"/x.mnu"_s));
}

void tst_MenuTransfer::torgTables()
{
    Kitchen kitchen;
    kitchen.data.scalar(u"UPDATE Menu SET Status = 0"_s); // written whether released or not
    QVERIFY(kitchen.transfer().writeTorgTables(kitchen.menu, kitchen.data.root() + u"/Products.dbf"_s,
                                               QDate(2024, 3, 5)));
    QCOMPARE(kitchen.read(u"Zimp.zfl"_s), QByteArray("CLEAR_PRODUCTS\r\n"));
    const DbfTable::ReadResult products = DbfTable::parse(kitchen.read(u"Products.dbf"_s));
    QVERIFY(products.table);
    QCOMPARE(products.table->records.size(), 2); // the switched-off entry is not there
    QCOMPARE(products.table->records[0][0], u"%1"_s.arg(kitchen.borscht, 13, 10, QChar(u'0')));
    QCOMPARE(products.table->records[0][2], u"            12.5000"_s);
    QCOMPARE(products.table->records[0][6], *MenuTransfer::groupCode(kitchen.soups));
    const DbfTable::ReadResult names = DbfTable::parse(kitchen.read(u"Names.dbf"_s));
    QVERIFY(names.table);
    QCOMPARE(names.table->records.size(), 2);
    QCOMPARE(names.table->records[1][1].trimmed(), u"Салаты"_s);
    QCOMPARE(names.table->records[1][2], u"1"_s);
}

void tst_MenuTransfer::torgTablesRefuseAGroupKeyTooLarge()
{
    Kitchen kitchen;
    kitchen.data.scalar(u"UPDATE Grbludo SET Kod = 3844 WHERE Kod = ?"_s, {kitchen.salads});
    kitchen.data.scalar(u"UPDATE Bludo SET Kod = 3844 WHERE Kod = ?"_s, {kitchen.salads});
    QVERIFY(!kitchen.transfer().writeTorgTables(kitchen.menu, kitchen.data.root() + u"/Products.dbf"_s,
                                                QDate(2024, 3, 5)));
    QVERIFY(kitchen.prompts.last().contains(u"\"Салаты\""_s));
    QVERIFY(QDir(kitchen.data.root()).entryList({u"*.dbf"_s, u"*.zfl"_s}).isEmpty());
}

QTEST_GUILESS_MAIN(tst_MenuTransfer)
#include "tst_MenuTransfer.moc"
