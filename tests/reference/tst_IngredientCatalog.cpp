#include "FaultInjection.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/IngredientCatalog.h"
#include "store/Database.h"
#include "store/TableModel.h"

#include <QTest>

using namespace Qt::StringLiterals;

// A small kitchen: groups, ingredients, compositions and card lines inserted directly.
class Kitchen
{
public:
    TestDataDir data;
    IngredientCatalog catalog{data.db()};
    ScriptedPrompts prompts;

    qlonglong group(const QString& name) { return data.insert(u"Gring"_s, {{u"Name"_s, name}}); }
    qlonglong ingredient(qlonglong group, const QString& name, QVariant price = 10.0,
                         bool semiFinished = false)
    {
        return data.insert(u"Ing"_s, {{u"Kod"_s, double(group)},
                                      {u"Name"_s, name},
                                      {u"Cena"_s, price},
                                      {u"Pf"_s, semiFinished ? 1 : 0},
                                      {u"Vih"_s, 80.0}});
    }
    qlonglong component(qlonglong product, qlonglong ingredient)
    {
        return data.insert(
            u"pf"_s, {{u"Kod"_s, double(product)}, {u"Name"_s, double(ingredient)}, {u"Kolvo"_s, 50.0}});
    }
    qlonglong cardLine(qlonglong ingredient)
    {
        return data.insert(u"Karta"_s,
                           {{u"Kod"_s, 1.0}, {u"Name"_s, double(ingredient)}, {u"Kolvo"_s, 100.0}});
    }
    int count(const QString& table, const QString& where = u"1 = 1"_s, const QVariantList& values = {})
    {
        return data.scalar(u"SELECT COUNT(*) FROM %1 WHERE %2"_s.arg(table, where), values).toInt();
    }
    bool hasIngredient(qlonglong key) { return count(u"Ing"_s, u"Kod1 = ?"_s, {key}) == 1; }
    QVariant field(qlonglong ingredient, const QString& name)
    {
        return data.scalar(u"SELECT %1 FROM Ing WHERE Kod1 = ?"_s.arg(name), {ingredient});
    }
};

class TestIngredientCatalog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deleteGroupWithUnusedIngredients();
    void deleteGroupKeepsUsedIngredients_data();
    void deleteGroupKeepsUsedIngredients();
    void deleteGroupFailureLeavesEverything();
    void deleteIngredient_data();
    void deleteIngredient();
    void cancelledDeletionsChangeNothing();
    void missingRowsDoNothing();
    void deleteComponentKeepsProductPrice();
    void flagChangeSetsYield_data();
    void flagChangeSetsYield();
    void moveToGroup();
    void chooserRefusals();
    void chooserRepeatsAndClose();
    void candidatesHavePrices();
};

void TestIngredientCatalog::deleteGroupWithUnusedIngredients()
{
    Kitchen k;
    const qlonglong meat = k.group(u"Мясо"_s);
    const qlonglong other = k.group(u"Прочее"_s);
    const qlonglong salt = k.ingredient(other, u"Соль"_s);
    // The component comes before its product: it is in use until the product has gone.
    const qlonglong beef = k.ingredient(meat, u"Говядина"_s);
    const qlonglong mince = k.ingredient(meat, u"Фарш"_s, 0.0, true);
    k.component(mince, beef);
    k.component(mince, salt);

    QVERIFY(k.catalog.deleteGroup(meat, k.prompts));

    QCOMPARE(k.prompts.questions,
             QStringList{u"Удаление группы ингредиентов|Подтвердите удаление группы ингредиентов !!!"_s});
    QCOMPARE(k.prompts.last(), u"Информация|Группа успешно удалена !!!"_s);
    QCOMPARE(k.count(u"Gring"_s), 1);
    QVERIFY(!k.hasIngredient(beef));
    QVERIFY(!k.hasIngredient(mince));
    QVERIFY(k.hasIngredient(salt));
    QCOMPARE(k.count(u"pf"_s), 0);
}

void TestIngredientCatalog::deleteGroupKeepsUsedIngredients_data()
{
    QTest::addColumn<bool>("usedInCard");
    QTest::newRow("used in a costing card") << true;
    QTest::newRow("used only in a composition") << false;
}

