#pragma once

// A large kitchen for the benchmarks, generated into an empty database: units, ingredient groups,
// priced ingredients, semi-finished products with their compositions, dish groups and dishes with
// costing cards and recipes. Keys are given explicitly (1, 2, ...) so that every benchmark knows them;
// the numbers come from a fixed seed, so two runs build the same kitchen.

#include "store/Database.h"
#include "store/KitchenMove.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace largekitchen {

struct Size
{
    int ingredientGroups = 20;
    int ingredients = 2000; // ordinary ones, keys 1 .. ingredients
    int semiFinished = 300; // keys after the ordinary ones
    int componentsPerProduct = 8;
    int dishGroups = 50;
    int dishes = 10000;
    int linesPerDish = 12;
    int semiFinishedLinesPerDish = 2; // of the lines above
    // Lines of every card written after all dishes, as later edits leave them: a card's lines are not
    // side by side in the table.
    int linesAddedLater = 2;
};

// Collects rows and writes them with multi-row INSERT statements: far fewer round trips through the
// driver than one statement per row.
class BatchInsert
{
public:
    static constexpr int rowsPerStatement = 100;

    BatchInsert(QSqlDatabase db, const QString& table, const QStringList& columns)
        : m_db(std::move(db)), m_full(m_db), m_table(table), m_columns(columns)
    {
        m_full.prepare(statement(rowsPerStatement));
    }

    // Writes a full batch as soon as it is complete; a failure shows at the next flush().
    void add(const QVariantList& row)
    {
        m_pending += row;
        if (m_pending.size() == rowsPerStatement * m_columns.size())
            flush();
    }

    // Writes what is pending; false once any statement of this batch failed.
    bool flush()
    {
        if (!m_error.isEmpty())
            return false;
        if (m_pending.isEmpty())
            return true;
        QSqlQuery partial(m_db);
        const int rows = int(m_pending.size() / m_columns.size());
        QSqlQuery& query = rows == rowsPerStatement ? m_full : partial;
        if (&query == &partial)
            partial.prepare(statement(rows));
        for (const QVariant& value : std::as_const(m_pending))
            query.addBindValue(value);
        m_pending.clear();
        if (query.exec())
            return true;
        m_error = m_table + u": "_s + query.lastError().text();
        return false;
    }

    const QString& error() const { return m_error; }

private:
    QString statement(int rows) const
    {
        QStringList marks(m_columns.size(), u"?"_s);
        const QString row = u'(' + marks.join(u',') + u')';
        return u"INSERT INTO %1 (%2) VALUES %3"_s.arg(m_table, m_columns.join(u','),
                                                      QStringList(rows, row).join(u','));
    }

    QSqlDatabase m_db;
    QSqlQuery m_full;
    QString m_table;
    QStringList m_columns;
    QVariantList m_pending;
    QString m_error;
};

// Fills an empty kitchen in one transaction; false and the reason in *error on failure.
inline bool generate(QSqlDatabase db, const Size& size, QString* error)
{
    std::mt19937 random(20240601);
    const auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };

    Transaction transaction(db);
    BatchInsert units(db, u"Edinica"_s, {"Kod", "Name", "Shorthame", "Gramm"});
    units.add({1, "Килограмм", "кг", 1000});
    units.add({2, "Грамм", "г", 1});
    units.add({3, "Литр", "л", 1000});
    units.add({4, "Штука", "шт", 50});

    BatchInsert groups(db, u"Gring"_s, {"Kod", "Name"});
    for (int g = 1; g <= size.ingredientGroups; ++g)
        groups.add({g, u"Группа ингредиентов %1"_s.arg(g)});

    BatchInsert ingredients(db, u"Ing"_s,
                            {"Kod1", "Kod", "Name", "Edinica", "Pf", "Cena", "Proc", "Vih", "Kolvo"});
    for (int i = 1; i <= size.ingredients; ++i) {
        // Markups in halves, so that whole percents round both ways.
        ingredients.add({i, 1 + i % size.ingredientGroups, u"Ингредиент %1"_s.arg(i), between(1, 4), 0,
                         between(100, 90000) / 100.0, between(0, 60) / 2.0, between(60, 100),
                         between(0, 500)});
    }
    for (int p = 1; p <= size.semiFinished; ++p) {
        ingredients.add({size.ingredients + p, 1 + p % size.ingredientGroups, u"Полуфабрикат %1"_s.arg(p), 1,
                         1, 0, 0, 100, 0});
    }

    BatchInsert compositions(db, u"pf"_s, {"Kod", "Name", "Kolvo"});
    for (int p = 1; p <= size.semiFinished; ++p) {
        for (int c = 0; c < size.componentsPerProduct; ++c)
            compositions.add({size.ingredients + p, between(1, size.ingredients), between(10, 300)});
    }

    BatchInsert dishGroups(db, u"Grbludo"_s, {"Kod", "Name", "N"});
    for (int g = 1; g <= size.dishGroups; ++g)
        dishGroups.add({g, u"Группа блюд %1"_s.arg(size.dishGroups - g + 1), g});

    BatchInsert dishes(db, u"Bludo"_s, {"Kod1", "Kod", "Name", "Nporc", "Proc", "Vixod", "Recept"});
    BatchInsert lines(db, u"Karta"_s, {"Kod", "Name", "Kolvo", "Vihod"});
    const auto addLine = [&](int dish, int line) {
        const bool semiFinished = line < size.semiFinishedLinesPerDish && size.semiFinished > 0;
        const int ingredient =
            semiFinished ? size.ingredients + between(1, size.semiFinished) : between(1, size.ingredients);
        lines.add({dish, ingredient, between(500, 50000) / 100.0, semiFinished ? 100 : between(70, 100)});
    };
    const int linesAtOnce = size.linesPerDish - size.linesAddedLater;
    for (int d = 1; d <= size.dishes; ++d) {
        dishes.add({d, 1 + d % size.dishGroups, u"Блюдо %1"_s.arg(d), between(1, 20), between(0, 100) / 2.0,
                    u"%1"_s.arg(between(100, 400)),
                    u"Рецепт блюда %1: нарезать, смешать, довести до готовности."_s.arg(d)});
        for (int l = 0; l < linesAtOnce; ++l)
            addLine(d, l);
    }
    for (int l = linesAtOnce; l < size.linesPerDish; ++l) {
        for (int d = 1; d <= size.dishes; ++d)
            addLine(d, l);
    }
    for (BatchInsert* batch : {&units, &groups, &ingredients, &compositions, &dishGroups, &dishes, &lines}) {
        if (!batch->flush()) {
            *error = batch->error();
            return false;
        }
    }
    if (!transaction.commit()) {
        *error = db.lastError().text();
        return false;
    }
    return true;
}

