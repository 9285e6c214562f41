#include "ScriptedPrompts.h"
#include "ServerKitchen.h"

#include "sales/SalesPosting.h"
#include "store/ThreadConnection.h"
#include "warehouse/InventoryDocuments.h"
#include "warehouse/StockDeletion.h"
#include "warehouse/StockDocuments.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <latch>
#include <memory>

using namespace Qt::StringLiterals;

// Workstations posting at once on one server kitchen, each a thread with a connection of its own.
namespace {

// What a workstation does with a document: R receipt, I issue, S sales posting, D deletion of a posted
// receipt with roll-back, V inventory posting.
enum class Kind : char
{
    Receipt = 'R',
    Issue = 'I',
    Sales = 'S',
    Deletion = 'D',
    Inventory = 'V'
};

struct Posting
{
    Kind kind;
    qlonglong document;
};

// A small kitchen on the server: two ingredients with stock, a dish of both, and documents of every
// kind, made on the owner's connection before the workstations start.
class Kitchen
{
public:
    QSqlDatabase db() const { return m_server.db(); }

    qlonglong insert(const QString& table, const QVariantMap& values)
    {
        QStringList marks(values.size(), u"?"_s);
        QSqlQuery query(db());
        query.prepare(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, values.keys().join(u", "_s),
                                                               marks.join(u", "_s)));
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec())
            qFatal("insert into %s failed: %s", qPrintable(table), qPrintable(query.lastError().text()));
        return query.lastInsertId().toLongLong();
    }
    QVariant scalar(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery query(db());
        QString error;
        if (!runQuery(query, sql, values, &error) || !query.next())
            qFatal("%s failed: %s", qPrintable(sql), qPrintable(error));
        return query.value(0);
    }

    // The documents of a plan, "RIS..." one letter a document; receipts at new prices only when
    // nothing else moves the stock (the average is then the same in any order).
    QList<Posting> documents(const QString& plan, int index)
    {
        const bool receiptsOnly = !plan.contains(QRegularExpression(u"[^R]"_s));
        QList<Posting> postings;
        for (const QChar letter : plan) {
            const Kind kind = Kind(letter.toLatin1());
            const double quantity = 1 + index % 5 + postings.size();
            switch (kind) {
            case Kind::Receipt:
            case Kind::Issue:
                postings.append({kind, stockDocument({{potato, quantity, receiptsOnly ? 10 + quantity : 10},
                                                      {onion, 2 * quantity, 5}})});
                break;
            case Kind::Deletion: {
                const qlonglong document = stockDocument({{potato, quantity, 10}, {onion, quantity, 5}});
                ScriptedPrompts prompts;
                if (!StockDocuments(db(), prompts).postReceipt(document, PriceRule::Average))
                    qFatal("the receipt to delete was not posted");
                postings.append({kind, document});
                break;
            }
            case Kind::Sales:
                postings.append({kind, salesDocument(quantity)});
                break;
            case Kind::Inventory:
                postings.append({kind, inventory(30 + quantity)});
                break;
            }
        }
        return postings;
    }

    double balance(qlonglong ingredient)
    {
        return scalar(u"SELECT Kolvo FROM Ing WHERE Kod1 = ?"_s, {ingredient}).toDouble();
    }
    double price(qlonglong ingredient)
    {
        return scalar(u"SELECT Cena FROM Ing WHERE Kod1 = ?"_s, {ingredient}).toDouble();
    }
    // The balance the opening stock and the posted movement lines give.
    double ledger(qlonglong ingredient, double opening)
    {
        return opening + scalar(u"SELECT coalesce(sum(CASE WHEN Oper = 'P' THEN Kolvo ELSE -Kolvo END), 0) "
                                "FROM Move WHERE Kod = ? AND Provodka = 1"_s,
                                {ingredient})
                             .toDouble();
    }

    static constexpr double potatoOpening = 10;
    static constexpr double onionOpening = 40;

