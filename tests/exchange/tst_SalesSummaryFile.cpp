#include "exchange/Envelope.h"
#include "exchange/SalesSummaryFile.h"
#include "store/CodePage.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString head = u"<<<< ИТОГОВЫЙ ФАЙЛ БУФЕТОН >>>>"_s;
const QString deferred = u"<<<< ОТЛОЖЕННЫЕ ПЛАТЕЖИ И СКИДКИ >>>>"_s;
const QString end = u"<<<< КОНЕЦ ИТОГОВОГО ФАЙЛА БУФЕТОН >>>>"_s;

QByteArray wrapped(const QStringList& lines)
{
    QByteArray plain;
    for (const QString& line : lines)
        plain += *codepage::encode(line, codepage::Page::Windows1251) + "\r\n";
    return *Envelope::wrap(plain, "202403101520123");
}

QStringList body(const QStringList& records)
{
    return QStringList{head, u"5"_s, u"3"_s, u"2024"_s, u"Касса 1"_s, u"12"_s} + records +
           QStringList{deferred, u"что угодно"_s, end};
}

} // namespace

class tst_SalesSummaryFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAWholeFile();
    void refuses_data();
    void refuses();
};

void tst_SalesSummaryFile::readsAWholeFile()
{
    const SalesSummaryFile::ReadResult read = SalesSummaryFile::parse(
        wrapped(body({u"57"_s, u"12.50"_s, u"3"_s, u"0058"_s, u"12,50"_s, u"-1,5"_s})));
    QCOMPARE(read.problem, SalesSummaryFile::Problem::None);
    QVERIFY(read.summary);
    QCOMPARE(read.summary->date, QDate(2024, 3, 5));
    QCOMPARE(read.summary->name, u"Касса 1"_s);
    QCOMPARE(read.summary->menu, 12);
    QCOMPARE(read.summary->lines.size(), 2);
    QCOMPARE(read.summary->lines[0].dish, 57);
    QCOMPARE(read.summary->lines[0].price, 12.5);
    QCOMPARE(read.summary->lines[0].portions, 3.0);
    QCOMPARE(read.summary->lines[1].dish, 58);
    QCOMPARE(read.summary->lines[1].price, 12.5);
    QCOMPARE(read.summary->lines[1].portions, -1.5);

    const SalesSummaryFile::ReadResult none = SalesSummaryFile::parse(wrapped(body({})));
    QVERIFY(none.summary);
    QVERIFY(none.summary->lines.isEmpty());
}

void tst_SalesSummaryFile::refuses_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<SalesSummaryFile::Problem>("problem");
    using P = SalesSummaryFile::Problem;
    const QByteArray good = wrapped(body({u"57"_s, u"12.50"_s, u"3"_s}));
    QByteArray checksum = good;
    checksum[24] = char(checksum[24] + 1);
    QTest::newRow("checksum off by one") << checksum << P::Damaged;
    QTest::newRow("cut short") << good.chopped(3) << P::Damaged;
    QTest::newRow("not digits") << QByteArray("hello") << P::Damaged;
    QTest::newRow("other head line") << wrapped({u"<<<< МЕНЮ >>>>"_s, deferred, end}) << P::Damaged;
    QTest::newRow("older format") << wrapped({head, u"5"_s, u"3"_s, u"2024"_s, u"Касса"_s, u"12"_s, u"57"_s,
                                              u"1"_s, u"1"_s, end})
                                  << P::OlderFormat;
    QTest::newRow("no end line") << wrapped({head, u"5"_s, u"3"_s, u"2024"_s, u"Касса"_s, u"12"_s, deferred})
                                 << P::Damaged;
    QTest::newRow("deferred line is last") << wrapped({head, deferred}) << P::Damaged;
    QTest::newRow("record cut to two lines") << wrapped(body({u"57"_s, u"12.50"_s})) << P::Damaged;
    QTest::newRow("record of four lines")
        << wrapped(body({u"57"_s, u"12.50"_s, u"3"_s, u"58"_s})) << P::Damaged;
    QTest::newRow("head cut") << wrapped({head, u"5"_s, u"3"_s, deferred, end}) << P::Damaged;
    QTest::newRow("key not whole") << wrapped(body({u"5.7"_s, u"12.50"_s, u"3"_s})) << P::Damaged;
    QTest::newRow("price two separators") << wrapped(body({u"57"_s, u"1.250,5"_s, u"3"_s})) << P::Damaged;
    QTest::newRow("quantity empty") << wrapped(body({u"57"_s, u"12.50"_s, QString()})) << P::Damaged;
    QTest::newRow("minus inside") << wrapped(body({u"57"_s, u"12-50"_s, u"3"_s})) << P::Damaged;
    QTest::newRow("no such day") << wrapped({head, u"31"_s, u"2"_s, u"2024"_s, u"Касса"_s, u"12"_s, deferred,
                                             end})
                                 << P::Damaged;
    QTest::newRow("huge line") << wrapped(body({QString(100000, u'7'), u"1"_s, u"1"_s})) << P::Damaged;
}

void tst_SalesSummaryFile::refuses()
{
    QFETCH(QByteArray, stored);
    QFETCH(SalesSummaryFile::Problem, problem);
    const SalesSummaryFile::ReadResult read = SalesSummaryFile::parse(stored);
    QCOMPARE(read.problem, problem);
    QVERIFY(!read.summary);
}

QTEST_APPLESS_MAIN(tst_SalesSummaryFile)
#include "tst_SalesSummaryFile.moc"