// A figure of /proc/self/status in kilobytes ("VmHWM:", "VmRSS:").
inline long statusKb(const char* field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

inline int fail(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return 1;
}

// Takes "--name N" out of the arguments (so that the size below does not see it); the default when
// it is absent.
inline int takeOption(QStringList& args, const QString& name, int defaultValue)
{
    const qsizetype at = args.indexOf(name);
    if (at <= 0 || at + 1 >= args.size())
        return defaultValue;
    const int value = args[at + 1].toInt();
    args.remove(at, 2);
    return value;
}

// The size from "--dishes N", "--lines N", "--ingredients N" and "--semi-finished N".
inline Size sizeFromArguments(const QStringList& args)
{
    Size size;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const int value = args[i + 1].toInt();
        if (args[i] == u"--dishes")
            size.dishes = value;
        else if (args[i] == u"--lines")
            size.linesPerDish = value;
        else if (args[i] == u"--ingredients")
            size.ingredients = value;
        else if (args[i] == u"--semi-finished")
            size.semiFinished = value;
    }
    return size;
}

// The best of three timings of the work in milliseconds, each after the untimed preparation. Work
// that reports failure (returns false) ends the measurement with -1.
template <typename Prepare, typename Work> double bestOfThreeMs(Prepare&& prepare, Work&& work)
{
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        if constexpr (std::is_same_v<std::invoke_result_t<Work&>, bool>) {
            if (!work())
                return -1;
        } else {
            work();
        }
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

template <typename Work> double bestOfThreeMs(Work&& work)
{
    return bestOfThreeMs([] {}, std::forward<Work>(work));
}

// A new kitchen of the given size in dataDir, opened; the generation time goes to *generateMs.
inline std::optional<Database> createKitchen(const QString& dataDir, const Size& size, double* generateMs,
                                             QString* error)
{
    if (!schema::createDataDirectory(dataDir, error))
        return std::nullopt;
    std::optional<Database> database = Database::open(dataDir, error, u"bench"_s);
    if (!database)
        return std::nullopt;
    QElapsedTimer timer;
    timer.start();
    if (!generate(database->connection(), size, error)) {
        *error = u"generation failed: "_s + *error;
        return std::nullopt;
    }
    *generateMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    return database;
}

// The server of "--server URL" (a libpq string or URI, as scripts/with-postgres.sh sets
// KUHNEMER_TEST_SERVER), taken out of the arguments; empty for the kitchen file.
inline QString takeServer(QStringList& args)
{
    const qsizetype at = args.indexOf(u"--server"_s);
    if (at <= 0 || at + 1 >= args.size())
        return {};
    const QString server = args[at + 1];
    args.remove(at, 2);
    return server;
}

// What a benchmark adds to the generated kitchen (documents, movements), before it is moved.
using Addition = std::function<bool(QSqlDatabase db, QString* error)>;

// The large kitchen in a temporary folder, generated and opened: where every benchmark starts. With a
// server it is generated in the file all the same, with the benchmark's addition, and moved there by
// kuhnemer-data move's own code, so that both engines measure the same kitchen with the same keys
// still to give; it is dropped from the server at the end. The database is empty when it could not be
// made, and error says why; both stay for the benchmark's use.
struct TemporaryKitchen
{
    explicit TemporaryKitchen(const Size& size, const QString& server = {}, const Addition& addition = {})
        : database(createKitchen(dir.filePath(u"DATA"_s), size, &generateMs, &error)), server(server)
    {
        if (database && addition && !addition(database->connection(), &error))
            database.reset();
        if (!database || server.isEmpty())
            return;
        database->close();
        database.reset();
        qlonglong rows = 0;
        if (!kitchenmove::move({dir.filePath(u"DATA"_s), {}, {}}, {{}, server, kitchen}, &rows, &error))
            return;
        database = Database::openServer(server, kitchen, &error, u"bench"_s);
    }
    ~TemporaryKitchen()
    {
        if (server.isEmpty())
            return;
        if (database)
            database->close();
        if (auto db = Database::openServer(server, kitchen, nullptr, u"bench-drop"_s,
                                           Database::Shape::AnyVersion)) {
            execSql(db->connection(), u"DROP SCHEMA %1 CASCADE"_s.arg(kitchen));
            db->close();
        }
    }
    TemporaryKitchen(const TemporaryKitchen&) = delete;
    TemporaryKitchen& operator=(const TemporaryKitchen&) = delete;

    const char* engine() const { return server.isEmpty() ? "SQLite" : "PostgreSQL"; }

    QTemporaryDir dir;
    QString error;
    double generateMs = 0;
    std::optional<Database> database;
    QString server;
    QString kitchen = u"bench_%1"_s.arg(QCoreApplication::applicationPid());
};

} // namespace largekitchen
