#include "FaultInjection.h"
#include "StockKitchen.h"

#include "store/RowBatch.h"
#include "warehouse/StockDocuments.h"

#include <QTest>

#include <optional>

class StockDocumentsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void averagePrice_data();
    void averagePrice();
    void averageValuationThroughItsInterface();
    void receiptByRule_data();
    void receiptByRule();
    void issueAsksAndMayGoNegative();
    void issuePricedFromStock();
    void lineWithoutIngredientRefusesWholePosting();
    void addLineRefusals();
    void partnerSearch_data();
    void partnerSearch();
    void faultAtEveryStepChangesNothing();
};

void StockDocumentsTest::averagePrice_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<double>("cost");
    QTest::addColumn<double>("expected");
    QTest::newRow("4 at 10 plus 6 at 15") << 10.0 << 4.0 << 6.0 << 15.0 << 13.0;
    QTest::newRow("negative stock weighs nothing") << 10.0 << -2.0 << 5.0 << 12.0 << 12.0;
    QTest::newRow("empty quantity keeps the price") << 10.0 << 4.0 << 0.0 << 99.0 << 10.0;
    QTest::newRow("quantity plus stock 0 keeps the price") << 10.0 << -3.0 << 0.0 << 5.0 << 10.0;
    QTest::newRow("cancelling quantity keeps the price") << 10.0 << 2.0 << -2.0 << 5.0 << 10.0;
}

void StockDocumentsTest::averagePrice()
{
    QFETCH(double, price);
    QFETCH(double, balance);
    QFETCH(double, quantity);
    QFETCH(double, cost);
    QFETCH(double, expected);
    QCOMPARE(AverageValuation::averagePrice(price, balance, quantity, cost), expected);
}

void StockDocumentsTest::averageValuationThroughItsInterface()
{
    // One ingredient through a run of postings, as the documents ask the valuation line by line.
    const StockValuation& valuation = StockValuation::kitchen();
    struct Step
    {
        const char* what;
        std::optional<PriceRule> rule; // nothing for an issue
        double quantity;
        double linePrice;
        double balance;
        double price;
        double issueCost; // of one unit issued after the step
    };
    const Step steps[] = {
        {"4 at 10 averaged into nothing", PriceRule::Average, 4, 10, 4, 10, 10},
        {"6 at 15 averaged in", PriceRule::Average, 6, 15, 10, 13, 13},
        {"12 issued: below zero, price kept", std::nullopt, 12, 0, -2, 13, 13},
        {"5 at 12: the negative stock weighs nothing", PriceRule::Average, 5, 12, 3, 12, 12},
        {"1 at 20 kept at the old price", PriceRule::Keep, 1, 20, 4, 12, 12},
        {"1 at 20 as the new price", PriceRule::New, 1, 20, 5, 20, 20},
    };
    StockValuation::Stock stock;
    for (const Step& step : steps) {
        stock = step.rule ? valuation.receive(1, stock, step.quantity, step.linePrice, *step.rule)
                          : valuation.issue(1, stock, step.quantity);
        QVERIFY2(stock.balance == step.balance && stock.price == step.price, step.what);
        QVERIFY2(valuation.issueCost(1, stock, 1) == step.issueCost, step.what);
    }
}

void StockDocumentsTest::receiptByRule_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<double>("startBalance");
    QTest::addColumn<double>("price");
    QTest::addColumn<double>("balance");
    QTest::newRow("average") << int(PriceRule::Average) << 4.0 << 13.0 << 10.0;
    QTest::newRow("average over negative stock") << int(PriceRule::Average) << -2.0 << 12.0 << 3.0;
    QTest::newRow("new price, from the last line") << int(PriceRule::New) << 4.0 << 15.0 << 10.0;
    QTest::newRow("old price") << int(PriceRule::Keep) << 4.0 << 10.0 << 10.0;
}

void StockDocumentsTest::receiptByRule()
{
    QFETCH(int, rule);
    QFETCH(double, startBalance);
    QFETCH(double, price);
    QFETCH(double, balance);
    StockKitchen k;
    // The worked examples, after a line of the same ingredient with an empty quantity (it posts as 0,
    // and with a balance of 0 or less leaves the average undefined: the price stays).
    const qlonglong potato = k.ingredient(u"Картофель"_s, startBalance, 10);
    const qlonglong other = k.ingredient(u"Лук"_s, 1, 7);
    const qlonglong doc = k.document();
    k.line(doc, potato, QVariant(), 99);
    if (startBalance < 0)
        k.line(doc, potato, 5, 12);
    else
        k.line(doc, potato, 6, 15);
    QVERIFY(StockDocuments(k.data.db(), k.prompts).postReceipt(doc, PriceRule(rule)));
    QCOMPARE(k.balance(potato), balance);
    QCOMPARE(k.price(potato), price);
    QCOMPARE(k.balance(other), 1.0);
    QCOMPARE(k.data.scalar(u"SELECT Provodka FROM Doc WHERE Nnn = ?"_s, {doc}).toInt(), 1);
    QCOMPARE(
        k.data.scalar(u"SELECT count(*) FROM Move WHERE Kod1 = ? AND Oper = 'P' AND Provodka = 1"_s, {doc})
            .toInt(),
        2);
    QCOMPARE(StockDocuments(k.data.db(), k.prompts).kind(doc), u"Приход"_s);
    // Posted once: a second posting does nothing.
    QVERIFY(!StockDocuments(k.data.db(), k.prompts).postReceipt(doc, PriceRule(rule)));
    QCOMPARE(k.balance(potato), balance);
}

