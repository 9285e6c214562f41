// Eight workstations on one server kitchen for a simulated week: each a thread with a connection of its
// own, posting receipts, issues and the day's sales at once. The same documents are then posted one
// after another on a second kitchen, and the final balances compared: they must not differ.
//
// Usage: bench_workstations [SERVER] (a libpq connection string; KUHNEMER_TEST_SERVER when omitted,
// as scripts/with-postgres.sh sets it).

#include "sales/SalesPosting.h"
#include "store/Database.h"
#include "store/Isolation.h"
#include "store/ThreadConnection.h"
#include "store/UserPrompts.h"
#include "warehouse/StockDocuments.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <latch>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int workstations = 8;
constexpr int days = 7;
constexpr int ingredientCount = 12;
constexpr int dishCount = 6;

// Answers every question with OK and counts what it was told.
class CountingPrompts : public UserPrompts
{
public:
    using UserPrompts::confirm;
    bool confirm(const QString&, const QString&, Default) override { return true; }
    void inform(const QString&, const QString&) override {}
    void warn(const QString& caption, const QString& text) override
    {
        ++warnings;
        lastWarning = caption + u": "_s + text;
    }
    int choose(const QString&, const QString&, const QStringList&) override { return 0; }
    int warnings = 0;
    QString lastWarning;
};

enum class Kind
{
    Receipt,
    Issue,
    Sales
};

struct Posting
{
    Kind kind;
    qlonglong document;
};

class Kitchen
{
public:
    Kitchen(const QString& server, const QString& name) : m_name(name)
    {
        QString error;
        m_db = Database::openServer(server, name, &error, name, Database::Shape::MustBeWhole,
                                    Database::Creation::New);
        if (!m_db)
            qFatal("cannot create the kitchen %s: %s", qPrintable(name), qPrintable(error));
        fill();
    }
    ~Kitchen()
    {
        QSqlQuery(u"DROP SCHEMA %1 CASCADE"_s.arg(m_name), db());
        m_db->close();
    }
    QSqlDatabase db() const { return m_db->connection(); }

    // The week's documents of every workstation, the same on every kitchen: each day two receipts,
    // two issues and a sales document per workstation.
    std::vector<std::vector<Posting>> week()
    {
        std::vector<std::vector<Posting>> plans(workstations);
        for (int day = 0; day < days; ++day) {
            const QString date = QDate(2026, 12, 7).addDays(day).toString(Qt::ISODate);
            for (int station = 0; station < workstations; ++station) {
                QRandomGenerator random(quint32(1000 * day + station));
                for (const Kind kind : {Kind::Receipt, Kind::Issue, Kind::Sales, Kind::Receipt, Kind::Issue})
                    plans[station].push_back({kind, kind == Kind::Sales ? salesDocument(date, random)
                                                                        : stockDocument(date, random)});
            }
        }
        return plans;
    }
    std::vector<double> balances()
    {
        std::vector<double> values;
        QSqlQuery query(u"SELECT Kolvo FROM Ing ORDER BY Kod1"_s, db());
        while (query.next())
            values.push_back(query.value(0).toDouble());
        return values;
    }
    // Ingredients whose balance is not the opening stock and its posted movements.
    int ledgerMismatches()
    {
        QSqlQuery query(u"SELECT i.Kolvo, (SELECT coalesce(sum(CASE WHEN m.Oper = 'P' THEN m.Kolvo ELSE "
                        "-m.Kolvo END), 0) FROM Move m WHERE m.Kod = i.Kod1 AND m.Provodka = 1) FROM Ing i"_s,
                        db());
        int mismatches = 0;
        while (query.next())
            mismatches += std::abs(query.value(0).toDouble() - (opening + query.value(1).toDouble())) > 1e-9;
        return mismatches;
    }

