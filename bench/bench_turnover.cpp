// The full turnover statement of all groups over 100,000 posted movement lines: its time against the
// time the driver needs to read the same lines once plus the time to write the printed cells straight
// through libxlsxwriter.
//
//   bench_turnover [--moves N] [--dishes N] [--ingredients N] [--semi-finished N]
//
// Best of three.

#include "DirectXlsx.h"
#include "LargeKitchen.h"

#include "reports/XlsxFileWriter.h"
#include "warehouse/TurnoverStatement.h"

#include <QCoreApplication>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QDate firstDay(2023, 1, 1);
const QDate lastDay(2023, 12, 31);

int driverRead(const QSqlDatabase& db, double* sum)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(u"SELECT m.Kod, m.Date, m.Nomer, p.Name, m.Oper, m.Cena, m.Kolvo FROM Move m "
                  "LEFT JOIN Partner p ON p.Nnn = m.Partner WHERE m.Provodka = 1 AND m.Date >= ? "
                  "AND m.Date <= ?"_s);
    query.addBindValue(firstDay.toString(Qt::ISODate));
    query.addBindValue(lastDay.toString(Qt::ISODate));
    query.exec();
    int rows = 0;
    while (query.next()) {
        ++rows;
        for (int i = 0; i < 7; ++i)
            *sum += query.value(i).toString().size();
    }
    return rows;
}

bool makeMoves(const QSqlDatabase& db, const largekitchen::Size& size, int moves, QString* error)
{
    Transaction transaction(db);
    largekitchen::BatchInsert partners(db, u"Partner"_s, {u"Nnn"_s, u"Name"_s});
    for (int p = 1; p <= 50; ++p)
        partners.add({p, u"Поставщик %1"_s.arg(p)});
    largekitchen::BatchInsert lines(db, u"Move"_s,
                                    {u"Kod"_s, u"Date"_s, u"Nomer"_s, u"Partner"_s, u"Oper"_s, u"Cena"_s,
                                     u"Kolvo"_s, u"Kod1"_s, u"Provodka"_s});
    for (int m = 0; m < moves; ++m) {
        const int ingredient = 1 + (m * 7) % size.ingredients;
        lines.add({ingredient, firstDay.addDays(m % 365).toString(Qt::ISODate), u"Д-%1"_s.arg(m / 20),
                   1 + m % 50, m % 3 ? u"R"_s : u"P"_s, 10.1234 + m % 100, 0.5 + m % 20, 1 + m / 20, 1});
    }
    if (!partners.flush() || !lines.flush() || !transaction.commit()) {
        *error = partners.error() + lines.error();
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const int moves = largekitchen::takeOption(args, u"--moves"_s, 100000);
    const QString server = largekitchen::takeServer(args);
    const largekitchen::Size size = largekitchen::sizeFromArguments(args);
    largekitchen::TemporaryKitchen kitchen(
        size, server, [&](QSqlDatabase db, QString* error) { return makeMoves(db, size, moves, error); });
    if (!kitchen.database)
        return largekitchen::fail(kitchen.error);
    {
        const QSqlDatabase db = kitchen.database->connection();
        std::printf("engine: %s\n", kitchen.engine());
        std::printf("%d posted movement lines over %d ingredients in %d groups\n", moves, size.ingredients,
                    size.ingredientGroups);
        double sink = 0;
        const int rowsRead = driverRead(db, &sink);
        const double readMs = largekitchen::bestOfThreeMs([&] { driverRead(db, &sink); });

        std::unique_ptr<Workbook> book;
        const TurnoverOptions options{TurnoverScope::AllGroups, false, firstDay, lastDay, 0, 0};
        const double fillMs = largekitchen::bestOfThreeMs([&] {
            book = std::make_unique<Workbook>();
            if (!TurnoverStatement(db).fill(*book, options, &kitchen.error))
                book.reset();
        });
        if (!book)
            return largekitchen::fail(kitchen.error);
        const double writeMs = largekitchen::bestOfThreeMs(
            [&] { XlsxFileWriter().write(*book, kitchen.dir.filePath(u"turnover.xlsx"_s)); });
        const double directMs = largekitchen::bestOfThreeMs(
            [&] { directxlsx::write(*book, kitchen.dir.filePath(u"direct.xlsx"_s)); });
        const double valuedMs = largekitchen::bestOfThreeMs([&] {
            directxlsx::write(*book, kitchen.dir.filePath(u"direct.xlsx"_s), directxlsx::EmptyCells::Skip);
        });

        std::printf("statement (read, fill)                    %8.1f ms  (%d rows)\n", fillMs,
                    book->sheet(1).rowCount());
        std::printf("  + writing the file                      %8.1f ms\n", writeMs);
        std::printf("plain read of the lines (driver)          %8.1f ms  (%d lines)\n", readMs, rowsRead);
        std::printf("  + the same cells through libxlsxwriter  %8.1f ms\n", directMs);
        std::printf("ratio (statement + file) / (read + cells) %8.2f\n",
                    (fillMs + writeMs) / (readMs + directMs));
        std::printf("  (the valued cells only: %.1f ms, ratio %.2f)\n", valuedMs,
                    (fillMs + writeMs) / (readMs + valuedMs));
    }
    kitchen.database->close();
    return 0;
}
