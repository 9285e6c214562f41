#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/PriceRecalculation.h"
#include "store/Database.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Settings = PriceRecalculation::Settings;
using Scope = PriceRecalculation::Scope;
using Action = PriceRecalculation::Action;

Q_DECLARE_METATYPE(PriceRecalculation::Scope)
Q_DECLARE_METATYPE(PriceRecalculation::Action)

// Two groups with ordinary ingredients and a semi-finished product, one ingredient without a price.
struct PricedKitchen
{
    TestDataDir data;
    PriceRecalculation recalculation{data.db()};
    ScriptedPrompts prompts;
    qlonglong dairy = 0, bakery = 0;
    qlonglong milk = 0, cheese = 0, dough = 0, flour = 0, unpriced = 0;

    PricedKitchen()
    {
        dairy = data.insert(u"Gring"_s, {{u"Name"_s, u"Молочное"_s}});
        bakery = data.insert(u"Gring"_s, {{u"Name"_s, u"Выпечка"_s}});
        milk = ingredient(dairy, u"Молоко"_s, 12.34, QVariant());
        cheese = ingredient(dairy, u"Сыр"_s, 200.0, 0);
        dough = ingredient(dairy, u"Сырники ПФ"_s, 50.0, 1);
        flour = ingredient(bakery, u"Мука"_s, 40.0, 0);
        unpriced = ingredient(bakery, u"Дрожжи"_s, QVariant(), 0);
    }
    qlonglong ingredient(qlonglong group, const QString& name, const QVariant& price,
                         const QVariant& semiFinished)
    {
        return data.insert(
            u"Ing"_s,
            {{u"Kod"_s, double(group)}, {u"Name"_s, name}, {u"Cena"_s, price}, {u"Pf"_s, semiFinished}});
    }
    QVariant price(qlonglong key) { return data.scalar(u"SELECT Cena FROM Ing WHERE Kod1 = ?"_s, {key}); }
    bool run(Scope scope, Action action, int percent, qlonglong current = 0)
    {
        return recalculation.run(Settings{scope, action, percent}, current ? current : milk, dairy, prompts);
    }
};

class TestPriceRecalculation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void confirmationTexts_data();
    void confirmationTexts();
    void newPrices_data();
    void newPrices();
    void raiseThenLowerGivesNinetyNinePercent();
    void priceThatWouldBecomeInfiniteStopsTheRun();
    void scopes_data();
    void scopes();
    void semiFinishedCurrentIngredient();
    void missingScopeRowAsksNothing();
};

void TestPriceRecalculation::confirmationTexts_data()
{
    QTest::addColumn<Scope>("scope");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("text");
    QTest::newRow("ingredient") << Scope::Ingredient << Action::Raise << 5
                                << u"Вы уверены что хотите увеличить цену ингредиенту \"Молоко\" на 5%"_s;
    QTest::newRow("group")
        << Scope::Group << Action::Lower << 100
        << u"Вы уверены что хотите уменьшить цену группе ингредиентов \"Молочное\" на 100%"_s;
    QTest::newRow("all") << Scope::All << Action::Raise << 0
                         << u"Вы уверены что хотите увеличить цену всем ингредиентам на 0%"_s;
}

void TestPriceRecalculation::confirmationTexts()
{
    QFETCH(Scope, scope);
    QFETCH(Action, action);
    QFETCH(int, percent);
    QFETCH(QString, text);
    PricedKitchen k;
    k.prompts.queueConfirm(false);

    QVERIFY(!k.run(scope, action, percent));

    // Cancel in the confirmation changes nothing and reports nothing.
    QCOMPARE(k.prompts.shown, QStringList{u"Предупреждение пересчёта|"_s + text});
    QCOMPARE(k.price(k.cheese).toDouble(), 200.0);
    QVERIFY(k.price(k.unpriced).isNull());
}

void TestPriceRecalculation::newPrices_data()
{
    QTest::addColumn<QVariant>("start");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("percent");
    QTest::addColumn<double>("expected");
    QTest::newRow("12.34 raised by 5% is not rounded") << QVariant(12.34) << Action::Raise << 5 << 12.957;
    QTest::newRow("lowered by 100% is 0") << QVariant(57.1) << Action::Lower << 100 << 0.0;
    QTest::newRow("p = 0 keeps the price") << QVariant(3.33) << Action::Lower << 0 << 3.33;
    QTest::newRow("an empty price stays 0") << QVariant() << Action::Raise << 50 << 0.0;
    QTest::newRow("raised by 100% doubles") << QVariant(7.5) << Action::Raise << 100 << 15.0;
}

