// The costing card print of every group of a large kitchen: the time to read, check and fill the
// workbook (with every dish marked, so that clearing the marks is paid for too), the time to write the
// .xlsx file, and the memory the filled workbook takes.
//
//   bench_costing_print [--dishes N] [--lines N]
//
// Each time is the best of three, so that a busy machine disturbs the figures less.

#include "LargeKitchen.h"

#include "costing/CostingCardPrint.h"
#include "reports/Workbook.h"
#include "reports/XlsxFileWriter.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/UserPrompts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const largekitchen::Size size = largekitchen::sizeFromArguments(app.arguments());
    largekitchen::TemporaryKitchen kitchen(size);
    if (!kitchen.database)
        return largekitchen::fail(kitchen.error);
    {
        const QSqlDatabase db = kitchen.database->connection();
        std::printf("kitchen: %d dishes x %d lines in %d groups, %d ingredients\n", size.dishes,
                    size.linesPerDish, size.dishGroups, size.ingredients + size.semiFinished);

        const SystemClock clock;
        const CostingCardOptions options{CardPrintScope::AllGroups, 0, CardPrices::Selling, u"Столовая №1"_s};
        double fillMs = 1e300;
        double writeMs = 1e300;
        long workbookKb = 0;
        qint64 fileBytes = 0;
        CostingCardPrintResult result;
        const QString path = kitchen.dir.filePath(u"cards.xlsx"_s);
        for (int i = 0; i < 3; ++i) {
            // Untimed: every dish marked again and the log written back, so each run clears every mark.
            execSql(db, u"UPDATE Bludo SET Print = 'V'"_s);
            execSql(db, u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
            result = {};
            const long before = largekitchen::statusKb("VmRSS:");
            QElapsedTimer timer;
            timer.start();
            result = CostingCardPrint(db, clock).run(options);
            fillMs = std::min(fillMs, msSince(timer));
            if (!result.workbook)
                return largekitchen::fail(result.error);
            if (i == 0) // later runs reuse the memory the first one freed
                workbookKb = largekitchen::statusKb("VmRSS:") - before;

            XlsxFileWriter writer;
            timer.start();
            if (!writer.write(*result.workbook, path))
                return largekitchen::fail(writer.errorString());
            writeMs = std::min(writeMs, msSince(timer));
            fileBytes = QFileInfo(path).size();
        }
        const Sheet& sheet = result.workbook->sheet(1);
        std::printf("cards printed                          %8d  (%d rows, %zu merged areas)\n",
                    result.cardsPrinted, sheet.rowCount(), sheet.merges().size());
        std::printf("read, check, fill, clear the marks     %8.1f ms\n", fillMs);
        std::printf("write the .xlsx file                   %8.1f ms  (%.1f MB)\n", writeMs, fileBytes / 1e6);
        std::printf("total                                  %8.1f ms\n", fillMs + writeMs);
        std::printf("resident memory added by the print     %8ld kB\n", workbookKb);

        // One group, as the page prints by default.
        const CostingCardOptions oneGroup{CardPrintScope::ChosenGroup, 1, CardPrices::Selling,
                                          options.enterprise};
        double groupMs = 1e300;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            result = CostingCardPrint(db, clock).run(oneGroup);
            groupMs = std::min(groupMs, msSince(timer));
        }
        std::printf("one group (%d cards), fill only        %8.1f ms\n", result.cardsPrinted, groupMs);
    }
    kitchen.database->close();
    return 0;
}