void TestIngredientCatalog::deleteGroupKeepsUsedIngredients()
{
    QFETCH(bool, usedInCard);
    Kitchen k;
    const qlonglong veg = k.group(u"Овощи"_s);
    const qlonglong semi = k.group(u"Полуфабрикаты"_s);
    const qlonglong carrot = k.ingredient(veg, u"Морковь"_s);
    const qlonglong onion = k.ingredient(veg, u"Лук"_s);
    const qlonglong salt = k.ingredient(semi, u"Соль"_s);
    const qlonglong stock = k.ingredient(veg, u"Бульон овощной"_s, 0.0, true);
    k.component(stock, salt);
    if (usedInCard) {
        k.cardLine(carrot);
    } else {
        const qlonglong salad = k.ingredient(semi, u"Салат"_s, 0.0, true);
        k.component(salad, carrot);
    }

    QVERIFY(k.catalog.deleteGroup(veg, k.prompts));

    QCOMPARE(k.prompts.last(), u"Ошибка удаления группы|Группа не удалена, остались ингредиенты "
                               "используемые в блюдах или составляющих полуфабрикатов !!!"_s);
    QCOMPARE(k.count(u"Gring"_s, u"Kod = ?"_s, {veg}), 1);
    QVERIFY(k.hasIngredient(carrot));
    QVERIFY(!k.hasIngredient(onion));
    QVERIFY(!k.hasIngredient(stock));
    QCOMPARE(k.count(u"pf"_s, u"Kod = ?"_s, {stock}), 0);
    QVERIFY(k.hasIngredient(salt));
}

void TestIngredientCatalog::deleteGroupFailureLeavesEverything()
{
    Kitchen k;
    const qlonglong fish = k.group(u"Рыба"_s);
    const qlonglong cod = k.ingredient(fish, u"Треска"_s);
    const qlonglong cutlet = k.ingredient(fish, u"Котлета рыбная"_s, 0.0, true);
    k.component(cutlet, cod);
    // The group row refuses to go, after the ingredients have already been deleted.
    refuseWrites(k.data.db(), u"Gring"_s, u"DELETE"_s, u"group locked"_s);

    QVERIFY(!k.catalog.deleteGroup(fish, k.prompts));

    QVERIFY(k.prompts.last().startsWith(u"Ошибка|"_s));
    QVERIFY(k.prompts.last().contains(u"group locked"_s));
    QVERIFY(k.hasIngredient(cod));
    QVERIFY(k.hasIngredient(cutlet));
    QCOMPARE(k.count(u"pf"_s), 1);
    QCOMPARE(k.count(u"Gring"_s), 1);
}

void TestIngredientCatalog::deleteIngredient_data()
{
    QTest::addColumn<QString>("use");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("used in a costing card") << u"card"_s << false;
    QTest::newRow("used only as a component") << u"component"_s << false;
    QTest::newRow("unused semi-finished product") << u"none"_s << true;
}

void TestIngredientCatalog::deleteIngredient()
{
    QFETCH(QString, use);
    QFETCH(bool, deleted);
    Kitchen k;
    const qlonglong g = k.group(u"Соусы"_s);
    const qlonglong butter = k.ingredient(g, u"Масло"_s);
    const qlonglong sauce = k.ingredient(g, u"Соус"_s, 0.0, true);
    k.component(sauce, butter);
    k.component(sauce, butter);
    if (use == u"card"_s)
        k.cardLine(sauce);
    else if (use == u"component"_s)
        k.component(k.ingredient(g, u"Другой ПФ"_s, 0.0, true), sauce);

    QCOMPARE(k.catalog.deleteIngredient(sauce, k.prompts), deleted);

    QCOMPARE(k.prompts.questions,
             QStringList{u"Удаление ингредиента|Подтвердите удаление ингредиента !!!"_s});
    QCOMPARE(k.prompts.last(), deleted ? u"Информация|Ингредиент успешно удалён !!!"_s
                                       : u"Ошибка удаления ингредиента|Ингредиент не удалён, он "
                                         "используется в блюдах или составляющих полуфабрикатов !!!"_s);
    QCOMPARE(k.hasIngredient(sauce), !deleted);
    QCOMPARE(k.count(u"pf"_s, u"Kod = ?"_s, {sauce}), deleted ? 0 : 2);
    QVERIFY(k.hasIngredient(butter));
    QCOMPARE(k.catalog.isUsed(sauce), !deleted && use != u"none"_s);
}

