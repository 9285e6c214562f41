#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "exchange/DbfTable.h"
#include "exchange/Envelope.h"
#include "exchange/SalesReceipt.h"
#include "store/CodePage.h"

#include <QBuffer>
#include <QtEndian>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString head = u"<<<< ИТОГОВЫЙ ФАЙЛ БУФЕТОН >>>>"_s;
const QString deferred = u"<<<< ОТЛОЖЕННЫЕ ПЛАТЕЖИ И СКИДКИ >>>>"_s;
const QString end = u"<<<< КОНЕЦ ИТОГОВОГО ФАЙЛА БУФЕТОН >>>>"_s;

struct Kitchen
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong soups = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
    qlonglong borscht =
        data.insert(u"Bludo"_s, {{u"Kod"_s, soups}, {u"Name"_s, u"Борщ"_s}, {u"Status"_s, 1}});
    qlonglong shchi = data.insert(u"Bludo"_s, {{u"Kod"_s, soups}, {u"Name"_s, u"Щи"_s}, {u"Status"_s, 1}});
    qlonglong menu =
        data.insert(u"Menu"_s, {{u"Name"_s, u"Обед"_s}, {u"Date"_s, u"2024-03-01"_s}, {u"Status"_s, 1}});

    SalesReceipt receipt() { return SalesReceipt(data.db(), prompts); }
    int documents() { return data.scalar(u"SELECT count(*) FROM Realdoc"_s).toInt(); }
    int lines() { return data.scalar(u"SELECT count(*) FROM Realsum"_s).toInt(); }
    QStringList linesOf(qlonglong document)
    {
        QStringList result;
        QSqlQuery query(data.db());
        query.prepare(u"SELECT KodBludo, KodGrBludo, Cumma, Kolvo FROM Realsum WHERE Kod = ? ORDER BY Nnn"_s);
        query.addBindValue(document);
        query.exec();
        while (query.next())
            result << u"%1 %2 %3 %4"_s.arg(query.value(0).toLongLong())
                          .arg(query.value(1).toLongLong())
                          .arg(query.value(2).toDouble())
                          .arg(query.value(3).toDouble());
        return result;
    }
    QByteArray summary(const QStringList& records, qlonglong menuKey = 0, const QString& name = u"Касса 1"_s)
    {
        QByteArray plain;
        for (const QString& line :
             QStringList{head, u"5"_s, u"3"_s, u"2024"_s, name, QString::number(menuKey ? menuKey : menu)} +
                 records + QStringList{deferred, end})
            plain += *codepage::encode(line, codepage::Page::Windows1251) + "\r\n";
        return *Envelope::wrap(plain, "202403101520123");
    }
};

// A file of the given size that is never read: a reader's size limit refuses it by its size alone.
class HugeFile : public QIODevice
{
public:
    explicit HugeFile(qint64 size) : m_size(size) { open(QIODevice::ReadOnly); }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 m_size;
};

std::optional<qlonglong> receive(Kitchen& kitchen, const QByteArray& bytes, bool torg)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return torg ? kitchen.receipt().receiveTorgTable(buffer) : kitchen.receipt().receiveSummary(buffer);
}

QByteArray torgTable(const QList<QStringList>& rows)
{
    const QList<DbfField> fields{{"CODE", 'C', 13, 0},  {"NAME", 'C', 30, 0}, {"PRICE", 'N', 10, 2},
                                 {"KOL", 'N', 10, 3},   {"DATEO", 'D', 8, 0}, {"SECTION", 'N', 3, 0},
                                 {"KASSIR", 'N', 4, 0}, {"KASSA", 'C', 16, 0}};
    QByteArray table = DbfTable::headerImage(fields);
    table.chop(1);
    for (const QStringList& row : rows) {
        table += ' ';
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QByteArray text = *codepage::encode(row.value(i), codepage::Page::Dos866);
            table += fields[i].type == 'N' ? text.rightJustified(fields[i].length, ' ')
                                           : text.leftJustified(fields[i].length, ' ');
        }
    }
    table += '\x1A';
    qToLittleEndian<quint32>(quint32(rows.size()), table.data() + 4);
    return table;
}

QStringList torgRow(qlonglong dish, const QString& name, const QString& price, const QString& kol)
{
    return {
        u"%1"_s.arg(dish, 13, 10, QChar(u'0')), name, price, kol, u"20240305"_s, u"1"_s, u"7"_s, u"Касса"_s};
}

} // namespace

class tst_SalesReceipt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void summaryBecomesAnOpenDocument();
    void summaryRefusalsStoreNothing_data();
    void summaryRefusalsStoreNothing();
    void namesWithoutNulAndCutToTheirField();
    void tooLargeAFileNamesTheLimit();
    void torgTableSummedPerCode();
    void torgFirstRowWithoutDateMakesNoDocument();
    void torgUnknownCodeStoresNothing();
    void torgTableWithoutValidCodeMakesNoDocument();
};