private:
    struct Line
    {
        qlonglong ingredient;
        double quantity;
        double price;
    };
    qlonglong stockDocument(const QList<Line>& lines)
    {
        const qlonglong document = insert(u"Doc"_s, {{u"Date"_s, u"2026-12-07"_s},
                                                     {u"Nomer"_s, u"1"_s},
                                                     {u"Partner"_s, partner},
                                                     {u"Provodka"_s, 0}});
        for (const Line& line : lines)
            insert(u"Move"_s, {{u"Kod1"_s, document},
                               {u"Kod"_s, line.ingredient},
                               {u"Kolvo"_s, line.quantity},
                               {u"Cena"_s, line.price},
                               {u"Date"_s, u"2026-12-07"_s},
                               {u"Provodka"_s, 0}});
        return document;
    }
    qlonglong salesDocument(double portions)
    {
        const qlonglong document =
            insert(u"Realdoc"_s, {{u"DateR"_s, u"2026-12-07"_s}, {u"NameR"_s, u"Смена"_s}, {u"Status"_s, 5}});
        insert(u"Realsum"_s, {{u"Kod"_s, document},
                              {u"KodGrBludo"_s, dishes},
                              {u"KodBludo"_s, mash},
                              {u"Kolvo"_s, portions},
                              {u"Cumma"_s, 50}});
        return document;
    }
    qlonglong inventory(double counted)
    {
        const qlonglong document = insert(
            u"invdok"_s, {{u"Date"_s, u"2026-12-07"_s}, {u"Provodka"_s, InventoryDocuments::transferred}});
        insert(u"inv"_s, {{u"Kod"_s, document},
                          {u"Ing22"_s, u"Картофель"_s},
                          {u"Ing"_s, potato},
                          {u"NewKolvo"_s, counted},
                          {u"Newprice"_s, 10}});
        return document;
    }

    ServerKitchen m_server;
    qlonglong unit =
        insert(u"Edinica"_s, {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong group = insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
    qlonglong partner = insert(u"Partner"_s, {{u"Name"_s, u"Овощебаза"_s}});
    qlonglong dishes = insert(u"Grbludo"_s, {{u"Name"_s, u"Гарниры"_s}});

public:
    qlonglong potato = insert(u"Ing"_s, {{u"Kod"_s, group},
                                         {u"Name"_s, u"Картофель"_s},
                                         {u"Edinica"_s, unit},
                                         {u"Kolvo"_s, potatoOpening},
                                         {u"Cena"_s, 10},
                                         {u"Proc"_s, 0},
                                         {u"Vih"_s, 100},
                                         {u"Pf"_s, 0}});
    qlonglong onion = insert(u"Ing"_s, {{u"Kod"_s, group},
                                        {u"Name"_s, u"Лук"_s},
                                        {u"Edinica"_s, unit},
                                        {u"Kolvo"_s, onionOpening},
                                        {u"Cena"_s, 5},
                                        {u"Proc"_s, 0},
                                        {u"Vih"_s, 100},
                                        {u"Pf"_s, 0}});

private:
    qlonglong mash = [this] {
        const qlonglong dish = insert(u"Bludo"_s, {{u"Kod"_s, dishes},
                                                   {u"Name"_s, u"Пюре"_s},
                                                   {u"Nporc"_s, 1},
                                                   {u"Proc"_s, 0},
                                                   {u"Vixod"_s, u"250"_s},
                                                   {u"Status"_s, 1}});
        for (const auto& [ingredient, grams] : {std::pair{potato, 200.0}, std::pair{onion, 50.0}})
            insert(u"Karta"_s,
                   {{u"Kod"_s, dish}, {u"Name"_s, ingredient}, {u"Kolvo"_s, grams}, {u"Vihod"_s, 100}});
        return dish;
    }();
};

bool perform(const QSqlDatabase& db, ScriptedPrompts& prompts, const Posting& posting)
{
    switch (posting.kind) {
    case Kind::Receipt:
        return StockDocuments(db, prompts).postReceipt(posting.document, PriceRule::Average);
    case Kind::Issue:
        return StockDocuments(db, prompts).postIssue(posting.document, StockDocuments::Confirmation::None);
    case Kind::Sales:
        return SalesPosting(db, prompts).post(posting.document, 0);
    case Kind::Deletion:
        return StockDeletion(db, prompts).remove(DeletionChoice{false, {}, {}, true}, posting.document) == 1;
    case Kind::Inventory:
        prompts.queueConfirm(true);  // post it
        prompts.queueConfirm(false); // keep the history
        return InventoryDocuments(db, prompts).post(posting.document);
    }
    return false;
}

struct Workstation
{
    QList<Posting> postings;
    ScriptedPrompts prompts;
    QList<bool> done;
    QString error;
};

// Every workstation's postings, each workstation on a thread and a connection of its own, started at
// the same moment.
void postAtOnce(const QSqlDatabase& owner, std::vector<Workstation>& workstations)
{
    std::vector<std::unique_ptr<ThreadConnection>> connections;
    for (std::size_t i = 0; i < workstations.size(); ++i)
        connections.push_back(std::make_unique<ThreadConnection>(owner));
    std::latch start(std::ptrdiff_t(workstations.size()));
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::size_t i = 0; i < workstations.size(); ++i) {
        threads.emplace_back(QThread::create([&, i] {
            Workstation& station = workstations[i];
            const bool open = connections[i]->open(&station.error);
            start.arrive_and_wait();
            if (!open)
                return;
            for (const Posting& posting : std::as_const(station.postings))
                station.done << perform(connections[i]->db(), station.prompts, posting);
            connections[i]->close();
        }));
        threads.back()->start();
    }
    for (const auto& thread : threads)
        thread->wait();
}

} // namespace

class ConcurrentPostingsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (ServerKitchen::server().isEmpty())
            QSKIP("no test server named");
    }
    void differentDocumentsGiveTheSerialBalances_data();
    void differentDocumentsGiveTheSerialBalances();
    void sameDocumentIsPostedOnce_data();
    void sameDocumentIsPostedOnce();
};

void ConcurrentPostingsTest::differentDocumentsGiveTheSerialBalances_data()
{
    QTest::addColumn<QStringList>("plans"); // one a workstation
    QTest::newRow("two receipts of the same ingredients") << QStringList{u"R"_s, u"R"_s};
    QTest::newRow("four workstations receiving") << QStringList{u"RRR"_s, u"RRR"_s, u"RRR"_s, u"RRR"_s};
    QTest::newRow("two workstations issuing") << QStringList{u"III"_s, u"III"_s};
    QTest::newRow("receipts against sales") << QStringList{u"RRR"_s, u"SSS"_s};
    QTest::newRow("four workstations posting sales") << QStringList{u"SS"_s, u"SS"_s, u"SS"_s, u"SS"_s};
    QTest::newRow("deletions against issues") << QStringList{u"DD"_s, u"II"_s};
    QTest::newRow("four workstations, every kind") << QStringList{u"RID"_s, u"SRI"_s, u"DSR"_s, u"ISD"_s};
}

void ConcurrentPostingsTest::differentDocumentsGiveTheSerialBalances()
{
    QFETCH(QStringList, plans);
    // The same documents on two kitchens: posted at once on one, one after another on the other.
    Kitchen together;
    Kitchen serial;
    std::vector<Workstation> workstations(plans.size());
    for (qsizetype i = 0; i < plans.size(); ++i) {
        workstations[i].postings = together.documents(plans[i], int(i));
        ScriptedPrompts prompts;
        for (const Posting& posting : serial.documents(plans[i], int(i)))
            QVERIFY2(perform(serial.db(), prompts, posting), qPrintable(prompts.shown.join(u'\n')));
    }
    postAtOnce(together.db(), workstations);

    for (const Workstation& station : workstations) {
        QVERIFY2(station.error.isEmpty(), qPrintable(station.error));
        QCOMPARE(station.done, QList<bool>(station.postings.size(), true));
        // Asked what a deletion always asks, told nothing.
        QCOMPARE(station.prompts.shown, station.prompts.questions);
    }
    for (const qlonglong ingredient : {together.potato, together.onion}) {
        QCOMPARE(together.balance(ingredient), serial.balance(ingredient));
        // Posted in another order, the same average may differ in its last bit.
        QCOMPARE(together.price(ingredient), serial.price(ingredient));
    }
    QCOMPARE(together.ledger(together.potato, Kitchen::potatoOpening), together.balance(together.potato));
    QCOMPARE(together.ledger(together.onion, Kitchen::onionOpening), together.balance(together.onion));
}

void ConcurrentPostingsTest::sameDocumentIsPostedOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("workstations");
    for (const int count : {2, 4}) {
        for (const char* kind : {"R", "I", "S", "V", "D"})
            QTest::addRow("%s by %d", kind, count) << QString::fromLatin1(kind) << count;
    }
}

void ConcurrentPostingsTest::sameDocumentIsPostedOnce()
{
    QFETCH(QString, kind);
    QFETCH(int, workstations);
    Kitchen together;
    Kitchen serial;
    const Posting posting = together.documents(kind, 0).first();
    ScriptedPrompts prompts;
    QVERIFY(perform(serial.db(), prompts, serial.documents(kind, 0).first()));

    std::vector<Workstation> stations(workstations);
    for (Workstation& station : stations)
        station.postings = {posting};
    postAtOnce(together.db(), stations);

    int posted = 0;
    for (const Workstation& station : stations) {
        QVERIFY2(station.error.isEmpty(), qPrintable(station.error));
        QCOMPARE(station.done.size(), 1);
        if (station.done.first()) {
            ++posted;
        } else if (kind != u"D"_s) {
            // The later user is told that another posted it.
            QVERIFY2(station.prompts.last().contains(u"уже проведён"_s), qPrintable(station.prompts.last()));
        }
    }
    // A deletion of a document already gone deletes nothing and rolls nothing back.
    if (kind != u"D"_s)
        QCOMPARE(posted, 1);
    for (const qlonglong ingredient : {together.potato, together.onion})
        QCOMPARE(together.balance(ingredient), serial.balance(ingredient));
    QCOMPARE(together.ledger(together.potato, Kitchen::potatoOpening), together.balance(together.potato));
}

QTEST_GUILESS_MAIN(ConcurrentPostingsTest)
#include "tst_ConcurrentPostings.moc"
