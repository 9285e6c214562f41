// The period summary over a year of sales: 365 posted documents of 100 lines, each with its stored
// consumption, summed up and printed; against the time the driver needs to read the same lines and
// consumption rows once plus the time to write the printed cells straight through libxlsxwriter.
// Then the same year with every document open, so that each is calculated on the way (twice: rows
// rewritten, then found unchanged), and the stored result read back as posted documents.
//
//   bench_sales_summary [--consumption N] [--dishes N] [--ingredients N] [--semi-finished N]
//
// "--consumption" is the number of consumption rows of a document (150 by default). Best of three.

#include "DirectXlsx.h"
#include "LargeKitchen.h"

#include "reports/XlsxFileWriter.h"
#include "sales/SalesSummary.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

constexpr int documents = 365;
constexpr int linesPerDocument = 100;
const QDate firstDay(2023, 1, 1);
const QDate lastDay = firstDay.addDays(documents - 1);

const QString readStatements[] = {
    u"SELECT s.KodBludo, s.Kolvo, s.Cumma FROM Realdoc d JOIN Realsum s ON s.Kod = d.Kod "
    "WHERE d.DateR >= ? AND d.DateR <= ? AND s.Kolvo <> 0"_s,
    u"SELECT r.KodIng, r.Kolvo, r.CenaIng, r.Cenaing1 FROM Realdoc d JOIN RealItog r ON r.Kod = d.Kod "
    "WHERE d.DateR >= ? AND d.DateR <= ?"_s};

int driverRead(const QSqlDatabase& db, double* sum)
{
    int rows = 0;
    for (const QString& sql : readStatements) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.prepare(sql);
        query.addBindValue(firstDay.toString(Qt::ISODate));
        query.addBindValue(lastDay.toString(Qt::ISODate));
        query.exec();
        while (query.next()) {
            ++rows;
            for (int i = 0; i < query.record().count(); ++i)
                *sum += query.value(i).toDouble();
        }
    }
    return rows;
}

// Every cell of every sheet, row by row.
QVariantList allCells(const Workbook& workbook)
{
    QVariantList cells;
    for (int s = 1; s <= workbook.sheetCount(); ++s) {
        const Sheet& sheet = workbook.sheet(s);
        for (int r = 1; r <= sheet.rowCount(); ++r)
            for (int c = 1; c <= sheet.columnCount(); ++c)
                cells << sheet.value(r, c);
    }
    return cells;
}