void tst_SalesReceipt::summaryBecomesAnOpenDocument()
{
    Kitchen kitchen;
    const std::optional<qlonglong> document =
        receive(kitchen,
                kitchen.summary({QString::number(kitchen.borscht), u"12.50"_s, u"3"_s,
                                 QString::number(kitchen.shchi), u"12,50"_s, u"1,5"_s}),
                false);
    QVERIFY(document);
    QSqlQuery query(kitchen.data.db());
    query.exec(u"SELECT DateR, NameR, Nnn, DateMenu, Status FROM Realdoc"_s);
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), u"2024-03-05"_s);
    QCOMPARE(query.value(1).toString(), u"Касса 1"_s);
    QCOMPARE(query.value(2).toLongLong(), kitchen.menu);
    QCOMPARE(query.value(3).toString(), u"2024-03-01"_s);
    QCOMPARE(query.value(4).toDouble(), 5.0);
    QCOMPARE(kitchen.linesOf(*document),
             (QStringList{u"%1 %2 12.5 3"_s.arg(kitchen.borscht).arg(kitchen.soups),
                          u"%1 %2 12.5 1.5"_s.arg(kitchen.shchi).arg(kitchen.soups)}));
}

void tst_SalesReceipt::summaryRefusalsStoreNothing_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    const QString damaged = SalesReceipt::damaged;
    QTest::newRow("checksum off by one") << 0 << damaged;
    QTest::newRow("older format")
        << 1
        << u"Выбранный файл повреждён или скорее всего он из версии \"Буфетон v1.X.X.\", а требуется v2.X.X. Обработка завершена."_s;
    QTest::newRow("deleted dish among existing ones")
        << 2
        << u"В принимаемом файле имеются блюда, которые отсутствуют в Вашей базе. Операция производиться не будет."_s;
    QTest::newRow("deleted menu")
        << 3 << u"Меню принимаемого файла отсутствуют в Вашей базе. Операция производиться не будет."_s;
    QTest::newRow("bad quantity in the last record") << 4 << damaged;
    QTest::newRow("record cut short") << 5 << damaged;
}

void tst_SalesReceipt::summaryRefusalsStoreNothing()
{
    QFETCH(int, fault);
    QFETCH(QString, message);
    Kitchen kitchen;
    const QString borscht = QString::number(kitchen.borscht);
    QStringList records{borscht, u"10"_s, u"1"_s, QString::number(kitchen.shchi), u"10"_s, u"2"_s};
    QByteArray bytes;
    switch (fault) {
    case 0:
        bytes = kitchen.summary(records);
        bytes[24] = char(bytes[24] == '9' ? '0' : bytes[24] + 1);
        break;
    case 1: {
        QByteArray plain;
        for (const QString& line : QStringList{head, u"5"_s, u"3"_s, u"2024"_s, u"x"_s,
                                               QString::number(kitchen.menu), borscht, u"1"_s, u"1"_s, end})
            plain += *codepage::encode(line, codepage::Page::Windows1251) + "\r\n";
        bytes = *Envelope::wrap(plain, "202403101520123");
        break;
    }
    case 2:
        kitchen.data.scalar(u"DELETE FROM Bludo WHERE Kod1 = ?"_s, {kitchen.shchi});
        bytes = kitchen.summary(records);
        break;
    case 3:
        kitchen.data.scalar(u"DELETE FROM Menu"_s);
        bytes = kitchen.summary(records);
        break;
    case 4:
        records[5] = u"два"_s;
        bytes = kitchen.summary(records);
        break;
    case 5:
        bytes = kitchen.summary(records.mid(0, 5));
        break;
    }
    QVERIFY(!receive(kitchen, bytes, false));
    QCOMPARE(kitchen.prompts.last(), u"Приём реализации|"_s + message);
    QCOMPARE(kitchen.documents(), 0);
    QCOMPARE(kitchen.lines(), 0);
}

void tst_SalesReceipt::namesWithoutNulAndCutToTheirField()
{
    Kitchen kitchen;
    const QString longName = u"Касса\0 1, "_s + QString(60, u'я');
    QVERIFY(receive(
        kitchen, kitchen.summary({QString::number(kitchen.borscht), u"10"_s, u"1"_s}, 0, longName), false));
    const QString stored = (u"Касса 1, "_s + QString(60, u'я')).left(50);
    QCOMPARE(kitchen.data.scalar(u"SELECT NameR FROM Realdoc"_s).toString(), stored);
    QCOMPARE(kitchen.prompts.last(),
             u"Приём реализации|Наименование документа длиннее 50 знаков и сокращено до "
             "\"%1\". Если нужно, исправьте его на странице \"Реализация\"."_s.arg(stored));

    // Some tills pad their texts with NUL.
    QStringList row = torgRow(kitchen.borscht, u"Борщ"_s, u"10"_s, u"1"_s);
    row[7] = u"Ка\0сса\0\0"_s;
    const std::optional<qlonglong> document = receive(kitchen, torgTable({row}), true);
    QVERIFY(document);
    QCOMPARE(kitchen.data.scalar(u"SELECT NameR FROM Realdoc WHERE Kod = ?"_s, {*document}).toString(),
             u"1 Касса 7"_s);
}

