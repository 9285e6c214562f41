#include "FaultInjection.h"
#include "StockKitchen.h"

#include "warehouse/InventoryDocuments.h"

#include <QTest>

namespace {

qlonglong inventory(StockKitchen& k, QVariant state = 0)
{
    return k.data.insert(u"invdok"_s,
                         {{u"Date"_s, u"2024-03-20"_s}, {u"Name"_s, u"Март"_s}, {u"Provodka"_s, state}});
}

void count(StockKitchen& k, qlonglong doc, qlonglong ingredient, QVariant counted, QVariant price)
{
    k.data.scalar(u"UPDATE inv SET NewKolvo = ?, Newprice = ? WHERE Kod = ? AND Ing = ?"_s,
                  {counted, price, doc, ingredient});
}

} // namespace

class InventoryDocumentsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void postingSetsCountedFigures_data();
    void postingSetsCountedFigures();
    void linesInNameOrderAndCountedTwice();
    void transfer();
    void clearingRemovesEveryMovement();
    void refusals();
    void faultAtEveryStepChangesNothing();
};

void InventoryDocumentsTest::postingSetsCountedFigures_data()
{
    QTest::addColumn<double>("balance");
    QTest::addColumn<QVariant>("counted");
    QTest::addColumn<QString>("oper");
    QTest::addColumn<double>("difference");
    QTest::newRow("7 at 10 counted 5 at 11") << 7.0 << QVariant(5.0) << u"R"_s << 2.0;
    QTest::newRow("-3 counted 0") << -3.0 << QVariant(0.0) << u"P"_s << 3.0;
    QTest::newRow("empty count is 0") << 2.0 << QVariant() << u"R"_s << 2.0;
    QTest::newRow("no difference") << 4.0 << QVariant(4.0) << u"R"_s << 0.0;
}

void InventoryDocumentsTest::postingSetsCountedFigures()
{
    QFETCH(double, balance);
    QFETCH(QVariant, counted);
    QFETCH(QString, oper);
    QFETCH(double, difference);
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 99, 10);
    const qlonglong doc = inventory(k);
    InventoryDocuments documents(k.data.db(), k.prompts);
    QVERIFY(documents.transfer(doc, [] { return CountedStart::Zero; }));
    count(k, doc, potato, counted, 11);
    // The balance changed after the transfer: the difference is taken against the balance now.
    k.data.scalar(u"UPDATE Ing SET Kolvo = ? WHERE Kod1 = ?"_s, {balance, potato});
    QString error;
    QVERIFY2(documents.post(doc, false, &error), qPrintable(error));
    QCOMPARE(k.balance(potato), counted.toDouble());
    QCOMPARE(k.price(potato), 11.0);
    QSqlQuery move(u"SELECT Oper, Kolvo, Cena, Provodka, Nomer, Date, Partner FROM Move"_s, k.data.db());
    QVERIFY(move.next());
    QCOMPARE(move.value(0).toString(), oper);
    QCOMPARE(move.value(1).toDouble(), difference);
    QCOMPARE(move.value(2).toDouble(), 11.0);
    QCOMPARE(move.value(3).toInt(), 1);
    QCOMPARE(move.value(4).toString(), u"Инвентаризация"_s);
    QCOMPARE(move.value(5).toString(), u"2024-03-20"_s);
    QVERIFY(move.value(6).isNull());
    QVERIFY(!move.next());
    QCOMPARE(documents.state(doc), InventoryDocuments::posted);
}

