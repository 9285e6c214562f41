#include "exchange/DbfTable.h"
#include "exchange/TorgSalesTable.h"
#include "store/CodePage.h"

#include <QBuffer>
#include <QtEndian>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A sales table as the outside program writes it, built byte by byte with the given code-page mark.
QByteArray salesTable(const QList<QStringList>& rows, quint8 mark = 0x26,
                      codepage::Page page = codepage::Page::Dos866)
{
    const QList<DbfField> fields{{"CODE", 'C', 13, 0},   {"NAME", 'C', 30, 0},  {"PRICE", 'N', 10, 2},
                                 {"KOL", 'N', 10, 3},    {"SUMD", 'N', 12, 2},  {"DATEO", 'D', 8, 0},
                                 {"SECTION", 'N', 3, 0}, {"KASSIR", 'N', 4, 0}, {"KASSA", 'C', 16, 0},
                                 {"OPER", 'C', 1, 0}};
    QByteArray table = DbfTable::headerImage(fields);
    table.chop(1);
    table[29] = char(mark);
    for (const QStringList& row : rows) {
        QByteArray record(row.value(10) == u"*"_s ? "*" : " ");
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QByteArray text = *codepage::encode(row.value(i), page);
            record += fields[i].type == 'N' ? text.rightJustified(fields[i].length, ' ')
                                            : text.leftJustified(fields[i].length, ' ');
        }
        table += record;
    }
    table += '\x1A';
    qToLittleEndian<quint32>(quint32(rows.size()), table.data() + 4);
    return table;
}

QStringList row(const QString& code, const QString& name, const QString& price, const QString& kol,
                const QString& date = u"20240305"_s)
{
    return {code, name, price, kol, QString(), date, u"2"_s, u"17"_s, u"Касса А"_s, u"1"_s};
}

} // namespace

class tst_DbfTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headerImages();
    void filledTableReadsBack();
    void refusesTextOutsideCp866();
    void sumsPerCode();
    void readsWindows1251Mark();
    void refusesDamagedHeaders_data();
    void refusesDamagedHeaders();
};

void tst_DbfTable::headerImages()
{
    const QByteArray products = DbfTable::headerImage(DbfTable::productsFields());
    QCOMPARE(products.size(), 322);
    QCOMPARE(products.left(12), QByteArray("\x03\x6A\x09\x07\x00\x00\x00\x00\x41\x01\x8F\x00", 12));
    QCOMPARE(products.mid(12, 17), QByteArray(17, '\0'));
    QCOMPARE(quint8(products[29]), quint8(38));
    QCOMPARE(products.mid(30, 2), QByteArray(2, '\0'));
    // The third descriptor: PRICE, numeric 19 with 4 decimals.
    QCOMPARE(products.mid(32 + 64, 32),
             QByteArray("PRICE\0\0\0\0\0\0N\0\0\0\0\x13\x04", 18) + QByteArray(14, '\0'));
    QCOMPARE(products.mid(320), QByteArray("\x0D\x1A"));

    const QByteArray names = DbfTable::headerImage(DbfTable::namesFields());
    QCOMPARE(names.size(), 130);
    QCOMPARE(names.mid(8, 4), QByteArray("\x81\x00\x48\x00", 4));
    QCOMPARE(names.mid(32, 12), QByteArray("NUM\0\0\0\0\0\0\0\0C", 12));
    QCOMPARE(names.mid(128), QByteArray("\x0D\x1A"));
}

void tst_DbfTable::filledTableReadsBack()
{
    QString error;
    const std::optional<QByteArray> names = DbfTable::filled(
        DbfTable::namesFields(), {{u"0500000000"_s, u"Супы"_s, 1}}, QDate(2024, 3, 5), &error);
    QVERIFY(names);
    QCOMPARE(names->size(), 130 + 72);
    QCOMPARE(names->mid(1, 7), QByteArray("\x7C\x03\x05\x01\x00\x00\x00", 7));
    // "Супы" in code page 866.
    QCOMPARE(names->mid(129, 72), " 0500000000\x91\xE3\xAF\xEB" + QByteArray(56, ' ') + "1");
    QVERIFY(names->endsWith('\x1A'));

    const std::optional<QByteArray> products = DbfTable::filled(
        DbfTable::productsFields(),
        {{u"0000000000057"_s, u"Борщ"_s, 12.5, QVariant(), QVariant(), QVariant(), u"0500000000"_s}},
        QDate(2024, 3, 5), &error);
    QVERIFY(products);
    const DbfTable::ReadResult read = DbfTable::parse(*products);
    QVERIFY2(read.table, qPrintable(read.problem));
    QCOMPARE(read.table->records.size(), 1);
    const QStringList& record = read.table->records.first();
    QCOMPARE(record[0], u"0000000000057"_s);
    QCOMPARE(record[1].trimmed(), u"Борщ"_s);
    QCOMPARE(record[2], u"            12.5000"_s);
    QCOMPARE(record[5], u"   "_s);
    QCOMPARE(record[7], QString(19, u' '));
}

