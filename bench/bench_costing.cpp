// The price run over a large kitchen: its time against the time SQLite needs just to read what the run
// reads (card lines, compositions, ingredients and units), and the memory the run takes.
//
//   bench_costing [--dishes N] [--ingredients N] [--semi-finished N]
//
// Each time is the best of three, so that a busy machine disturbs the figures less.

#include "LargeKitchen.h"

#include "costing/DishCostCalculator.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cstdio>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

const char* const readStatements[] = {
    "SELECT Kod, Name, Kolvo, Vihod FROM Karta", "SELECT Kod, Name, Kolvo FROM pf",
    "SELECT Kod1, Edinica, Pf, Cena, Proc, Vih FROM Ing", "SELECT Kod, Gramm FROM Edinica"};

// Lets VmHWM start again from the present size, so that it shows the peak of what follows only.
bool resetPeak()
{
    QFile clearRefs(u"/proc/self/clear_refs"_s);
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// Steps through every row through the driver the program uses, touching every value.
double driverRead(const QSqlDatabase& db)
{
    double sum = 0;
    for (const char* sql : readStatements) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.exec(QString::fromLatin1(sql));
        const int columns = query.record().count();
        while (query.next()) {
            for (int i = 0; i < columns; ++i)
                sum += query.value(i).toDouble();
        }
    }
    return sum;
}

// The same straight through SQLite's C interface, without the driver's values in between.
double sqliteRead(const QSqlDatabase& db)
{
    sqlite3* handle = *static_cast<sqlite3* const*>(db.driver()->handle().data());
    double sum = 0;
    for (const char* sql : readStatements) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr);
        const int columns = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i)
                sum += sqlite3_column_double(statement, i);
        }
        sqlite3_finalize(statement);
    }
    return sum;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const QString server = largekitchen::takeServer(args);
    const largekitchen::Size size = largekitchen::sizeFromArguments(args);
    largekitchen::TemporaryKitchen kitchen(size, server);
    if (!kitchen.database)
        return largekitchen::fail(kitchen.error);
    {
        const QSqlDatabase db = kitchen.database->connection();
        std::printf(
            "kitchen: %d ingredients, %d semi-finished x %d components, %d dishes x %d lines in %d groups\n",
            size.ingredients, size.semiFinished, size.componentsPerProduct, size.dishes, size.linesPerDish,
            size.dishGroups);
        std::printf("engine: %s\n", kitchen.engine());
        std::printf("generated in                          %8.1f ms\n", kitchen.generateMs);

        const auto nothing = [] {};
        volatile double sink = driverRead(db); // warms the caches for every measurement
        const double readMs = largekitchen::bestOfThreeMs(nothing, [&] { sink = driverRead(db); });
        // SQLite's own interface exists on the file only.
        const double sqliteMs =
            server.isEmpty() ? largekitchen::bestOfThreeMs(nothing, [&] { sink = sqliteRead(db); }) : 0;

        DishCostRun run;
        // Untimed: the prices are forgotten and the log is written back into the database, so that the
        // run pays for its own writing only.
        const auto forgetPrices = [&] {
            execSql(db, u"UPDATE Bludo SET Cena = NULL"_s);
            execSql(db, u"UPDATE Ing SET Cena = 0 WHERE Pf = 1"_s);
            execSql(db, u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
        };
        forgetPrices();
        const bool peakReset = resetPeak();
        const long peakBefore = largekitchen::statusKb("VmHWM:");
        run = DishCostCalculator(db).run();
        const long peakAfter = largekitchen::statusKb("VmHWM:");
        if (!run.ok)
            return largekitchen::fail(run.message);
        const double newMs =
            largekitchen::bestOfThreeMs(forgetPrices, [&] { run = DishCostCalculator(db).run(); });
        const int written = run.dishPricesChanged;
        const double sameMs =
            largekitchen::bestOfThreeMs(nothing, [&] { run = DishCostCalculator(db).run(); });

        std::printf("price run, every price new            %8.1f ms  (%d dish prices written)\n", newMs,
                    written);
        std::printf("price run, no price changed           %8.1f ms  (%d dish prices written)\n", sameMs,
                    run.dishPricesChanged);
        std::printf("plain read of the same lines, compositions, ingredients and units:\n");
        std::printf("  through the driver (QSqlQuery)      %8.1f ms\n", readMs);
        std::printf("  through SQLite's C interface        %8.1f ms\n", sqliteMs);
        std::printf(
            "ratio run / driver read               %8.2f (every price new), %.2f (no price changed)\n",
            newMs / readMs, sameMs / readMs);
        std::printf(
            "ratio run / C interface read          %8.2f (every price new), %.2f (no price changed)\n",
            newMs / sqliteMs, sameMs / sqliteMs);
        std::printf("memory: resident before the run       %8ld kB\n", peakBefore);
        std::printf("        peak during the run           %8ld kB  (+%ld kB)%s\n", peakAfter,
                    peakAfter - peakBefore, peakReset ? "" : "  [peak not reset: includes the generation]");
    }
    kitchen.database->close();
    return 0;
}