bool makeYear(const QSqlDatabase& db, const largekitchen::Size& size, int consumption, QString* error)
{
    Transaction transaction(db);
    largekitchen::BatchInsert docs(db, u"Realdoc"_s, {u"Kod"_s, u"DateR"_s, u"NameR"_s, u"Status"_s});
    largekitchen::BatchInsert lines(db, u"Realsum"_s,
                                    {u"Kod"_s, u"KodGrBludo"_s, u"KodBludo"_s, u"Kolvo"_s, u"Cumma"_s});
    largekitchen::BatchInsert rows(
        db, u"RealItog"_s,
        {u"Kod"_s, u"KodGrIng"_s, u"KodIng"_s, u"CenaIng"_s, u"Cenaing1"_s, u"Kolvo"_s, u"Edinica"_s});
    for (int d = 1; d <= documents; ++d) {
        docs.add({d, firstDay.addDays(d - 1).toString(Qt::ISODate), u"Смена %1"_s.arg(d), 4});
        for (int l = 0; l < linesPerDocument; ++l) {
            const int dish = 1 + (d * 37 + l * 101) % size.dishes;
            lines.add({d, 1 + dish % size.dishGroups, dish, 1 + (d + l) % 30, 50 + l % 17});
        }
        for (int r = 0; r < consumption; ++r) {
            const int ingredient = 1 + (d * 13 + r * 7) % size.ingredients;
            rows.add({d, 1 + ingredient % size.ingredientGroups, ingredient, 10 + r % 90, 12 + r % 90,
                      0.125 * (1 + (d + r) % 40), 1});
        }
    }
    if (!docs.flush() || !lines.flush() || !rows.flush() || !transaction.commit()) {
        *error = docs.error() + lines.error() + rows.error();
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const int consumption = largekitchen::takeOption(args, u"--consumption"_s, 150);
    const QString server = largekitchen::takeServer(args);
    const largekitchen::Size size = largekitchen::sizeFromArguments(args);
    largekitchen::TemporaryKitchen kitchen(size, server, [&](QSqlDatabase db, QString* error) {
        return makeYear(db, size, consumption, error);
    });
    if (!kitchen.database)
        return largekitchen::fail(kitchen.error);
    {
        const QSqlDatabase db = kitchen.database->connection();
        std::printf("engine: %s\n", kitchen.engine());
        std::printf("year: %d posted documents x %d lines, %d consumption rows each\n", documents,
                    linesPerDocument, consumption);

        double sink = 0;
        const int rowsRead = driverRead(db, &sink); // warms the caches
        const double readMs = largekitchen::bestOfThreeMs([&] { driverRead(db, &sink); });

        SalesSummaryResult result;
        const double fillMs =
            largekitchen::bestOfThreeMs([&] { result = SalesSummary(db).run(firstDay, lastDay); });
        if (!result.workbook)
            return largekitchen::fail(result.error);
        const QString ours = kitchen.dir.filePath(u"summary.xlsx"_s);
        const QString direct = kitchen.dir.filePath(u"direct.xlsx"_s);
        const double writeMs =
            largekitchen::bestOfThreeMs([&] { XlsxFileWriter().write(*result.workbook, ours); });
        const double directMs =
            largekitchen::bestOfThreeMs([&] { directxlsx::write(*result.workbook, direct); });
        const double valuedMs = largekitchen::bestOfThreeMs(
            [&] { directxlsx::write(*result.workbook, direct, directxlsx::EmptyCells::Skip); });
        const int printed = result.workbook->sheet(1).rowCount() + result.workbook->sheet(2).rowCount();

        std::printf("summary (read, sum, scratch tables, fill) %8.1f ms\n", fillMs);
        std::printf("  + writing the file                      %8.1f ms\n", writeMs);
        std::printf("plain read of the rows (driver)           %8.1f ms  (%d rows)\n", readMs, rowsRead);
        std::printf("  + the same cells through libxlsxwriter  %8.1f ms  (%d printed rows)\n", directMs,
                    printed);
        std::printf("ratio (summary + file) / (read + cells)   %8.2f\n",
                    (fillMs + writeMs) / (readMs + directMs));
        std::printf("  (the valued cells only: %.1f ms, ratio %.2f)\n", valuedMs,
                    (fillMs + writeMs) / (readMs + valuedMs));

        // Every document open: each is calculated on the way, all in one pass. Timed in wall and
        // processor time, since a shared machine stretches the first; the second run finds the rows
        // it calculates already stored.
        execSql(db, u"UPDATE Realdoc SET Status = 5"_s);
        for (const char* run : {"rows rewritten", "rows unchanged"}) {
            QElapsedTimer timer;
            timer.start();
            const std::clock_t processor = std::clock();
            result = SalesSummary(db).run(firstDay, lastDay);
            if (!result.workbook)
                return largekitchen::fail(result.error);
            std::printf("every document open (%s) %8.1f ms, processor %8.1f ms  (%d calculated)\n", run,
                        timer.nsecsElapsed() / 1e6, double(std::clock() - processor) * 1000 / CLOCKS_PER_SEC,
                        result.recalculated);
        }
        // Read back: the same documents posted count with the rows the open ones stored, and must
        // print the very same cells as the totals summed in memory.
        const QVariantList calculated = allCells(*result.workbook);
        execSql(db, u"UPDATE Realdoc SET Status = 4"_s);
        result = SalesSummary(db).run(firstDay, lastDay);
        if (!result.workbook || allCells(*result.workbook) != calculated)
            return largekitchen::fail(u"the stored consumption prints other figures than the calculated"_s);
        std::printf("read back: the stored rows print the same %lld cells\n",
                    static_cast<long long>(calculated.size()));
    }
    kitchen.database->close();
    return 0;
}