void StockDocumentsTest::issueAsksAndMayGoNegative()
{
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 3, 10);
    const qlonglong doc = k.document();
    k.line(doc, potato, 5, 10);
    StockDocuments documents(k.data.db(), k.prompts);
    k.prompts.queueConfirm(false);
    QVERIFY(!documents.postIssue(doc, StockDocuments::Confirmation::Ask));
    QCOMPARE(k.prompts.last(), u"Выдача|Подтвердите выдачу продуктов со склада !!!"_s);
    QCOMPARE(k.balance(potato), 3.0);
    QVERIFY(documents.kind(doc).isEmpty());

    QVERIFY(documents.postIssue(doc, StockDocuments::Confirmation::Ask));
    QCOMPARE(k.balance(potato), -2.0);
    QCOMPARE(k.price(potato), 10.0);
    QCOMPARE(documents.kind(doc), u"Расход"_s);

    // A document without lines posts too, and changes no balance.
    const qlonglong empty = k.document();
    QVERIFY(documents.postIssue(empty, StockDocuments::Confirmation::None));
    QVERIFY(documents.isPosted(empty));
    QCOMPARE(k.balance(potato), -2.0);
}

// More ingredients than one statement reads: each line takes its own ingredient's stored price, a
// repeated one alike; a line whose ingredient is gone, or whose reference is not whole, keeps its own.
void StockDocumentsTest::issuePricedFromStock()
{
    StockKitchen k;
    const int count = RowBatch::rowsPerStatement * 3 / 2;
    std::vector<StockDocuments::MoveLine> lines;
    QList<qlonglong> keys;
    for (int i = 0; i < count; ++i) {
        keys << k.ingredient(u"Ингредиент %1"_s.arg(i), 10, 1.5 + i);
        // As a sales posting reads them from its consumption rows: a REAL holding the key.
        lines.push_back({double(keys.last()), 1, {}});
    }
    lines.push_back({keys.first(), 2, {}});
    lines.push_back({keys.last() + 1000, 1, 77.0});
    lines.push_back({keys.first() + 0.5, 1, 88.0});
    QString error;
    QVERIFY2(StockDocuments(k.data.db(), k.prompts).priceIssue(lines, &error), qPrintable(error));
    for (int i = 0; i < count; ++i)
        QCOMPARE(lines[i].price.toDouble(), 1.5 + i);
    QCOMPARE(lines[count].price.toDouble(), 1.5);
    QCOMPARE(lines[count + 1].price.toDouble(), 77.0);
    QCOMPARE(lines[count + 2].price.toDouble(), 88.0);
}

void StockDocumentsTest::lineWithoutIngredientRefusesWholePosting()
{
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 3, 10);
    const qlonglong gone = k.ingredient(u"Репа"_s, 1, 1);
    const qlonglong doc = k.document();
    k.line(doc, potato, 5, 10);
    k.line(doc, gone, 2, 10);
    k.data.scalar(u"DELETE FROM Ing WHERE Kod1 = ?"_s, {gone});
    const QString before = databaseSnapshot(k.data.db());
    QVERIFY(!StockDocuments(k.data.db(), k.prompts).postReceipt(doc, PriceRule::Average));
    QVERIFY2(k.prompts.last().contains(u"Строка 2 документа"_s), qPrintable(k.prompts.last()));
    QCOMPARE(databaseSnapshot(k.data.db()), before);

    // A reference that is not a whole number names no ingredient, and is said as such with its row.
    k.data.scalar(u"DELETE FROM Move WHERE Kod = ?"_s, {gone});
    const qlonglong line = k.data.scalar(u"SELECT Nnn FROM Move WHERE Kod = ?"_s, {potato}).toLongLong();
    k.data.scalar(u"UPDATE Move SET Kod = Kod + 0.4 WHERE Nnn = ?"_s, {line});
    const QString nearlyWhole = databaseSnapshot(k.data.db());
    QVERIFY(!StockDocuments(k.data.db(), k.prompts).postReceipt(doc, PriceRule::Average));
    QVERIFY2(k.prompts.last().contains(u"В таблице Move, строка %1: ссылка Kod"_s.arg(line)),
             qPrintable(k.prompts.last()));
    QCOMPARE(databaseSnapshot(k.data.db()), nearlyWhole);
}