void tst_SalesReceipt::tooLargeAFileNamesTheLimit()
{
    Kitchen kitchen;
    HugeFile summary(18 * 1024 * 1024);
    QVERIFY(!kitchen.receipt().receiveSummary(summary));
    QVERIFY2(kitchen.prompts.last().startsWith(u"Приём реализации|Выбранный файл больше 16 МБ"_s),
             qPrintable(kitchen.prompts.last()));
    HugeFile table(300 * 1024 * 1024);
    QVERIFY(!kitchen.receipt().receiveTorgTable(table));
    QVERIFY2(kitchen.prompts.last().startsWith(u"Приём реализации|Выбранная таблица больше 256 МБ"_s),
             qPrintable(kitchen.prompts.last()));
    QCOMPARE(kitchen.documents(), 0);
}

void tst_SalesReceipt::torgFirstRowWithoutDateMakesNoDocument()
{
    Kitchen kitchen;
    QStringList first = torgRow(kitchen.borscht, u"Борщ"_s, u"10"_s, u"1"_s);
    first[4] = QString();
    QVERIFY(!receive(kitchen, torgTable({first, torgRow(kitchen.shchi, u"Щи"_s, u"7"_s, u"4"_s)}), true));
    QVERIFY2(kitchen.prompts.last().startsWith(u"Приём реализации|В первой строке таблицы (код \"%1\", товар "
                                               "\"Борщ\") не указана дата продажи"_s.arg(first[0])),
             qPrintable(kitchen.prompts.last()));
    QCOMPARE(kitchen.documents(), 0);
}

void tst_SalesReceipt::torgTableSummedPerCode()
{
    Kitchen kitchen;
    const std::optional<qlonglong> document =
        receive(kitchen,
                torgTable({torgRow(kitchen.borscht, u"Борщ"_s, u"10"_s, u"1"_s),
                           torgRow(kitchen.shchi, u"Щи"_s, u"7"_s, u"4"_s),
                           torgRow(kitchen.borscht, u"Борщ"_s, u"11"_s, u"2"_s),
                           torgRow(kitchen.borscht, u"Борщ"_s, u"12"_s, u"0.5"_s)}),
                true);
    QVERIFY(document);
    QCOMPARE(kitchen.linesOf(*document),
             (QStringList{u"%1 %2 10 3.5"_s.arg(kitchen.borscht).arg(kitchen.soups),
                          u"%1 %2 7 4"_s.arg(kitchen.shchi).arg(kitchen.soups)}));
    QSqlQuery query(kitchen.data.db());
    query.exec(u"SELECT DateR, NameR, Nnn, DateMenu, Status FROM Realdoc"_s);
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), u"2024-03-05"_s);
    QCOMPARE(query.value(1).toString(), u"1 Касса 7"_s);
    QVERIFY(query.value(2).isNull());
    QVERIFY(query.value(3).isNull());
    QCOMPARE(query.value(4).toDouble(), 5.0);
}

void tst_SalesReceipt::torgUnknownCodeStoresNothing()
{
    Kitchen kitchen;
    const QByteArray table =
        torgTable({torgRow(kitchen.borscht, u"Борщ"_s, u"10"_s, u"1"_s),
                   torgRow(999, u"Пирожок"_s, u"5"_s, u"1"_s), torgRow(0, u"Нули"_s, u"5"_s, u"1"_s)});
    QVERIFY(!receive(kitchen, table, true));
    QCOMPARE(
        kitchen.prompts.last(),
        u"Приём реализации|Во время импорта обнаружено блюдо \"Пирожок\" которое отсутствует в базе. Импорт остановлен"_s);
    QCOMPARE(kitchen.documents(), 0);
    QCOMPARE(kitchen.lines(), 0);

    // Once the dish exists, the same table gives each dish once.
    kitchen.data.insert(u"Bludo"_s, {{u"Kod1"_s, 999}, {u"Kod"_s, kitchen.soups}, {u"Name"_s, u"Пирожок"_s}});
    QVERIFY(!receive(kitchen, table, true)); // the code of zeros only is no dish either
    QVERIFY(kitchen.prompts.last().contains(u"\"Нули\""_s));
    QCOMPARE(kitchen.documents(), 0);
}

void tst_SalesReceipt::torgTableWithoutValidCodeMakesNoDocument()
{
    Kitchen kitchen;
    QStringList shortCode = torgRow(kitchen.borscht, u"Борщ"_s, u"10"_s, u"1"_s);
    shortCode[0] = u"57"_s;
    for (const QByteArray& table : {torgTable({}), torgTable({shortCode})}) {
        QVERIFY(!receive(kitchen, table, true));
        QCOMPARE(kitchen.documents(), 0);
    }
}

QTEST_GUILESS_MAIN(tst_SalesReceipt)
#include "tst_SalesReceipt.moc"