void tst_DbfTable::refusesTextOutsideCp866()
{
    QString error;
    QVERIFY(!DbfTable::filled(DbfTable::namesFields(), {{u"1"_s, u"Супы €"_s, 1}}, QDate(), &error));
    QVERIFY(error.contains(u"€"_s));
    QVERIFY(!DbfTable::filled(DbfTable::namesFields(), {{u"1"_s, QString(61, u'я'), 1}}, QDate(), &error));
}

void tst_DbfTable::sumsPerCode()
{
    const QByteArray bytes = salesTable(
        {row(u"123"_s, u"Короткий"_s, u"1"_s, u"1"_s, u"20240301"_s),
         row(u"0000000000057"_s, u"Борщ"_s, u"10.00"_s, u"1.000"_s),
         row(u"00000000000A7"_s, u"Буква"_s, u"1"_s, u"1"_s),
         row(u"0000000000060"_s, u"Щи"_s, u"7"_s, u"2"_s),
         row(u"0000000000057"_s, u"Борщ"_s, u"11.00"_s, u"2.000"_s),
         row(u"0000000000057"_s, u"Борщ"_s, u"12.00"_s, u"0.500"_s),
         QStringList{u"0000000000060"_s, u"Щи"_s, u"7"_s, u"100"_s} + QStringList(6) + QStringList{u"*"_s}});
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const TorgSalesTable::ReadResult read = TorgSalesTable::read(buffer);
    QVERIFY2(read.sales, qPrintable(read.problem));
    // The date comes from the first row although its code is dropped.
    QCOMPARE(read.sales->date, QDate(2024, 3, 1));
    QCOMPARE(read.sales->name, u"2 Касса А 17"_s);
    QCOMPARE(read.sales->sales.size(), 2);
    QCOMPARE(read.sales->sales[0].dish, 57);
    QCOMPARE(read.sales->sales[0].name, u"Борщ"_s);
    QCOMPARE(read.sales->sales[0].quantity, 3.5);
    QCOMPARE(read.sales->sales[0].price, 10.0);
    QCOMPARE(read.sales->sales[1].dish, 60);
    QCOMPARE(read.sales->sales[1].quantity, 2.0);
}

void tst_DbfTable::readsWindows1251Mark()
{
    const QByteArray bytes =
        salesTable({row(u"0000000000057"_s, u"Борщ"_s, u"10"_s, u"1"_s)}, 0xC9, codepage::Page::Windows1251);
    const DbfTable::ReadResult read = DbfTable::parse(bytes);
    QVERIFY(read.table);
    QCOMPARE(read.table->records[0][1].trimmed(), u"Борщ"_s);
}

void tst_DbfTable::refusesDamagedHeaders_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = salesTable({row(u"0000000000057"_s, u"Борщ"_s, u"10"_s, u"1"_s)});
    QByteArray recordLength = good;
    recordLength[10] = char(recordLength[10] + 1);
    QByteArray moreRecords = good;
    moreRecords[4] = 2;
    QByteArray headerBeyond = good;
    headerBeyond[9] = char(0x7F);
    QByteArray noTerminator = good;
    noTerminator[32 * 11] = 'X';
    QByteArray badNumber = good;
    badNumber.replace("      10", "     1x0");
    QByteArray badDate = good;
    badDate.replace("20240305", "20241305");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only in part") << good.left(40);
    QTest::newRow("record length disagrees") << recordLength;
    QTest::newRow("more records than bytes") << moreRecords;
    QTest::newRow("header longer than the file") << headerBeyond;
    QTest::newRow("no end of header") << noTerminator;
    QTest::newRow("cut in the record") << good.left(good.size() - 20);
    QTest::newRow("price not a number") << badNumber;
    QTest::newRow("no such date") << badDate;
}

void tst_DbfTable::refusesDamagedHeaders()
{
    QFETCH(QByteArray, bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const TorgSalesTable::ReadResult read = TorgSalesTable::read(buffer);
    QVERIFY(!read.sales);
    QVERIFY(!read.problem.isEmpty());
}

QTEST_APPLESS_MAIN(tst_DbfTable)
#include "tst_DbfTable.moc"