void StockDocumentsTest::addLineRefusals()
{
    StockKitchen k;
    const qlonglong potato = k.ingredient(u"Картофель"_s, 3, 10.5);
    const qlonglong semi = k.ingredient(u"Пюре"_s, 0, 0, true);
    StockDocuments documents(k.data.db(), k.prompts);

    const qlonglong noPartner = k.data.insert(u"Doc"_s, {{u"Date"_s, u"2024-03-01"_s}});
    QVERIFY(!documents.addLine(noPartner, potato));
    QCOMPARE(k.prompts.last(), u"Ошибка|Определите партнёра !!!"_s);
    const qlonglong lostPartner =
        k.data.insert(u"Doc"_s, {{u"Date"_s, u"2024-03-01"_s}, {u"Partner"_s, 999}});
    QVERIFY(!documents.addLine(lostPartner, potato));
    QCOMPARE(k.prompts.last(), u"Ошибка|Определите партнёра !!!"_s);

    const qlonglong doc = k.document(u"2024-03-05"_s);
    QVERIFY(!documents.addLine(doc, semi));
    QVERIFY(k.prompts.last().startsWith(u"Ошибка|Это полуфабрикат"_s));
    const int messages = k.prompts.shown.size();
    const qlonglong posted = k.document(u"2024-03-05"_s, true);
    QVERIFY(!documents.addLine(posted, potato));
    QCOMPARE(k.prompts.shown.size(), messages); // silently nothing
    QCOMPARE(k.data.count(u"Move"_s), 0);

    const std::optional<qlonglong> line = documents.addLine(doc, potato);
    QVERIFY(line);
    const auto field = [&](const QString& name) {
        return k.data.scalar(u"SELECT %1 FROM Move WHERE Nnn = ?"_s.arg(name), {*line});
    };
    QCOMPARE(field(u"Date"_s).toString(), u"2024-03-05"_s);
    QCOMPARE(field(u"Nomer"_s).toString(), u"№1"_s);
    QCOMPARE(field(u"Partner"_s).toLongLong(), k.partner);
    QCOMPARE(field(u"Kod"_s).toLongLong(), potato);
    QCOMPARE(field(u"Cena"_s).toDouble(), 10.5);
    QCOMPARE(field(u"Provodka"_s).toInt(), 0);
    QVERIFY(field(u"Oper"_s).isNull() && field(u"Kolvo"_s).isNull());
}

void StockDocumentsTest::partnerSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("all, by name") << QString()
                                  << QStringList{u"ИП Д'Артаньян"_s, u"ООО \"Ёлка\""_s, u"ООО \"Ромашка\""_s};
    QTest::newRow("lower-case Cyrillic") << u"ромаш"_s << QStringList{u"ООО \"Ромашка\""_s};
    QTest::newRow("double quotes are text") << u"\"Ё"_s << QStringList{u"ООО \"Ёлка\""_s};
    QTest::newRow("apostrophe is text") << u"д'ар"_s << QStringList{u"ИП Д'Артаньян"_s};
    QTest::newRow("nothing matches") << u"zzz"_s << QStringList();
}

void StockDocumentsTest::partnerSearch()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    TestDataDir data;
    ScriptedPrompts prompts;
    for (const QString& name : {u"ООО \"Ромашка\""_s, u"ИП Д'Артаньян"_s, u"ООО \"Ёлка\""_s})
        data.insert(u"Partner"_s, {{u"Name"_s, name}});
    QString error;
    QStringList names;
    for (const PartnerRow& row : StockDocuments(data.db(), prompts).partners(text, &error))
        names << row.name;
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(names, expected);
}

void StockDocumentsTest::faultAtEveryStepChangesNothing()
{
    for (const bool receipt : {true, false}) {
        StockKitchen k;
        const qlonglong doc = k.document();
        for (int i = 0; i < 3; ++i)
            k.line(doc, k.ingredient(u"Ингредиент %1"_s.arg(i), 4, 10), 6, 15);
        StockDocuments documents(k.data.db(), k.prompts);
        FaultInjection faults(k.data.db());
        QString changed;
        const int failures = faults.everyStep(
            [&] {
                return receipt ? documents.postReceipt(doc, PriceRule::Average)
                               : documents.postIssue(doc, StockDocuments::Confirmation::None);
            },
            &changed);
        QVERIFY2(failures >= 7, qPrintable(changed)); // 3 lines, 3 ingredients, the document
        QCOMPARE(k.data.scalar(u"SELECT sum(Kolvo) FROM Ing"_s).toDouble(), receipt ? 30.0 : -6.0);
    }
}

QTEST_GUILESS_MAIN(StockDocumentsTest)
#include "tst_StockDocuments.moc"
