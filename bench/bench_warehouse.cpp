// Warehouse postings over the large kitchen with 100,000 movement lines: a receipt of 500 lines, the
// posting of a sales document of 500 lines and an inventory of every ingredient, each against the time
// the driver needs to read the rows it touches once; then the stock page's views.
//
//   bench_warehouse [--dishes N] [--ingredients N] [--semi-finished N]
//
// Each posting runs three times on fresh documents; the best time counts.
#include "LargeKitchen.h"
#include "sales/SalesPosting.h"
#include "store/Database.h"
#include "store/TableModel.h"
#include "store/UserPrompts.h"
#include "warehouse/InventoryDocuments.h"
#include "warehouse/StockDocuments.h"

#include <QCoreApplication>
#include <QSqlRecord>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct SilentPrompts : UserPrompts
{
    using UserPrompts::confirm;
    bool confirm(const QString&, const QString&, Default) override { return true; }
    void inform(const QString&, const QString&) override {}
    void warn(const QString&, const QString& text) override
    {
        std::printf("warning: %s\n", qPrintable(text));
    }
    int choose(const QString&, const QString&, const QStringList&) override { return 0; }
};

qlonglong insertKey(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db);
    QString error;
    runQuery(query, sql, values, &error);
    return query.lastInsertId().toLongLong();
}

// Steps through every row of the statements, touching every value; the number of rows read.
int readRows(const QSqlDatabase& db, const QList<QPair<QString, QVariantList>>& statements)
{
    int rows = 0;
    double sum = 0;
    for (const auto& [sql, values] : statements) {
        QString error;
        forEachRow(
            db, sql, values,
            [&](const QSqlQuery& query) {
                ++rows;
                for (int i = 0; i < query.record().count(); ++i)
                    sum += query.value(i).toDouble();
            },
            &error);
    }
    return sum == -1 ? 0 : rows;
}