void TestPriceRecalculation::newPrices()
{
    QFETCH(QVariant, start);
    QFETCH(Action, action);
    QFETCH(int, percent);
    QFETCH(double, expected);
    PricedKitchen k;
    QVERIFY(execSql(k.data.db(), u"UPDATE Ing SET Cena = ? WHERE Kod1 = ?"_s, {start, k.milk}));

    QVERIFY(k.run(Scope::Ingredient, action, percent));

    QCOMPARE(k.prompts.last(), u"Пересчёт цен|Пересчёт цен произведён успешно"_s);
    const QVariant stored = k.price(k.milk);
    QVERIFY(!stored.isNull());
    QVERIFY(qFuzzyCompare(1.0 + stored.toDouble(), 1.0 + expected));
    QCOMPARE(k.price(k.cheese).toDouble(), 200.0);
}

void TestPriceRecalculation::priceThatWouldBecomeInfiniteStopsTheRun()
{
    PricedKitchen k;
    QVERIFY(execSql(k.data.db(), u"UPDATE Ing SET Cena = 1.5e308 WHERE Kod1 = ?"_s, {k.cheese}));
    QVERIFY(!k.run(Scope::All, Action::Raise, 50));
    QVERIFY2(k.prompts.last().contains(u"\"Сыр\" стала бы бесконечно большой"_s),
             qPrintable(k.prompts.last()));
    QCOMPARE(k.price(k.cheese).toDouble(), 1.5e308);
    QCOMPARE(k.price(k.flour).toDouble(), 40.0);
}

void TestPriceRecalculation::raiseThenLowerGivesNinetyNinePercent()
{
    PricedKitchen k;
    QVERIFY(k.run(Scope::Ingredient, Action::Raise, 10, k.cheese));
    QVERIFY(k.run(Scope::Ingredient, Action::Lower, 10, k.cheese));
    QVERIFY(qFuzzyCompare(k.price(k.cheese).toDouble(), 198.0));
}

void TestPriceRecalculation::scopes_data()
{
    QTest::addColumn<Scope>("scope");
    QTest::addColumn<QList<double>>("prices"); // milk, cheese, dough, flour, unpriced
    QTest::newRow("ingredient") << Scope::Ingredient << QList<double>{24.68, 200.0, 50.0, 40.0, -1.0};
    QTest::newRow("group") << Scope::Group << QList<double>{24.68, 400.0, 50.0, 40.0, -1.0};
    QTest::newRow("all") << Scope::All << QList<double>{24.68, 400.0, 50.0, 80.0, 0.0};
}

void TestPriceRecalculation::scopes()
{
    QFETCH(Scope, scope);
    QFETCH(QList<double>, prices);
    PricedKitchen k;

    QVERIFY(k.run(scope, Action::Raise, 100));

    const QList<qlonglong> keys{k.milk, k.cheese, k.dough, k.flour, k.unpriced};
    for (int i = 0; i < keys.size(); ++i) {
        const QVariant stored = k.price(keys[i]);
        if (prices[i] < 0) // not in scope: still empty
            QVERIFY2(stored.isNull(), qPrintable(QString::number(i)));
        else
            QVERIFY2(qFuzzyCompare(1.0 + stored.toDouble(), 1.0 + prices[i]), qPrintable(QString::number(i)));
    }
}

void TestPriceRecalculation::semiFinishedCurrentIngredient()
{
    PricedKitchen k;

    QVERIFY(!k.run(Scope::Ingredient, Action::Lower, 20, k.dough));

    QCOMPARE(k.prompts.shown,
             (QStringList{u"Предупреждение пересчёта|Вы уверены что хотите уменьшить цену ингредиенту "
                          "\"Сырники ПФ\" на 20%"_s,
                          u"Пересчёт цен|Цена полуфабриката рассчитывается по его составу и не "
                          "пересчитывается."_s}));
    QCOMPARE(k.price(k.dough).toDouble(), 50.0);
}

void TestPriceRecalculation::missingScopeRowAsksNothing()
{
    PricedKitchen k;
    QVERIFY(
        !k.recalculation.run(Settings{Scope::Ingredient, Action::Raise, 10}, QVariant(), k.dairy, k.prompts));
    QVERIFY(!k.recalculation.run(Settings{Scope::Group, Action::Raise, 10}, k.milk, QVariant(), k.prompts));
    QCOMPARE(k.prompts.shown, QStringList());
    QVERIFY(qFuzzyCompare(k.price(k.milk).toDouble(), 12.34));
}

QTEST_GUILESS_MAIN(TestPriceRecalculation)
#include "tst_PriceRecalculation.moc"