// The movements follow the document's order (Russian, ignoring case; binary order would put "Вишня"
// first), and an ingredient counted twice moves from its first count to its second.
void InventoryDocumentsTest::linesInNameOrderAndCountedTwice()
{
    StockKitchen k;
    const qlonglong cherry = k.ingredient(u"Вишня"_s, 10, 20);
    const qlonglong apple = k.ingredient(u"яблоко"_s, 1, 5);
    const qlonglong apricot = k.ingredient(u"абрикос"_s, 7, 30);
    const qlonglong doc = inventory(k);
    InventoryDocuments documents(k.data.db(), k.prompts);
    QVERIFY(documents.transfer(doc, [] { return CountedStart::Balance; }));
    count(k, doc, apricot, 5, 31);
    count(k, doc, cherry, 3, 21);
    k.data.insert(u"inv"_s, {{u"Kod"_s, doc},
                             {u"Ing"_s, cherry},
                             {u"Ing22"_s, u"Вишня"_s},
                             {u"NewKolvo"_s, 4},
                             {u"Newprice"_s, 22}});
    QString error;
    QVERIFY2(documents.post(doc, false, &error), qPrintable(error));

    QStringList moves;
    QSqlQuery move(u"SELECT Kod, Oper, Kolvo, Cena FROM Move ORDER BY Nnn"_s, k.data.db());
    while (move.next()) {
        moves << u"%1 %2 %3 %4"_s.arg(move.value(0).toLongLong())
                     .arg(move.value(1).toString())
                     .arg(move.value(2).toDouble())
                     .arg(move.value(3).toDouble());
    }
    QCOMPARE(moves, QStringList({u"%1 R 2 31"_s.arg(apricot), u"%1 R 7 21"_s.arg(cherry),
                                 u"%1 P 1 22"_s.arg(cherry), u"%1 R 0 5"_s.arg(apple)}));
    QCOMPARE(k.balance(cherry), 4.0);
    QCOMPARE(k.price(cherry), 22.0);
    QCOMPARE(k.balance(apricot), 5.0);
    QCOMPARE(k.balance(apple), 1.0);
}

void InventoryDocumentsTest::transfer()
{
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 7, 10);
    k.ingredient(u"Пюре"_s, 3, 5, true);
    k.data.insert(u"Ing"_s, {{u"Name"_s, u"Соль"_s}, {u"Kod"_s, 99}}); // another group, empty figures
    InventoryDocuments documents(k.data.db(), k.prompts);
    for (const CountedStart start : {CountedStart::Zero, CountedStart::Balance}) {
        const qlonglong doc = inventory(k);
        QVERIFY(documents.transfer(doc, [start] { return start; }));
        QCOMPARE(documents.state(doc), InventoryDocuments::transferred);
        QCOMPARE(k.data.scalar(u"SELECT count(*) FROM inv WHERE Kod = ?"_s, {doc}).toInt(), 2);
        const QVariant counted =
            k.data.scalar(u"SELECT NewKolvo FROM inv WHERE Kod = ? AND Ing = ?"_s, {doc, potato});
        if (start == CountedStart::Zero)
            QVERIFY(counted.isNull());
        else
            QCOMPARE(counted.toDouble(), 7.0);
        QSqlQuery line(k.data.db());
        line.prepare(u"SELECT Oldkolvo, OldPrice, Newprice, Ing22 FROM inv WHERE Kod = ? AND Ing = ?"_s);
        line.addBindValue(doc);
        line.addBindValue(potato);
        QVERIFY(line.exec() && line.next());
        QCOMPARE(u"%1/%2/%3/%4"_s.arg(line.value(0).toDouble())
                     .arg(line.value(1).toDouble())
                     .arg(line.value(2).toDouble())
                     .arg(line.value(3).toString()),
                 u"7/10/10/Картофель"_s);
        line.finish();
        // Transferred once: the second transfer is refused before the choice is asked.
        bool asked = false;
        QVERIFY(!documents.transfer(doc, [&] {
            asked = true;
            return start;
        }));
        QVERIFY(!asked);
        QCOMPARE(k.prompts.last(), u"|Состояние склада можно занести только в новый докуцмент."_s);
        QVERIFY(documents.deleteZeroLines(doc));
        QCOMPARE(k.data.scalar(u"SELECT count(*) FROM inv WHERE Kod = ?"_s, {doc}).toInt(),
                 start == CountedStart::Zero ? 0 : 1);
    }
    QVERIFY(!documents.transfer(12345, [] { return CountedStart::Zero; }));
    QCOMPARE(k.prompts.last(), u"|Создайте сначала документ, а потом вносите в него состояние склада"_s);
}

