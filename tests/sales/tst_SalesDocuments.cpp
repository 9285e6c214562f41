#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "sales/SalesDocuments.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString posted = u"Ошибка|Документ проведён. Изменение меню не производится !!!"_s;

// Two released menus over a few dishes, and an open document using the first.
struct Sales
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong soups = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
    qlonglong salads = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Салаты"_s}});
    qlonglong borscht = dish(soups, u"Борщ"_s);
    qlonglong olivier = dish(salads, u"Салат 'Оливье'"_s);
    qlonglong vinaigrette = dish(salads, u"Винегрет"_s);
    qlonglong lunch = menu(u"Обед"_s, u"2024-03-01"_s);
    qlonglong dinner = menu(u"Ужин"_s, u"2024-03-02"_s);
    qlonglong document = data.insert(u"Realdoc"_s, {{u"DateR"_s, u"2024-03-05"_s}, {u"Nnn"_s, lunch}});

    qlonglong dish(qlonglong group, const QString& name)
    {
        return data.insert(u"Bludo"_s, {{u"Kod"_s, group}, {u"Name"_s, name}, {u"Status"_s, 1}});
    }
    qlonglong menu(const QString& name, const QString& date)
    {
        return data.insert(u"Menu"_s, {{u"Name"_s, name}, {u"Date"_s, date}, {u"Status"_s, 1}});
    }
    void item(qlonglong menuKey, qlonglong dishKey, double price, bool included = true)
    {
        data.insert(u"MenuSp"_s, {{u"Kod"_s, menuKey},
                                  {u"Name"_s, dishKey},
                                  {u"CenaProd"_s, price},
                                  {u"Status"_s, included ? 1 : 0}});
    }
    void line(qlonglong dishKey, double portions)
    {
        data.insert(u"Realsum"_s, {{u"Kod"_s, document}, {u"KodBludo"_s, dishKey}, {u"Kolvo"_s, portions}});
    }
    // The lines as "dish group price portions", in stored order.
    QStringList lines()
    {
        QStringList result;
        QSqlQuery query(data.db());
        query.prepare(u"SELECT KodBludo, KodGrBludo, Cumma, Kolvo FROM Realsum WHERE Kod = ? ORDER BY Nnn"_s);
        query.addBindValue(document);
        query.exec();
        while (query.next()) {
            result << u"%1 %2 %3 %4"_s.arg(query.value(0).toDouble())
                          .arg(query.value(1).toDouble())
                          .arg(query.value(2).toDouble())
                          .arg(query.value(3).toDouble());
        }
        return result;
    }
    QString entry(qlonglong dishKey, qlonglong group, double price)
    {
        return u"%1 %2 %3 0"_s.arg(dishKey).arg(group).arg(price);
    }
    void post() { data.scalar(u"UPDATE Realdoc SET Status = 4 WHERE Kod = ?"_s, {document}); }
    SalesDocuments docs() { return SalesDocuments(data.db(), prompts); }
};

} // namespace

class tst_SalesDocuments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineSum_data();
    void lineSum();
    void fillCopiesIncludedItemsInMenuOrder();
    void fillFromAllExcludedMenuEmptiesTheDocument();
    void fillAsksAndRefuses();
    void menuChangeReplacesLines();
    void menuChangeAsksAndRefuses();
    void searchBindsTheText_data();
    void searchBindsTheText();
};

void tst_SalesDocuments::lineSum_data()
{
    QTest::addColumn<QVariant>("portions");
    QTest::addColumn<QVariant>("price");
    QTest::addColumn<double>("expected");

    // 37.5 and 12.5 kopecks: the halves go to the even kopeck.
    QTest::newRow("3 x 0.125") << QVariant(3) << QVariant(0.125) << 0.38;
    QTest::newRow("1 x 0.125") << QVariant(1) << QVariant(0.125) << 0.12;
    QTest::newRow("2.5 x 12.34") << QVariant(2.5) << QVariant(12.34) << 30.85;
    QTest::newRow("empty portions") << QVariant() << QVariant(12.34) << 0.0;
}

void tst_SalesDocuments::lineSum()
{
    QFETCH(QVariant, portions);
    QFETCH(QVariant, price);
    QFETCH(double, expected);
    QCOMPARE(SalesDocuments::lineSum(portions, price), expected);
}

void tst_SalesDocuments::fillCopiesIncludedItemsInMenuOrder()
{
    Sales s;
    s.item(s.lunch, s.vinaigrette, 45.5);
    s.item(s.dinner, s.borscht, 99); // another menu
    s.item(s.lunch, s.olivier, 60, false);
    s.item(s.lunch, s.borscht, 120.25);

    QVERIFY(s.docs().fillFromMenu(s.document));
    QCOMPARE(s.lines(),
             QStringList({s.entry(s.vinaigrette, s.salads, 45.5), s.entry(s.borscht, s.soups, 120.25)}));
    QVERIFY(s.prompts.shown.isEmpty()); // nothing to replace, nothing asked
}

