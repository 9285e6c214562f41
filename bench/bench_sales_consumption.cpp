// The consumption of one sales document over the large kitchen: its time against the time the driver
// needs just to read the rows the calculation reads (the document's lines, their dishes and cards, the
// compositions and ingredients of those cards, the units).
//
//   bench_sales_consumption [--lines N] [--dishes N] [--ingredients N] [--semi-finished N]
//
// "--lines" is the number of lines of the document (500 by default). Each time is the best of three.

#include "LargeKitchen.h"

#include "sales/ConsumptionCalculator.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QString dishes = u"WITH d(k) AS (SELECT KodBludo FROM Realsum WHERE Kod = ?), "
                       "c(k) AS (SELECT Name FROM Karta WHERE Kod IN (SELECT k FROM d)) "_s;
const QString readStatements[] = {
    u"SELECT Kod, Gramm FROM Edinica"_s,
    u"SELECT KodBludo, Kolvo FROM Realsum WHERE Kod = ? ORDER BY Nnn"_s,
    dishes + u"SELECT Kod1, Nporc, Proc, Cena FROM Bludo WHERE Kod1 IN (SELECT k FROM d)"_s,
    dishes + u"SELECT Kod, Name, Kolvo, Vihod FROM Karta WHERE Kod IN (SELECT k FROM d) ORDER BY NNN"_s,
    dishes + u"SELECT Kod, Name, Kolvo FROM pf WHERE Kod IN (SELECT k FROM c) ORDER BY NNN"_s,
    dishes + u"SELECT Kod1, Kod, Edinica, Pf, Cena, Proc, Vih, Okr, Position FROM Ing WHERE Kod1 IN "
             "(SELECT k FROM c UNION SELECT Name FROM pf WHERE Kod IN (SELECT k FROM c))"_s};

// Steps through every row the calculation reads, touching every value; the number of rows read.
int driverRead(const QSqlDatabase& db, qlonglong document, double* sum)
{
    int rows = 0;
    for (const QString& sql : readStatements) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.prepare(sql);
        if (sql.contains(u'?'))
            query.addBindValue(document);
        query.exec();
        const int columns = query.record().count();
        while (query.next()) {
            ++rows;
            for (int i = 0; i < columns; ++i)
                *sum += query.value(i).toDouble();
        }
    }
    return rows;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const int lines = largekitchen::takeOption(args, u"--lines"_s, 500);
    const largekitchen::Size size = largekitchen::sizeFromArguments(args);
    largekitchen::TemporaryKitchen kitchen(size);
    if (!kitchen.database)
        return largekitchen::fail(kitchen.error);
    {
        const QSqlDatabase db = kitchen.database->connection();
        // One document of distinct dishes spread over the whole kitchen, a few portions each.
        qlonglong document = 0;
        {
            Transaction transaction(db);
            execSql(db, u"INSERT INTO Realdoc (DateR, NameR, Status) VALUES ('2024-06-01', 'bench', 5)"_s);
            QSqlQuery last(db);
            if (last.exec(u"SELECT max(Kod) FROM Realdoc"_s) && last.next())
                document = last.value(0).toLongLong();
            largekitchen::BatchInsert sales(
                db, u"Realsum"_s, {u"Kod"_s, u"KodGrBludo"_s, u"KodBludo"_s, u"Kolvo"_s, u"Cumma"_s});
            const int step = std::max(1, size.dishes / std::max(1, lines));
            for (int l = 0; l < lines; ++l) {
                const int dish = 1 + (l * step) % size.dishes;
                sales.add({document, 1 + dish % size.dishGroups, dish, 1 + l % 40, 100});
            }
            if (!sales.flush() || !transaction.commit())
                return largekitchen::fail(u"document: "_s + sales.error());
        }
        std::printf("kitchen: %d ingredients, %d semi-finished x %d components, %d dishes x %d lines\n",
                    size.ingredients, size.semiFinished, size.componentsPerProduct, size.dishes,
                    size.linesPerDish);
        std::printf("generated in                          %8.1f ms\n", kitchen.generateMs);
        std::printf("document of %d lines\n", lines);

        const auto nothing = [] {};
        double sink = 0;
        const int rowsRead = driverRead(db, document, &sink); // warms the caches
        const double readMs = largekitchen::bestOfThreeMs(nothing, [&] { driverRead(db, document, &sink); });

        ConsumptionRun run = ConsumptionCalculator(db).run(document);
        if (!run.ok)
            return largekitchen::fail(run.message);
        // Untimed: the document's rows, or the dish prices, are forgotten, so that the run writes them.
        const auto forget = [&](const QString& sql) {
            return [&db, sql, document] {
                execSql(db, sql, sql.contains(u'?') ? QVariantList{document} : QVariantList{});
                execSql(db, u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
            };
        };
        const auto calculate = [&] { run = ConsumptionCalculator(db).run(document); };
        const double firstMs =
            largekitchen::bestOfThreeMs(forget(u"DELETE FROM RealItog WHERE Kod = ?"_s), calculate);
        const int rowsWritten = run.rowsRewritten ? run.rows : 0;
        const double pricesMs =
            largekitchen::bestOfThreeMs(forget(u"UPDATE Bludo SET Cena = NULL"_s), calculate);
        const int pricesWritten = run.dishPricesChanged;
        const double sameMs = largekitchen::bestOfThreeMs(nothing, calculate);

        std::printf("first calculation                     %8.1f ms  (%d rows written, %d dish prices)\n",
                    firstMs, rowsWritten, run.dishPricesChanged);
        std::printf("again, every dish price new           %8.1f ms  (%d dish prices written)\n", pricesMs,
                    pricesWritten);
        std::printf("again, nothing changed                %8.1f ms  (%s)\n", sameMs,
                    run.rowsRewritten ? "rows rewritten" : "nothing written");
        std::printf("plain read of the same rows (driver)  %8.1f ms  (%d rows)\n", readMs, rowsRead);
        std::printf(
            "ratio run / read                      %8.2f (first), %.2f (prices new), %.2f (unchanged)\n",
            firstMs / readMs, pricesMs / readMs, sameMs / readMs);
    }
    kitchen.database->close();
    return 0;
}
