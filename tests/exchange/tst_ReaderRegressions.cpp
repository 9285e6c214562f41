#include "exchange/CardFile.h"
#include "exchange/Envelope.h"
#include "exchange/SalesSummaryFile.h"
#include "exchange/TorgSalesTable.h"

#include <QBuffer>
#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Every input that ever troubled a reader (and the fuzzing seeds) is read again: each is accepted or
// refused with a reason, never a crash.
class tst_ReaderRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data();
    void replay();
};

void tst_ReaderRegressions::replay_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("path");
    for (const QString& root :
         {QString::fromUtf8(KUHNEMER_REGRESSIONS), QString::fromUtf8(KUHNEMER_FUZZ_CORPUS)}) {
        for (const QString& reader : {u"card"_s, u"summary"_s, u"dbf"_s}) {
            const QDir dir(root + u'/' + reader);
            for (const QString& name : dir.entryList(QDir::Files))
                QTest::newRow(qPrintable(reader + u'/' + name)) << reader << dir.filePath(name);
        }
    }
}

void tst_ReaderRegressions::replay()
{
    QFETCH(QString, reader);
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    if (reader == u"card"_s) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const CardFile::ReadResult read = CardFile::read(buffer, bytes.size() % 2 ? u',' : u'.');
        QCOMPARE(read.content.has_value(), read.problem == CardFile::Problem::None);
    } else if (reader == u"summary"_s) {
        // As the fuzzing target reads it: a plain content wrapped unless its length is a multiple of 4.
        if (bytes.size() % 4 != 0)
            bytes = Envelope::wrap(bytes, "202401010101010").value_or(QByteArray());
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const SalesSummaryFile::ReadResult read = SalesSummaryFile::read(buffer);
        QCOMPARE(read.summary.has_value(), read.problem == SalesSummaryFile::Problem::None);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const TorgSalesTable::ReadResult read = TorgSalesTable::read(buffer);
        QVERIFY(read.sales || !read.problem.isEmpty());
    }
}

QTEST_APPLESS_MAIN(tst_ReaderRegressions)
#include "tst_ReaderRegressions.moc"