void TestIngredientCatalog::cancelledDeletionsChangeNothing()
{
    Kitchen k;
    const qlonglong g = k.group(u"Крупы"_s);
    const qlonglong rice = k.ingredient(g, u"Рис"_s);
    const qlonglong pilaf = k.ingredient(g, u"Плов"_s, 0.0, true);
    const qlonglong row = k.component(pilaf, rice);
    for (int i = 0; i < 3; ++i)
        k.prompts.queueConfirm(false);

    QVERIFY(!k.catalog.deleteGroup(g, k.prompts));
    QVERIFY(!k.catalog.deleteIngredient(pilaf, k.prompts));
    QVERIFY(!k.catalog.deleteComponent(row, k.prompts));

    QCOMPARE(k.prompts.shown.size(), 3); // the three questions, nothing after them
    QCOMPARE(k.count(u"Gring"_s), 1);
    QCOMPARE(k.count(u"Ing"_s), 2);
    QCOMPARE(k.count(u"pf"_s), 1);
}

void TestIngredientCatalog::missingRowsDoNothing()
{
    Kitchen k;
    const qlonglong g = k.group(u"Пустая"_s);
    const qlonglong product = k.ingredient(g, u"ПФ"_s, 5.0, true);
    const qlonglong gone = 999;
    for (const QVariant& key :
         {QVariant(), QVariant(QMetaType::fromType<double>()), QVariant(0.0), QVariant(gone)}) {
        QVERIFY(!k.catalog.deleteGroup(key, k.prompts));
        QVERIFY(!k.catalog.deleteIngredient(key, k.prompts));
        QVERIFY(!k.catalog.deleteComponent(key, k.prompts));
        QVERIFY(k.catalog.chooseComponent(product, key, k.prompts).isNull());
        QVERIFY(k.catalog.chooseComponent(key, product, k.prompts).isNull());
        QVERIFY(!k.catalog.moveToGroup(product, key));
        QVERIFY(!k.catalog.closeChooser(key));
    }
    QCOMPARE(k.prompts.shown, QStringList());
    QCOMPARE(k.count(u"Gring"_s), 1);
    QCOMPARE(k.field(product, u"Kod"_s).toDouble(), double(g));
    QCOMPARE(k.count(u"pf"_s), 0);
}

void TestIngredientCatalog::deleteComponentKeepsProductPrice()
{
    Kitchen k;
    const qlonglong g = k.group(u"Тесто"_s);
    const qlonglong flour = k.ingredient(g, u"Мука"_s);
    const qlonglong dough = k.ingredient(g, u"Тесто"_s, 42.5, true);
    const qlonglong first = k.component(dough, flour);
    const qlonglong second = k.component(dough, flour);

    QVERIFY(k.catalog.deleteComponent(first, k.prompts));

    QCOMPARE(k.prompts.shown, QStringList{u"Удаление составляющей|Подтвердите удаление составляющей !!!"_s});
    QCOMPARE(k.count(u"pf"_s, u"NNN = ?"_s, {first}), 0);
    QCOMPARE(k.count(u"pf"_s, u"NNN = ?"_s, {second}), 1);
    QCOMPARE(k.field(dough, u"Cena"_s).toDouble(), 42.5);
}

void TestIngredientCatalog::flagChangeSetsYield_data()
{
    QTest::addColumn<bool>("pending");
    QTest::addColumn<double>("yield");
    QTest::newRow("row had pending changes") << true << 100.0;
    QTest::newRow("left without a change") << false << 80.0;
}

void TestIngredientCatalog::flagChangeSetsYield()
{
    QFETCH(bool, pending);
    QFETCH(double, yield);
    Kitchen k;
    const qlonglong potato = k.ingredient(k.group(u"Овощи"_s), u"Картофель"_s);
    // The window has posted the turned flag (or nothing) before it calls the rule.
    QVERIFY(execSql(k.data.db(), u"UPDATE Ing SET Pf = ? WHERE Kod1 = ?"_s, {pending ? 1 : 0, potato}));

    QString error;
    QCOMPARE(k.catalog.applyFlagChange(potato, pending, &error), pending);
    QCOMPARE(error, QString());
    QCOMPARE(k.field(potato, u"Vih"_s).toDouble(), yield);
}

