#include "FaultInjection.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "sales/SalesPosting.h"

#include <QSqlQuery>
#include <QTest>

namespace {

// A sales document of three lines over dishes made of two ingredients: soup sells 4 portions, the
// salad 0 and the tea 2 (its card line weighs 0 grams).
struct Kitchen
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong kg = data.insert(u"Edinica"_s, {{u"Name"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong group = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
    qlonglong potato = ingredient(u"Картофель"_s, 1, 20);
    qlonglong beet = ingredient(u"Свёкла"_s, 0, 30);
    qlonglong tea = ingredient(u"Чай"_s, 5, 100);
    qlonglong dishGroup = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Горячее"_s}});
    qlonglong soup = dish(u"Борщ"_s, {{potato, 250}, {beet, 100}});
    qlonglong salad = dish(u"Винегрет"_s, {{beet, 50}});
    qlonglong drink = dish(u"Чай"_s, {{tea, 0}});
    qlonglong partner = data.insert(u"Partner"_s, {{u"Name"_s, u"Столовая"_s}});
    qlonglong document = data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-05"_s}, {u"NameR"_s, u"Обед"_s}});

    Kitchen()
    {
        sold(soup, 4);
        sold(salad, 0);
        sold(drink, 2);
    }
    qlonglong ingredient(const QString& name, double balance, double price)
    {
        return data.insert(u"Ing"_s, {{u"Kod"_s, group},
                                      {u"Name"_s, name},
                                      {u"Edinica"_s, kg},
                                      {u"Kolvo"_s, balance},
                                      {u"Cena"_s, price},
                                      {u"Vih"_s, 100},
                                      {u"Proc"_s, 10}});
    }
    qlonglong dish(const QString& name, const QList<QPair<qlonglong, double>>& card)
    {
        const qlonglong key =
            data.insert(u"Bludo"_s, {{u"Kod"_s, dishGroup}, {u"Name"_s, name}, {u"Nporc"_s, 1}});
        for (const auto& [ingredientKey, grams] : card)
            data.insert(
                u"Karta"_s,
                {{u"Kod"_s, key}, {u"Name"_s, ingredientKey}, {u"Kolvo"_s, grams}, {u"Vihod"_s, 100}});
        return key;
    }
    void sold(qlonglong dishKey, QVariant portions, qlonglong doc = 0)
    {
        data.insert(u"Realsum"_s, {{u"Kod"_s, doc ? doc : document},
                                   {u"KodGrBludo"_s, dishGroup},
                                   {u"KodBludo"_s, dishKey},
                                   {u"Kolvo"_s, portions},
                                   {u"Cumma"_s, 50}});
    }
    double balance(qlonglong key)
    {
        return data.scalar(u"SELECT Kolvo FROM Ing WHERE Kod1 = ?"_s, {key}).toDouble();
    }
};

} // namespace

class SalesPostingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void postingWritesAnIssue();
    void documentOfZeroPortions();
    void emptyChooserPostsPartnerZero();
    void deletion_data();
    void deletion();
    void faultAtEveryStepChangesNothing();
};

void SalesPostingTest::postingWritesAnIssue()
{
    Kitchen k;
    SalesPosting posting(k.data.db(), k.prompts);
    QVERIFY(posting.post(k.document, k.partner));
    // The salad's line of 0 portions is gone; the others carry the partner.
    QCOMPARE(
        k.data.scalar(u"SELECT count(*) FROM Realsum WHERE Kod = ? AND Status = ?"_s, {k.document, k.partner})
            .toInt(),
        2);
    QCOMPARE(k.data.count(u"Realsum"_s), 2);
    QCOMPARE(k.data.scalar(u"SELECT Status FROM Realdoc"_s).toDouble(), 4.0);

    QSqlQuery doc(u"SELECT Nnn, Date, Nomer, Partner, Provodka FROM Doc"_s, k.data.db());
    QVERIFY(doc.next());
    QCOMPARE(doc.value(0).toLongLong(), posting.stockDocument());
    QCOMPARE(doc.value(1).toString(), u"2024-03-05"_s);
    QCOMPARE(doc.value(2).toString(), u"Обед"_s);
    QCOMPARE(doc.value(3).toLongLong(), k.partner);
    QCOMPARE(doc.value(4).toInt(), 1);
    QVERIFY(!doc.next());

    // Potato 1 kg and beet 0.4 kg, in the consumption rows' order; the tea's row of 0 moves nothing.
    QSqlQuery moves(u"SELECT Kod, Kolvo, Cena, Oper, Provodka, Date, Nomer, Partner FROM Move ORDER BY Nnn"_s,
                    k.data.db());
    QList<QPair<qlonglong, double>> seen;
    while (moves.next()) {
        seen.append({moves.value(0).toLongLong(), moves.value(1).toDouble()});
        QCOMPARE(moves.value(3).toString(), u"R"_s);
        QCOMPARE(moves.value(4).toInt(), 1);
        QCOMPARE(moves.value(5).toString(), u"2024-03-05"_s);
        QCOMPARE(moves.value(6).toString(), u"Обед"_s);
        QCOMPARE(moves.value(7).toLongLong(), k.partner);
        QCOMPARE(moves.value(2).toDouble(), moves.value(0).toLongLong() == k.potato ? 20.0 : 30.0);
    }
    QCOMPARE(seen, (QList<QPair<qlonglong, double>>{{k.potato, 1.0}, {k.beet, 0.4}}));
    QCOMPARE(
        k.data.scalar(u"SELECT count(*) FROM RealItog WHERE KodIng = ? AND Kolvo = 0"_s, {k.tea}).toInt(), 1);
    QCOMPARE(k.balance(k.potato), 0.0);
    QCOMPARE(k.balance(k.beet), -0.4); // may go below zero
    QCOMPARE(k.balance(k.tea), 5.0);

    // Posted: a second posting does nothing.
    QVERIFY(!posting.post(k.document, k.partner));
    QCOMPARE(k.data.count(u"Doc"_s), 1);
}

void SalesPostingTest::documentOfZeroPortions()
{
    Kitchen k;
    const qlonglong doc =
        k.data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-06"_s}, {u"NameR"_s, u"Ужин"_s}});
    k.sold(k.soup, 0, doc);
    k.sold(k.salad, QVariant(), doc); // empty portions count as 0
    QVERIFY(SalesPosting(k.data.db(), k.prompts).post(doc, k.partner));
    QCOMPARE(k.data.scalar(u"SELECT count(*) FROM Realsum WHERE Kod = ?"_s, {doc}).toInt(), 0);
    QCOMPARE(k.data.scalar(u"SELECT count(*) FROM RealItog WHERE Kod = ?"_s, {doc}).toInt(), 0);
    QCOMPARE(k.data.scalar(u"SELECT Status FROM Realdoc WHERE Kod = ?"_s, {doc}).toDouble(), 4.0);
    QCOMPARE(k.data.scalar(u"SELECT Provodka FROM Doc WHERE Nomer = 'Ужин'"_s).toInt(), 1);
    QCOMPARE(k.data.count(u"Move"_s), 0);
    QCOMPARE(k.balance(k.potato), 1.0);
}

void SalesPostingTest::emptyChooserPostsPartnerZero()
{
    Kitchen k;
    QVERIFY(SalesPosting(k.data.db(), k.prompts).post(k.document, 0));
    QCOMPARE(k.data.scalar(u"SELECT Partner FROM Doc"_s).toDouble(), 0.0);
    QCOMPARE(k.data.scalar(u"SELECT count(*) FROM Move WHERE Partner = 0"_s).toInt(), 2);
    QCOMPARE(k.data.scalar(u"SELECT count(*) FROM Realsum WHERE Status = 0"_s).toInt(), 2);
}

void SalesPostingTest::deletion_data()
{
    QTest::addColumn<bool>("period");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("current") << false
                             << QStringList{u"2024-02-29"_s, u"2024-03-01"_s, u"2024-03-31"_s,
                                            u"2024-04-01"_s};
    QTest::newRow("period, both end dates") << true << QStringList{u"2024-02-29"_s, u"2024-04-01"_s};
}

void SalesPostingTest::deletion()
{
    QFETCH(bool, period);
    QFETCH(QStringList, left);
    Kitchen k;
    SalesPosting posting(k.data.db(), k.prompts);
    QVERIFY(
        posting.post(k.document, k.partner)); // posted documents go as well, the warehouse keeps its issue
    for (const QString& date : {u"2024-03-01"_s, u"2024-03-31"_s, u"2024-02-29"_s, u"2024-04-01"_s})
        k.sold(k.soup, 1, k.data.insert(u"Realdoc"_s, {{u"DateR"_s, date}}));
    const int deleted = posting.remove({period, QDate(2024, 3, 1), QDate(2024, 3, 31)}, k.document);
    QCOMPARE(deleted, 5 - int(left.size()));
    QStringList dates;
    QSqlQuery query(u"SELECT DateR FROM Realdoc ORDER BY DateR"_s, k.data.db());
    while (query.next())
        dates << query.value(0).toString();
    QCOMPARE(dates, left);
    QCOMPARE(k.data.count(u"Realsum"_s), int(left.size()));
    QCOMPARE(k.data.scalar(u"SELECT count(*) FROM RealItog WHERE Kod = ?"_s, {k.document}).toInt(), 0);
    QCOMPARE(k.data.count(u"Move"_s), 2);
    QCOMPARE(k.balance(k.potato), 0.0);
    // Nothing current: nothing asked, nothing deleted.
    const int questions = k.prompts.questions.size();
    QCOMPARE(posting.remove({}, QVariant()), -1);
    QCOMPARE(k.prompts.questions.size(), questions);
}

void SalesPostingTest::faultAtEveryStepChangesNothing()
{
    Kitchen k;
    SalesPosting posting(k.data.db(), k.prompts);
    FaultInjection faults(k.data.db());
    QString changed;
    const int failures = faults.everyStep([&] { return posting.post(k.document, k.partner); }, &changed);
    // The zero line, two partners, three consumption rows, three dish prices, the document, the warehouse
    // document, two issue lines, their posting and two balances at least.
    QVERIFY2(failures >= 15, qPrintable(changed + u" after %1"_s.arg(failures)));
    QCOMPARE(k.data.count(u"Move"_s), 2);
    QCOMPARE(k.balance(k.potato), 0.0);
}

QTEST_GUILESS_MAIN(SalesPostingTest)
#include "tst_SalesPosting.moc"