double ms(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void report(const char* what, double postMs, double readMs, int rows)
{
    std::printf("%-34s %8.1f ms   read once %7.1f ms (%d rows)   ratio %.2f\n", what, postMs, readMs, rows,
                postMs / readMs);
}

// 100,000 posted movement lines in 2,000 documents, spread over every ingredient.
bool makeMovements(const QSqlDatabase& db, const largekitchen::Size& size, QString* error)
{
    Transaction transaction(db);
    largekitchen::BatchInsert docs(db, u"Doc"_s,
                                   {u"Nnn"_s, u"Date"_s, u"Nomer"_s, u"Partner"_s, u"Provodka"_s});
    largekitchen::BatchInsert moves(
        db, u"Move"_s, {u"Kod"_s, u"Kod1"_s, u"Date"_s, u"Oper"_s, u"Cena"_s, u"Kolvo"_s, u"Provodka"_s});
    for (int d = 1; d <= 2000; ++d) {
        docs.add({d, u"2024-01-01"_s, u"№%1"_s.arg(d), 1, 1});
        for (int l = 0; l < 50; ++l)
            moves.add({1 + (d * 50 + l * 37) % size.ingredients, d, u"2024-01-01"_s, l % 3 ? u"P"_s : u"R"_s,
                       10, 1, 1});
    }
    if (docs.flush() && moves.flush() && transaction.commit())
        return true;
    *error = u"movements: "_s + docs.error() + moves.error();
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const QString server = largekitchen::takeServer(args);
    const largekitchen::Size size = largekitchen::sizeFromArguments(args);
    largekitchen::TemporaryKitchen kitchen(
        size, server, [&](QSqlDatabase db, QString* error) { return makeMovements(db, size, error); });
    if (!kitchen.database)
        return largekitchen::fail(kitchen.error);
    const QSqlDatabase db = kitchen.database->connection();
    SilentPrompts prompts;
    std::printf("engine: %s\n", kitchen.engine());
    std::printf("kitchen: %d ingredients, %d dishes, 100000 movement lines (generated in %.0f ms)\n",
                size.ingredients, size.dishes, kitchen.generateMs);

    double receiptMs = 1e300, receiptReadMs = 1e300, salesMs = 1e300, salesReadMs = 1e300;
    double inventoryMs = 1e300, inventoryReadMs = 1e300;
    int receiptRows = 0, salesRows = 0, inventoryRows = 0;
    for (int run = 0; run < 3; ++run) {
        // A receipt of 500 lines.
        const qlonglong receipt = insertKey(
            db, u"INSERT INTO Doc (Date, Nomer, Partner, Provodka) VALUES ('2024-06-01', 'r', 1, 0)"_s, {});
        {
            Transaction transaction(db);
            for (int l = 0; l < 500; ++l)
                execSql(db, u"INSERT INTO Move (Kod1, Kod, Cena, Kolvo, Provodka) VALUES (?, ?, 12, 3, 0)"_s,
                        {receipt, 1 + (l * 3 + run) % size.ingredients});
            transaction.commit();
        }
        const QList<QPair<QString, QVariantList>> receiptReads = {
            {u"SELECT Nnn, Kod, Kolvo, Cena FROM Move WHERE Kod1 = ?"_s, {receipt}},
            {u"SELECT Kod1, Kolvo, Cena FROM Ing WHERE Kod1 IN (SELECT Kod FROM Move WHERE Kod1 = ?)"_s,
             {receipt}}};
        receiptReadMs = std::min(receiptReadMs, ms([&] { receiptRows = readRows(db, receiptReads); }));
        receiptMs = std::min(
            receiptMs, ms([&] { StockDocuments(db, prompts).postReceipt(receipt, PriceRule::Average); }));

        // A sales document of 500 lines of distinct dishes.
        const qlonglong sales =
            insertKey(db, u"INSERT INTO Realdoc (DateR, NameR, Status) VALUES ('2024-06-01', 's', 5)"_s, {});
        {
            Transaction transaction(db);
            const int step = std::max(1, size.dishes / 500);
            for (int l = 0; l < 500; ++l) {
                const int dish = 1 + (l * step + run) % size.dishes;
                execSql(
                    db,
                    u"INSERT INTO Realsum (Kod, KodGrBludo, KodBludo, Kolvo, Cumma) VALUES (?, ?, ?, ?, 100)"_s,
                    {sales, 1 + dish % size.dishGroups, dish, 1 + l % 40});
            }
            transaction.commit();
        }
        const QString dishes = u"WITH d(k) AS (SELECT KodBludo FROM Realsum WHERE Kod = ?), "
                               "c(k) AS (SELECT Name FROM Karta WHERE Kod IN (SELECT k FROM d)) "_s;
        const QList<QPair<QString, QVariantList>> salesReads = {
            {u"SELECT Kod, Gramm FROM Edinica"_s, {}},
            {u"SELECT Nnn, KodBludo, Kolvo FROM Realsum WHERE Kod = ?"_s, {sales}},
            {dishes + u"SELECT Kod1, Nporc, Proc, Cena FROM Bludo WHERE Kod1 IN (SELECT k FROM d)"_s,
             {sales}},
            {dishes + u"SELECT Kod, Name, Kolvo, Vihod FROM Karta WHERE Kod IN (SELECT k FROM d)"_s, {sales}},
            {dishes + u"SELECT Kod, Name, Kolvo FROM pf WHERE Kod IN (SELECT k FROM c)"_s, {sales}},
            {dishes + u"SELECT Kod1, Kod, Edinica, Pf, Cena, Proc, Vih, Okr, Position FROM Ing WHERE Kod1 IN "
                      "(SELECT k FROM c UNION SELECT Name FROM pf WHERE Kod IN (SELECT k FROM c))"_s,
             {sales}}};
        salesReadMs = std::min(salesReadMs, ms([&] { salesRows = readRows(db, salesReads); }));
        salesMs = std::min(salesMs, ms([&] { SalesPosting(db, prompts).post(sales, 1); }));

        // An inventory of every ingredient, posted without clearing.
        const qlonglong inventory =
            insertKey(db, u"INSERT INTO invdok (Date, Name, Provodka) VALUES ('2024-06-02', 'i', 0)"_s, {});
        InventoryDocuments(db, prompts).transfer(inventory, [] { return CountedStart::Balance; });
        execSql(db, u"UPDATE inv SET NewKolvo = NewKolvo + 1 WHERE Kod = ?"_s, {inventory});
        const QList<QPair<QString, QVariantList>> inventoryReads = {
            {u"SELECT Ing, Ing22, NewKolvo, Newprice FROM inv WHERE Kod = ?"_s, {inventory}},
            {u"SELECT Kod1, Kolvo FROM Ing WHERE Kod1 IN (SELECT Ing FROM inv WHERE Kod = ?)"_s,
             {inventory}}};
        inventoryReadMs =
            std::min(inventoryReadMs, ms([&] { inventoryRows = readRows(db, inventoryReads); }));
        inventoryMs = std::min(inventoryMs, ms([&] {
                                   QString postError;
                                   if (!InventoryDocuments(db, prompts).post(inventory, false, &postError))
                                       std::printf("inventory: %s\n", qPrintable(postError));
                               }));
    }
    report("receipt of 500 lines", receiptMs, receiptReadMs, receiptRows);
    report("sales posting of 500 lines", salesMs, salesReadMs, salesRows);
    report("inventory of all ingredients", inventoryMs, inventoryReadMs, inventoryRows);
    std::printf("(each posting includes its durable commit)\n");

    // The stock page: the ingredients of a group and the movements of one ingredient.
    TableModel groups(db, {u"Gring"_s, {u"Name"_s}});
    TableModel ingredients(db, {u"Ing"_s,
                                {u"Name"_s},
                                u"Kod"_s,
                                u"coalesce(Pf, 0) = 0"_s,
                                {{u"Edinica1"_s, u"Edinica"_s, u"Edinica"_s, u"Kod"_s, u"Shorthame"_s}}});
    ingredients.setFilterEnabled(true);
    TableModel movements(db, {u"Move"_s,
                              {u"Kod"_s},
                              u"Kod"_s,
                              QString(),
                              {{u"Partner1"_s, u"Partner"_s, u"Partner"_s, u"Nnn"_s, u"Name"_s}}});
    ingredients.setMaster(&groups, u"Kod"_s);
    movements.setMaster(&ingredients, u"Kod1"_s);
    const double openMs = ms([&] { groups.open() && ingredients.open() && movements.open(); });
    const double moveMs = ms([&] { ingredients.setCurrentRow(ingredients.rowCount() / 2); });
    std::printf("stock page opened                  %8.1f ms (%d ingredients in the group, %d movements)\n",
                openMs, ingredients.rowCount(), movements.rowCount());
    std::printf("another ingredient's movements     %8.1f ms (%d movements)\n", moveMs, movements.rowCount());
    kitchen.database->close();
    return 0;
}