void TestIngredientCatalog::moveToGroup()
{
    Kitchen k;
    const qlonglong from = k.group(u"Старая"_s);
    const qlonglong to = k.group(u"Новая"_s);
    const qlonglong milk = k.ingredient(from, u"Молоко"_s);

    QVERIFY(k.catalog.moveToGroup(milk, to));
    QCOMPARE(k.field(milk, u"Kod"_s).toDouble(), double(to));
    // A group key that names no group leaves the ingredient where it is.
    QVERIFY(!k.catalog.moveToGroup(milk, 12345));
    QCOMPARE(k.field(milk, u"Kod"_s).toDouble(), double(to));
}

void TestIngredientCatalog::chooserRefusals()
{
    Kitchen k;
    const qlonglong g = k.group(u"ПФ"_s);
    const qlonglong product = k.ingredient(g, u"Фарш"_s, 30.0, true);
    const qlonglong otherProduct = k.ingredient(g, u"Тесто"_s, 20.0, true);

    QVERIFY(k.catalog.chooseComponent(product, product, k.prompts).isNull());
    QCOMPARE(k.prompts.last(), u"Ошибка выбора|Полуфабрикат не может входить сам в себя"_s);
    QVERIFY(k.catalog.chooseComponent(product, otherProduct, k.prompts).isNull());
    QCOMPARE(k.prompts.last(),
             u"Ошибка выбора|Инградиент является полуфабрикатом и не может входить в полуфабрикат"_s);
    QCOMPARE(k.count(u"pf"_s), 0);
}

void TestIngredientCatalog::chooserRepeatsAndClose()
{
    Kitchen k;
    const qlonglong g = k.group(u"Разное"_s);
    const qlonglong pepper = k.ingredient(g, u"Перец"_s);
    const qlonglong product = k.ingredient(g, u"Смесь"_s, 17.0, true);

    const QVariant first = k.catalog.chooseComponent(product, pepper, k.prompts);
    const QVariant second = k.catalog.chooseComponent(product, double(pepper), k.prompts);
    QVERIFY(!first.isNull());
    QVERIFY(!second.isNull());
    QVERIFY(first != second);
    QCOMPARE(k.prompts.shown, QStringList());
    QCOMPARE(k.count(u"pf"_s, u"Kod = ? AND Name = ? AND Kolvo IS NULL"_s, {product, pepper}), 2);

    // Closing resets the price on every close, whether or not the composition changed.
    QVERIFY(k.catalog.closeChooser(product));
    QCOMPARE(k.field(product, u"Cena"_s).toDouble(), 0.0);
    QVERIFY(execSql(k.data.db(), u"UPDATE Ing SET Cena = 9.99 WHERE Kod1 = ?"_s, {product}));
    QVERIFY(k.catalog.closeChooser(product));
    QCOMPARE(k.field(product, u"Cena"_s).toDouble(), 0.0);
    QCOMPARE(k.field(pepper, u"Cena"_s).toDouble(), 10.0);
}

void TestIngredientCatalog::candidatesHavePrices()
{
    Kitchen k;
    const qlonglong g = k.group(u"Бакалея"_s);
    const qlonglong priced = k.ingredient(g, u"Сахар"_s, 0.01);
    k.ingredient(g, u"Без цены"_s, QVariant());
    k.ingredient(g, u"Нулевая цена"_s, 0.0);
    const qlonglong product = k.ingredient(g, u"ПФ"_s, 3.0, true);

    TableModel candidates(
        k.data.db(),
        ViewDef{
            u"Ing"_s, {u"Name"_s}, QString(), QString::fromLatin1(IngredientCatalog::candidateFilter), {}});
    candidates.setFilterEnabled(true);
    QVERIFY(candidates.open());
    QCOMPARE(candidates.rowCount(), 2);
    QVERIFY(candidates.rowOfKey(priced) >= 0);
    QVERIFY(candidates.rowOfKey(product) >= 0); // listed, and refused when chosen
}

QTEST_GUILESS_MAIN(TestIngredientCatalog)
#include "tst_IngredientCatalog.moc"
