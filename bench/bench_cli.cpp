// What the command line adds to the operations it calls: "kuhnemer-data reprice", "kuhnemer-data
// print cards --all" and "kuhnemer-data post-sales" of a 300-day period over a large kitchen, against
// the same operations run in this process. The difference is the process start, the opening of the
// database and, for the commands that write, copying the write-ahead log into the database file before
// they exit (the in-process runs leave their log).
//
//   bench_cli [--dishes N] [--ingredients N] [--semi-finished N] [--days N] [--sold N]
//
// Each time is the best of three.

#include "LargeKitchen.h"

#include "costing/CostingCardPrint.h"
#include "costing/DishCostCalculator.h"
#include "reports/Workbook.h"
#include "sales/SalesPosting.h"
#include "store/UserPrompts.h"
#include "tools/CommandSupport.h"
#include "tools/StreamPrompts.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool command(const QStringList& arguments)
{
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + u"/kuhnemer-data"_s, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "kuhnemer-data %s failed: %s\n", qPrintable(arguments.join(u' ')),
                     process.readAllStandardError().constData());
        return false;
    }
    return true;
}

const QDate firstDay(2026, 1, 1);

// One open sales document a day, each selling `sold` dishes; the stock at the start is kept aside so
// that every run posts from the same balances.
bool makeSales(const QSqlDatabase& db, const largekitchen::Size& size, int days, int sold, QString* error)
{
    Transaction transaction(db);
    largekitchen::BatchInsert docs(db, u"Realdoc"_s, {u"Kod"_s, u"DateR"_s, u"NameR"_s, u"Status"_s});
    largekitchen::BatchInsert lines(db, u"Realsum"_s, {u"Kod"_s, u"KodGrBludo"_s, u"KodBludo"_s, u"Kolvo"_s});
    for (int d = 1; d <= days; ++d) {
        docs.add({d, firstDay.addDays(d - 1).toString(Qt::ISODate), u"Смена %1"_s.arg(d), 5});
        for (int l = 0; l < sold; ++l) {
            const int dish = 1 + (d * 37 + l * 101) % size.dishes;
            lines.add({d, 1 + dish % size.dishGroups, dish, 1 + (d + l) % 30});
        }
    }
    if (!docs.flush() || !lines.flush() ||
        !execSql(db, u"CREATE TABLE bench_stock AS SELECT Kod1, Kolvo FROM Ing"_s, {}, error) ||
        !transaction.commit()) {
        *error += docs.error() + lines.error();
        return false;
    }
    return true;
}

void unpostSales(const QSqlDatabase& db)
{
    execSql(db, u"UPDATE Realdoc SET Status = 5"_s);
    execSql(db, u"DELETE FROM RealItog"_s);
    execSql(db, u"DELETE FROM Move"_s);
    execSql(db, u"DELETE FROM Doc"_s);
    execSql(db, u"UPDATE Ing SET Kolvo = (SELECT s.Kolvo FROM bench_stock s WHERE s.Kod1 = Ing.Kod1)"_s);
    execSql(db, u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const int days = largekitchen::takeOption(args, u"--days"_s, 300);
    const int sold = largekitchen::takeOption(args, u"--sold"_s, 60);
    const largekitchen::Size size = largekitchen::sizeFromArguments(args);
    largekitchen::TemporaryKitchen kitchen(size);
    if (!kitchen.database)
        return largekitchen::fail(kitchen.error);
    const QString dataDir = kitchen.dir.filePath(u"DATA"_s);
    std::printf("kitchen: %d dishes x %d lines, %d ingredients, %d semi-finished\n", size.dishes,
                size.linesPerDish, size.ingredients, size.semiFinished);
    {
        const QSqlDatabase db = kitchen.database->connection();
        const auto forgetPrices = [&] {
            execSql(db, u"UPDATE Bludo SET Cena = NULL"_s);
            execSql(db, u"UPDATE Ing SET Cena = 0 WHERE Pf = 1"_s);
            execSql(db, u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
        };
        const auto nothing = [] {};
        const double repriceMs =
            largekitchen::bestOfThreeMs(forgetPrices, [&] { return DishCostCalculator(db).run().ok; });
        const double repriceCliMs = largekitchen::bestOfThreeMs(forgetPrices, [&] {
            return command({u"reprice"_s, dataDir});
        });

        SystemClock clock;
        const QString file = kitchen.dir.filePath(u"cards.xlsx"_s);
        const double printMs = largekitchen::bestOfThreeMs(nothing, [&] {
            CostingCardPrintResult result =
                CostingCardPrint(db, clock).run({CardPrintScope::AllGroups, 0, CardPrices::Selling, {}});
            return result.workbook && commands::saveWorkbook(*result.workbook, file, &kitchen.error);
        });
        const double printCliMs = largekitchen::bestOfThreeMs(nothing, [&] {
            return command({u"print"_s, dataDir, u"cards"_s, u"--all"_s, u"--out"_s, file});
        });

        if (!makeSales(db, size, days, sold, &kitchen.error))
            return largekitchen::fail(kitchen.error);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        StreamPrompts prompts(outStream, errStream);
        const double postMs = largekitchen::bestOfThreeMs([&] { unpostSales(db); },
                                                          [&] {
                                                              for (int d = 1; d <= days; ++d) {
                                                                  if (!SalesPosting(db, prompts).post(d, 0))
                                                                      return false;
                                                              }
                                                              return true;
                                                          });
        const QString lastDay = firstDay.addDays(days - 1).toString(Qt::ISODate);
        const double postCliMs = largekitchen::bestOfThreeMs(
            [&] { unpostSales(db); },
            [&] {
                return command({u"post-sales"_s, dataDir, u"--from"_s, firstDay.toString(Qt::ISODate),
                                u"--to"_s, lastDay});
            });
        const qint64 logLeft = QFileInfo(Database::filePath(dataDir) + u"-wal"_s).size();
        if (repriceMs < 0 || repriceCliMs < 0 || printMs < 0 || printCliMs < 0 || postMs < 0 || postCliMs < 0)
            return largekitchen::fail(u"a run failed: "_s + err);
        std::printf("reprice, every price new:  in process %8.1f ms, command %8.1f ms, ratio %.2f\n",
                    repriceMs, repriceCliMs, repriceCliMs / repriceMs);
        std::printf("print all costing cards:   in process %8.1f ms, command %8.1f ms, ratio %.2f\n", printMs,
                    printCliMs, printCliMs / printMs);
        std::printf("post-sales, %d days x %d:   in process %8.1f ms, command %8.1f ms, ratio %.2f\n", days,
                    sold, postMs, postCliMs, postCliMs / postMs);
        std::printf("  write-ahead log left by the command: %lld bytes\n", static_cast<long long>(logLeft));
    }
    kitchen.database->close();
    return 0;
}