    static constexpr double opening = 500;

private:
    qlonglong insert(const QString& table, const QVariantMap& values)
    {
        QSqlQuery query(db());
        query.prepare(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
            table, values.keys().join(u", "_s), QStringList(values.size(), u"?"_s).join(u", "_s)));
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec())
            qFatal("insert into %s failed: %s", qPrintable(table), qPrintable(query.lastError().text()));
        return query.lastInsertId().toLongLong();
    }
    void fill()
    {
        const qlonglong unit = insert(
            u"Edinica"_s, {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
        const qlonglong group = insert(u"Gring"_s, {{u"Name"_s, u"Продукты"_s}});
        m_partner = insert(u"Partner"_s, {{u"Name"_s, u"Поставщик"_s}});
        m_dishGroup = insert(u"Grbludo"_s, {{u"Name"_s, u"Блюда"_s}});
        for (int i = 0; i < ingredientCount; ++i)
            m_ingredients.push_back(insert(u"Ing"_s, {{u"Kod"_s, group},
                                                      {u"Name"_s, u"Продукт %1"_s.arg(i + 1)},
                                                      {u"Edinica"_s, unit},
                                                      {u"Kolvo"_s, opening},
                                                      {u"Cena"_s, 10 + i},
                                                      {u"Proc"_s, 0},
                                                      {u"Vih"_s, 100},
                                                      {u"Pf"_s, 0}}));
        for (int d = 0; d < dishCount; ++d) {
            const qlonglong dish = insert(u"Bludo"_s, {{u"Kod"_s, m_dishGroup},
                                                       {u"Name"_s, u"Блюдо %1"_s.arg(d + 1)},
                                                       {u"Nporc"_s, 1},
                                                       {u"Proc"_s, 0},
                                                       {u"Vixod"_s, u"250"_s},
                                                       {u"Status"_s, 1}});
            m_dishes.push_back(dish);
            for (int line = 0; line < 3; ++line)
                insert(u"Karta"_s, {{u"Kod"_s, dish},
                                    {u"Name"_s, m_ingredients[(2 * d + line) % ingredientCount]},
                                    {u"Kolvo"_s, 50 * (line + 1)},
                                    {u"Vihod"_s, 100}});
        }
    }
    // Receipts are taken at the ingredient's own price, so the average stays whatever the order; what
    // is compared is the balances.
    qlonglong stockDocument(const QString& date, QRandomGenerator& random)
    {
        const qlonglong document =
            insert(u"Doc"_s,
                   {{u"Date"_s, date}, {u"Nomer"_s, u"1"_s}, {u"Partner"_s, m_partner}, {u"Provodka"_s, 0}});
        for (int line = 0; line < 4; ++line) {
            const int i = random.bounded(ingredientCount);
            insert(u"Move"_s, {{u"Kod1"_s, document},
                               {u"Kod"_s, m_ingredients[i]},
                               {u"Kolvo"_s, 1 + random.bounded(20)},
                               {u"Cena"_s, 10 + i},
                               {u"Date"_s, date},
                               {u"Provodka"_s, 0}});
        }
        return document;
    }
    qlonglong salesDocument(const QString& date, QRandomGenerator& random)
    {
        const qlonglong document =
            insert(u"Realdoc"_s, {{u"DateR"_s, date}, {u"NameR"_s, u"Смена"_s}, {u"Status"_s, 5}});
        for (int line = 0; line < 3; ++line)
            insert(u"Realsum"_s, {{u"Kod"_s, document},
                                  {u"KodGrBludo"_s, m_dishGroup},
                                  {u"KodBludo"_s, m_dishes[random.bounded(dishCount)]},
                                  {u"Kolvo"_s, 1 + random.bounded(15)},
                                  {u"Cumma"_s, 100}});
        return document;
    }

    QString m_name;
    std::optional<Database> m_db;
    qlonglong m_partner = 0;
    qlonglong m_dishGroup = 0;
    std::vector<qlonglong> m_ingredients;
    std::vector<qlonglong> m_dishes;
};

bool post(const QSqlDatabase& db, UserPrompts& prompts, const Posting& posting)
{
    switch (posting.kind) {
    case Kind::Receipt:
        return StockDocuments(db, prompts).postReceipt(posting.document, PriceRule::Average);
    case Kind::Issue:
        return StockDocuments(db, prompts).postIssue(posting.document, StockDocuments::Confirmation::None);
    case Kind::Sales:
        return SalesPosting(db, prompts).post(posting.document, 0);
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString server =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("KUHNEMER_TEST_SERVER");
    if (server.isEmpty()) {
        std::fprintf(stderr, "usage: bench_workstations SERVER (or set KUHNEMER_TEST_SERVER)\n");
        return 2;
    }
    const QString suffix = QString::number(QCoreApplication::applicationPid());
    Kitchen together(server, u"bench_together_"_s + suffix);
    Kitchen serial(server, u"bench_serial_"_s + suffix);
    const std::vector<std::vector<Posting>> plans = together.week();
    const std::vector<std::vector<Posting>> serialPlans = serial.week();

    // At once: every workstation on its own thread and connection.
    std::vector<std::unique_ptr<ThreadConnection>> connections;
    for (int i = 0; i < workstations; ++i)
        connections.push_back(std::make_unique<ThreadConnection>(together.db()));
    std::vector<CountingPrompts> prompts(workstations);
    std::atomic<int> posted = 0;
    std::atomic<int> failed = 0;
    std::latch start(workstations);
    const qint64 retriesBefore = Isolation::retriesSoFar();
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < workstations; ++i) {
        threads.emplace_back(QThread::create([&, i] {
            QString error;
            const bool open = connections[i]->open(&error);
            start.arrive_and_wait();
            if (!open) {
                std::fprintf(stderr, "workstation %d: %s\n", i + 1, qPrintable(error));
                failed += int(plans[i].size());
                return;
            }
            for (const Posting& posting : plans[i])
                ++(post(connections[i]->db(), prompts[i], posting) ? posted : failed);
            connections[i]->close();
        }));
        threads.back()->start();
    }
    for (const auto& thread : threads)
        thread->wait();
    const qint64 togetherMs = clock.elapsed();
    const qint64 retries = Isolation::retriesSoFar() - retriesBefore;

    // One after another, day by day, workstation by workstation.
    CountingPrompts serialPrompts;
    int serialPosted = 0;
    clock.restart();
    const std::size_t perDay = serialPlans.front().size() / days;
    for (int day = 0; day < days; ++day) {
        for (const auto& plan : serialPlans) {
            for (std::size_t k = day * perDay; k < (day + 1) * perDay; ++k)
                serialPosted += post(serial.db(), serialPrompts, plan[k]);
        }
    }
    const qint64 serialMs = clock.elapsed();

    const std::vector<double> a = together.balances();
    const std::vector<double> b = serial.balances();
    int differences = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        differences += std::abs(a[i] - b[i]) > 1e-9;

    const int operations = workstations * int(plans.front().size());
    std::printf("workstations: %d, days: %d, operations: %d (receipts, issues, sales postings)\n",
                workstations, days, operations);
    std::printf("at once:       %d posted, %d failed, %lld conflicts retried, %lld ms\n", posted.load(),
                failed.load(), qlonglong(retries), qlonglong(togetherMs));
    std::printf("one by one:    %d posted, %lld ms\n", serialPosted, qlonglong(serialMs));
    std::printf("differences of final balances: %d of %zu ingredients\n", differences, a.size());
    std::printf("balances not matching their ledger: %d\n", together.ledgerMismatches());
    for (int i = 0; i < workstations; ++i) {
        if (prompts[i].warnings > 0)
            std::printf("workstation %d told %d times, last: %s\n", i + 1, prompts[i].warnings,
                        qPrintable(prompts[i].lastWarning));
    }
    return differences == 0 && failed == 0 ? 0 : 1;
}
