// What the command line adds to the operations it calls: "kuhnemer-data reprice" and
// "kuhnemer-data print cards --all" over a large kitchen, against the same operations run in this
// process. The difference is the process start and the opening of the database.
//
//   bench_cli [--dishes N] [--ingredients N] [--semi-finished N]
//
// Each time is the best of three.

#include "LargeKitchen.h"

#include "costing/CostingCardPrint.h"
#include "costing/DishCostCalculator.h"
#include "reports/Workbook.h"
#include "store/UserPrompts.h"
#include "tools/CommandSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const largekitchen::Size size = largekitchen::sizeFromArguments(app.arguments());
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
        if (repriceMs < 0 || repriceCliMs < 0 || printMs < 0 || printCliMs < 0)
            return largekitchen::fail(u"a run failed"_s);
        std::printf("reprice, every price new:  in process %8.1f ms, command %8.1f ms, ratio %.2f\n",
                    repriceMs, repriceCliMs, repriceCliMs / repriceMs);
        std::printf("print all costing cards:   in process %8.1f ms, command %8.1f ms, ratio %.2f\n", printMs,
                    printCliMs, printCliMs / printMs);
    }
    kitchen.database->close();
    return 0;
}