void InventoryDocumentsTest::clearingRemovesEveryMovement()
{
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 5, 10);
    const qlonglong onion = k.ingredient(u"Лук"_s, 2, 10);
    const qlonglong receipt = k.document(u"2024-03-01"_s, true);
    k.line(receipt, potato, 5, 10, u"P"_s, true);
    // An unposted receipt of an ingredient that the count leaves out.
    k.line(k.document(u"2024-03-02"_s), onion, 3, 10);
    const qlonglong doc = inventory(k);
    InventoryDocuments documents(k.data.db(), k.prompts);
    QVERIFY(documents.transfer(doc, [] { return CountedStart::Zero; }));
    count(k, doc, potato, 4, 10);
    QVERIFY(documents.deleteZeroLines(doc));
    k.prompts.queueConfirm(true);
    k.prompts.queueConfirm(true);
    k.prompts.queueConfirm(true);
    QVERIFY(documents.post(doc));
    // Enter must not wipe the history: both questions before the clearing default to "Отмена".
    QCOMPARE(k.prompts.irreversible.filter(u"отчистку"_s).size(), 1);
    QCOMPARE(k.prompts.irreversible.filter(u"Очистка документов движения"_s).size(), 1);
    QCOMPARE(k.data.count(u"Doc"_s), 1);
    QCOMPARE(k.data.scalar(u"SELECT Nomer FROM Doc"_s).toString(), u"Инвентаризация"_s);
    QCOMPARE(k.data.count(u"Move"_s), 1);
    QCOMPARE(k.data.scalar(u"SELECT count(*) FROM Move WHERE Kod1 NOT IN (SELECT Nnn FROM Doc)"_s).toInt(),
             0);
    QCOMPARE(k.balance(onion), 2.0);
    QCOMPARE(k.balance(potato), 4.0);
}

void InventoryDocumentsTest::refusals()
{
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 5, 10);
    k.line(k.document(), potato, 5, 10, u"P"_s, true);
    InventoryDocuments documents(k.data.db(), k.prompts);
    // No document: nothing is asked and, above all, nothing is cleared.
    QVERIFY(!documents.post(4711));
    QVERIFY(k.prompts.shown.isEmpty());

    const qlonglong doc = inventory(k);
    k.prompts.queueConfirm(true);
    k.prompts.queueConfirm(true);
    k.prompts.queueConfirm(false); // clearing not confirmed: the whole posting stops
    QVERIFY(!documents.post(doc));
    QCOMPARE(k.prompts.questions.size(), 3);
    QCOMPARE(documents.state(doc), 0.0);

    // A line typed by hand names no ingredient; another names one that is gone.
    k.data.insert(u"inv"_s, {{u"Kod"_s, doc}, {u"Ing22"_s, u"Без ингредиента"_s}, {u"NewKolvo"_s, 1}});
    const QString before = databaseSnapshot(k.data.db());
    QString error;
    QVERIFY(!documents.post(doc, true, &error));
    QVERIFY2(error.contains(u"Без ингредиента"_s), qPrintable(error));
    QCOMPARE(databaseSnapshot(k.data.db()), before);
}

void InventoryDocumentsTest::faultAtEveryStepChangesNothing()
{
    StockKitchen k;
    for (int i = 0; i < 3; ++i)
        k.line(k.document(), k.ingredient(u"Ингредиент %1"_s.arg(i), i, 10), 1, 10, u"P"_s, true);
    const qlonglong doc = inventory(k);
    InventoryDocuments documents(k.data.db(), k.prompts);
    QVERIFY(documents.transfer(doc, [] { return CountedStart::Balance; }));
    FaultInjection faults(k.data.db());
    QString changed;
    QString error;
    const int failures = faults.everyStep([&] { return documents.post(doc, true, &error); }, &changed);
    QVERIFY2(failures >= 12, qPrintable(changed));
    QCOMPARE(k.data.count(u"Move"_s), 3);
}

QTEST_GUILESS_MAIN(InventoryDocumentsTest)
#include "tst_InventoryDocuments.moc"