void tst_SalesDocuments::fillFromAllExcludedMenuEmptiesTheDocument()
{
    Sales s;
    s.item(s.lunch, s.borscht, 100, false);
    s.line(s.olivier, 3);

    QVERIFY(s.docs().fillFromMenu(s.document));
    QCOMPARE(s.prompts.questions.size(), 1);
    QVERIFY(s.lines().isEmpty());
}

void tst_SalesDocuments::fillAsksAndRefuses()
{
    Sales s;
    s.item(s.lunch, s.borscht, 100);
    s.line(s.olivier, 3);
    const QStringList before = s.lines();

    s.prompts.queueConfirm(false);
    QVERIFY(!s.docs().fillFromMenu(s.document));
    QCOMPARE(s.prompts.last(),
             u"Ввод списка блюд в документ реализации|Список блюд в данном документе не пустой, он "
             "будет заменён. Подтвердите операцию."_s);
    QCOMPARE(s.lines(), before);

    s.post();
    QVERIFY(!s.docs().fillFromMenu(s.document));
    QCOMPARE(s.prompts.last(), posted);
    QCOMPARE(s.prompts.questions.size(), 1);
    QCOMPARE(s.lines(), before);
}

void tst_SalesDocuments::menuChangeReplacesLines()
{
    Sales s;
    s.item(s.dinner, s.olivier, 70);
    s.item(s.dinner, s.vinaigrette, 30, false);
    s.line(s.borscht, 5); // typed quantities are lost

    QVERIFY(s.docs().mayChangeMenu(s.document));
    QCOMPARE(s.prompts.questions.size(), 1);
    QVERIFY(s.docs().useMenu(s.document, s.dinner));
    QCOMPARE(s.lines(), QStringList({s.entry(s.olivier, s.salads, 70)}));
    QCOMPARE(s.data.scalar(u"SELECT Nnn FROM Realdoc WHERE Kod = ?"_s, {s.document}).toLongLong(), s.dinner);
    QCOMPARE(s.data.scalar(u"SELECT DateMenu FROM Realdoc WHERE Kod = ?"_s, {s.document}).toString(),
             u"2024-03-02"_s);
    QCOMPARE(s.prompts.questions.size(), 1); // the emptied list is filled without a second question
}

void tst_SalesDocuments::menuChangeAsksAndRefuses()
{
    Sales s;
    QVERIFY(s.docs().mayChangeMenu(s.document)); // no lines: nothing to ask
    QVERIFY(s.prompts.shown.isEmpty());

    s.line(s.borscht, 5);
    s.prompts.queueConfirm(false);
    QVERIFY(!s.docs().mayChangeMenu(s.document));
    QCOMPARE(s.prompts.last(),
             u"Смена меню|Список блюд в данном документе не пустой, При смене меню он будет "
             "заменён списком из вновь выбранного меню. Подтвердите операцию."_s);

    // A status of 3 or an empty one counts as posted.
    for (const QVariant& status : {QVariant(3), QVariant()}) {
        s.data.scalar(u"UPDATE Realdoc SET Status = ? WHERE Kod = ?"_s, {status, s.document});
        QVERIFY(!s.docs().mayChangeMenu(s.document));
        QCOMPARE(s.prompts.last(), posted);
        QVERIFY(!s.docs().useMenu(s.document, s.dinner));
        QCOMPARE(s.data.scalar(u"SELECT Nnn FROM Realdoc WHERE Kod = ?"_s, {s.document}).toLongLong(),
                 s.lunch);
        QCOMPARE(s.lines().size(), 1);
    }
}

void tst_SalesDocuments::searchBindsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    const QStringList all = {u"Борщ"_s, u"Винегрет"_s, u"Салат 'Оливье'"_s};
    QTest::newRow("empty: every line by name") << QString() << all;
    QTest::newRow("Cyrillic, any case") << u"оЛИВ"_s << QStringList{u"Салат 'Оливье'"_s};
    QTest::newRow("apostrophe") << u"'Оливье'"_s << QStringList{u"Салат 'Оливье'"_s};
    QTest::newRow("lone apostrophe") << u"'"_s << QStringList{u"Салат 'Оливье'"_s};
    QTest::newRow("quote") << u"\""_s << QStringList();
    QTest::newRow("statement in the text") << u"' OR 1=1 --"_s << QStringList();
    QTest::newRow("no match") << u"Щи"_s << QStringList();
}

void tst_SalesDocuments::searchBindsTheText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    Sales s;
    for (qlonglong dish : {s.olivier, s.borscht, s.vinaigrette}) {
        s.item(s.lunch, dish, 10);
    }
    QVERIFY(s.docs().fillFromMenu(s.document));
    const qlonglong other = s.data.insert(u"Realdoc"_s, {{u"Nnn"_s, s.lunch}});
    s.data.insert(u"Realsum"_s, {{u"Kod"_s, other}, {u"KodBludo"_s, s.borscht}, {u"KodGrBludo"_s, s.soups}});

    QString error;
    QStringList names;
    for (const FoundSalesLine& line : s.docs().findLines(s.document, text, &error)) {
        QCOMPARE(line.document, s.document);
        names << line.dish;
    }
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(names, expected);
}

QTEST_GUILESS_MAIN(tst_SalesDocuments)
#include "tst_SalesDocuments.moc"
