#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "reference/IngredientCatalog.h"
#include "store/Database.h"
#include "store/TableModel.h"

#include <QTest>

// A small kitchen: groups, ingredients, compositions and card lines inserted directly.
class Kitchen
{
public:
    TestDataDir data;
    IngredientCatalog catalog{data.db()};
    ScriptedPrompts prompts;

    qlonglong group(const QString& name)
    {
        return data.insert(QStringLiteral("Gring"), {{QStringLiteral("Name"), name}});
    }
    qlonglong ingredient(qlonglong group, const QString& name, QVariant price = 10.0,
                         bool semiFinished = false)
    {
        return data.insert(QStringLiteral("Ing"), {{QStringLiteral("Kod"), double(group)},
                                                   {QStringLiteral("Name"), name},
                                                   {QStringLiteral("Cena"), price},
                                                   {QStringLiteral("Pf"), semiFinished ? 1 : 0},
                                                   {QStringLiteral("Vih"), 80.0}});
    }
    qlonglong component(qlonglong product, qlonglong ingredient)
    {
        return data.insert(QStringLiteral("pf"), {{QStringLiteral("Kod"), double(product)},
                                                  {QStringLiteral("Name"), double(ingredient)},
                                                  {QStringLiteral("Kolvo"), 50.0}});
    }
    qlonglong cardLine(qlonglong ingredient)
    {
        return data.insert(QStringLiteral("Karta"), {{QStringLiteral("Kod"), 1.0},
                                                     {QStringLiteral("Name"), double(ingredient)},
                                                     {QStringLiteral("Kolvo"), 100.0}});
    }
    int count(const QString& table, const QString& where = QStringLiteral("1"),
              const QVariantList& values = {})
    {
        return data.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where), values)
            .toInt();
    }
    bool hasIngredient(qlonglong key)
    {
        return count(QStringLiteral("Ing"), QStringLiteral("Kod1 = ?"), {key}) == 1;
    }
    QVariant field(qlonglong ingredient, const QString& name)
    {
        return data.scalar(QStringLiteral("SELECT %1 FROM Ing WHERE Kod1 = ?").arg(name), {ingredient});
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
    const qlonglong meat = k.group(QStringLiteral("Мясо"));
    const qlonglong other = k.group(QStringLiteral("Прочее"));
    const qlonglong salt = k.ingredient(other, QStringLiteral("Соль"));
    // The component comes before its product: it is in use until the product has gone.
    const qlonglong beef = k.ingredient(meat, QStringLiteral("Говядина"));
    const qlonglong mince = k.ingredient(meat, QStringLiteral("Фарш"), 0.0, true);
    k.component(mince, beef);
    k.component(mince, salt);

    QVERIFY(k.catalog.deleteGroup(meat, k.prompts));

    QCOMPARE(k.prompts.questions,
             QStringList{QStringLiteral(
                 "Удаление группы ингредиентов|Подтвердите удаление группы ингредиентов !!!")});
    QCOMPARE(k.prompts.last(), QStringLiteral("Информация|Группа успешно удалена !!!"));
    QCOMPARE(k.count(QStringLiteral("Gring")), 1);
    QVERIFY(!k.hasIngredient(beef));
    QVERIFY(!k.hasIngredient(mince));
    QVERIFY(k.hasIngredient(salt));
    QCOMPARE(k.count(QStringLiteral("pf")), 0);
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
    const qlonglong veg = k.group(QStringLiteral("Овощи"));
    const qlonglong semi = k.group(QStringLiteral("Полуфабрикаты"));
    const qlonglong carrot = k.ingredient(veg, QStringLiteral("Морковь"));
    const qlonglong onion = k.ingredient(veg, QStringLiteral("Лук"));
    const qlonglong salt = k.ingredient(semi, QStringLiteral("Соль"));
    const qlonglong stock = k.ingredient(veg, QStringLiteral("Бульон овощной"), 0.0, true);
    k.component(stock, salt);
    if (usedInCard) {
        k.cardLine(carrot);
    } else {
        const qlonglong salad = k.ingredient(semi, QStringLiteral("Салат"), 0.0, true);
        k.component(salad, carrot);
    }

    QVERIFY(k.catalog.deleteGroup(veg, k.prompts));

    QCOMPARE(k.prompts.last(),
             QStringLiteral("Ошибка удаления группы|Группа не удалена, остались ингредиенты "
                            "используемые в блюдах или составляющих полуфабрикатов !!!"));
    QCOMPARE(k.count(QStringLiteral("Gring"), QStringLiteral("Kod = ?"), {veg}), 1);
    QVERIFY(k.hasIngredient(carrot));
    QVERIFY(!k.hasIngredient(onion));
    QVERIFY(!k.hasIngredient(stock));
    QCOMPARE(k.count(QStringLiteral("pf"), QStringLiteral("Kod = ?"), {stock}), 0);
    QVERIFY(k.hasIngredient(salt));
}

void TestIngredientCatalog::deleteGroupFailureLeavesEverything()
{
    Kitchen k;
    const qlonglong fish = k.group(QStringLiteral("Рыба"));
    const qlonglong cod = k.ingredient(fish, QStringLiteral("Треска"));
    const qlonglong cutlet = k.ingredient(fish, QStringLiteral("Котлета рыбная"), 0.0, true);
    k.component(cutlet, cod);
    // The group row refuses to go, after the ingredients have already been deleted.
    QVERIFY(execSql(k.data.db(), QStringLiteral("CREATE TEMP TRIGGER keepGroup BEFORE DELETE ON Gring "
                                                "BEGIN SELECT RAISE(ABORT, 'group locked'); END")));

    QVERIFY(!k.catalog.deleteGroup(fish, k.prompts));

    QVERIFY(k.prompts.last().startsWith(QStringLiteral("Ошибка|")));
    QVERIFY(k.prompts.last().contains(QStringLiteral("group locked")));
    QVERIFY(k.hasIngredient(cod));
    QVERIFY(k.hasIngredient(cutlet));
    QCOMPARE(k.count(QStringLiteral("pf")), 1);
    QCOMPARE(k.count(QStringLiteral("Gring")), 1);
}

void TestIngredientCatalog::deleteIngredient_data()
{
    QTest::addColumn<QString>("use");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("used in a costing card") << QStringLiteral("card") << false;
    QTest::newRow("used only as a component") << QStringLiteral("component") << false;
    QTest::newRow("unused semi-finished product") << QStringLiteral("none") << true;
}

void TestIngredientCatalog::deleteIngredient()
{
    QFETCH(QString, use);
    QFETCH(bool, deleted);
    Kitchen k;
    const qlonglong g = k.group(QStringLiteral("Соусы"));
    const qlonglong butter = k.ingredient(g, QStringLiteral("Масло"));
    const qlonglong sauce = k.ingredient(g, QStringLiteral("Соус"), 0.0, true);
    k.component(sauce, butter);
    k.component(sauce, butter);
    if (use == QStringLiteral("card"))
        k.cardLine(sauce);
    else if (use == QStringLiteral("component"))
        k.component(k.ingredient(g, QStringLiteral("Другой ПФ"), 0.0, true), sauce);

    QCOMPARE(k.catalog.deleteIngredient(sauce, k.prompts), deleted);

    QCOMPARE(k.prompts.questions,
             QStringList{QStringLiteral("Удаление ингредиента|Подтвердите удаление ингредиента !!!")});
    QCOMPARE(k.prompts.last(),
             deleted ? QStringLiteral("Информация|Ингредиент успешно удалён !!!")
                     : QStringLiteral("Ошибка удаления ингредиента|Ингредиент не удалён, он "
                                      "используется в блюдах или составляющих полуфабрикатов !!!"));
    QCOMPARE(k.hasIngredient(sauce), !deleted);
    QCOMPARE(k.count(QStringLiteral("pf"), QStringLiteral("Kod = ?"), {sauce}), deleted ? 0 : 2);
    QVERIFY(k.hasIngredient(butter));
    QCOMPARE(k.catalog.isUsed(sauce), !deleted && use != QStringLiteral("none"));
}

void TestIngredientCatalog::cancelledDeletionsChangeNothing()
{
    Kitchen k;
    const qlonglong g = k.group(QStringLiteral("Крупы"));
    const qlonglong rice = k.ingredient(g, QStringLiteral("Рис"));
    const qlonglong pilaf = k.ingredient(g, QStringLiteral("Плов"), 0.0, true);
    const qlonglong row = k.component(pilaf, rice);
    for (int i = 0; i < 3; ++i)
        k.prompts.queueConfirm(false);

    QVERIFY(!k.catalog.deleteGroup(g, k.prompts));
    QVERIFY(!k.catalog.deleteIngredient(pilaf, k.prompts));
    QVERIFY(!k.catalog.deleteComponent(row, k.prompts));

    QCOMPARE(k.prompts.shown.size(), 3); // the three questions, nothing after them
    QCOMPARE(k.count(QStringLiteral("Gring")), 1);
    QCOMPARE(k.count(QStringLiteral("Ing")), 2);
    QCOMPARE(k.count(QStringLiteral("pf")), 1);
}

void TestIngredientCatalog::missingRowsDoNothing()
{
    Kitchen k;
    const qlonglong g = k.group(QStringLiteral("Пустая"));
    const qlonglong product = k.ingredient(g, QStringLiteral("ПФ"), 5.0, true);
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
    QCOMPARE(k.count(QStringLiteral("Gring")), 1);
    QCOMPARE(k.field(product, QStringLiteral("Kod")).toDouble(), double(g));
    QCOMPARE(k.count(QStringLiteral("pf")), 0);
}

void TestIngredientCatalog::deleteComponentKeepsProductPrice()
{
    Kitchen k;
    const qlonglong g = k.group(QStringLiteral("Тесто"));
    const qlonglong flour = k.ingredient(g, QStringLiteral("Мука"));
    const qlonglong dough = k.ingredient(g, QStringLiteral("Тесто"), 42.5, true);
    const qlonglong first = k.component(dough, flour);
    const qlonglong second = k.component(dough, flour);

    QVERIFY(k.catalog.deleteComponent(first, k.prompts));

    QCOMPARE(k.prompts.shown,
             QStringList{QStringLiteral("Удаление составляющей|Подтвердите удаление составляющей !!!")});
    QCOMPARE(k.count(QStringLiteral("pf"), QStringLiteral("NNN = ?"), {first}), 0);
    QCOMPARE(k.count(QStringLiteral("pf"), QStringLiteral("NNN = ?"), {second}), 1);
    QCOMPARE(k.field(dough, QStringLiteral("Cena")).toDouble(), 42.5);
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
    const qlonglong potato = k.ingredient(k.group(QStringLiteral("Овощи")), QStringLiteral("Картофель"));
    // The window has posted the turned flag (or nothing) before it calls the rule.
    QVERIFY(execSql(k.data.db(), QStringLiteral("UPDATE Ing SET Pf = ? WHERE Kod1 = ?"),
                    {pending ? 1 : 0, potato}));

    QString error;
    QCOMPARE(k.catalog.applyFlagChange(potato, pending, &error), pending);
    QCOMPARE(error, QString());
    QCOMPARE(k.field(potato, QStringLiteral("Vih")).toDouble(), yield);
}

void TestIngredientCatalog::moveToGroup()
{
    Kitchen k;
    const qlonglong from = k.group(QStringLiteral("Старая"));
    const qlonglong to = k.group(QStringLiteral("Новая"));
    const qlonglong milk = k.ingredient(from, QStringLiteral("Молоко"));

    QVERIFY(k.catalog.moveToGroup(milk, to));
    QCOMPARE(k.field(milk, QStringLiteral("Kod")).toDouble(), double(to));
    // A group key that names no group leaves the ingredient where it is.
    QVERIFY(!k.catalog.moveToGroup(milk, 12345));
    QCOMPARE(k.field(milk, QStringLiteral("Kod")).toDouble(), double(to));
}

void TestIngredientCatalog::chooserRefusals()
{
    Kitchen k;
    const qlonglong g = k.group(QStringLiteral("ПФ"));
    const qlonglong product = k.ingredient(g, QStringLiteral("Фарш"), 30.0, true);
    const qlonglong otherProduct = k.ingredient(g, QStringLiteral("Тесто"), 20.0, true);

    QVERIFY(k.catalog.chooseComponent(product, product, k.prompts).isNull());
    QCOMPARE(k.prompts.last(), QStringLiteral("Ошибка выбора|Полуфабрикат не может входить сам в себя"));
    QVERIFY(k.catalog.chooseComponent(product, otherProduct, k.prompts).isNull());
    QCOMPARE(
        k.prompts.last(),
        QStringLiteral("Ошибка выбора|Инградиент является полуфабрикатом и не может входить в полуфабрикат"));
    QCOMPARE(k.count(QStringLiteral("pf")), 0);
}

void TestIngredientCatalog::chooserRepeatsAndClose()
{
    Kitchen k;
    const qlonglong g = k.group(QStringLiteral("Разное"));
    const qlonglong pepper = k.ingredient(g, QStringLiteral("Перец"));
    const qlonglong product = k.ingredient(g, QStringLiteral("Смесь"), 17.0, true);

    const QVariant first = k.catalog.chooseComponent(product, pepper, k.prompts);
    const QVariant second = k.catalog.chooseComponent(product, double(pepper), k.prompts);
    QVERIFY(!first.isNull());
    QVERIFY(!second.isNull());
    QVERIFY(first != second);
    QCOMPARE(k.prompts.shown, QStringList());
    QCOMPARE(k.count(QStringLiteral("pf"), QStringLiteral("Kod = ? AND Name = ? AND Kolvo IS NULL"),
                     {product, pepper}),
             2);

    // Closing resets the price on every close, whether or not the composition changed.
    QVERIFY(k.catalog.closeChooser(product));
    QCOMPARE(k.field(product, QStringLiteral("Cena")).toDouble(), 0.0);
    QVERIFY(execSql(k.data.db(), QStringLiteral("UPDATE Ing SET Cena = 9.99 WHERE Kod1 = ?"), {product}));
    QVERIFY(k.catalog.closeChooser(product));
    QCOMPARE(k.field(product, QStringLiteral("Cena")).toDouble(), 0.0);
    QCOMPARE(k.field(pepper, QStringLiteral("Cena")).toDouble(), 10.0);
}

void TestIngredientCatalog::candidatesHavePrices()
{
    Kitchen k;
    const qlonglong g = k.group(QStringLiteral("Бакалея"));
    const qlonglong priced = k.ingredient(g, QStringLiteral("Сахар"), 0.01);
    k.ingredient(g, QStringLiteral("Без цены"), QVariant());
    k.ingredient(g, QStringLiteral("Нулевая цена"), 0.0);
    const qlonglong product = k.ingredient(g, QStringLiteral("ПФ"), 3.0, true);

    TableModel candidates(k.data.db(), ViewDef{QStringLiteral("Ing"),
                                               {QStringLiteral("Name")},
                                               QString(),
                                               QString::fromLatin1(IngredientCatalog::candidateFilter),
                                               {}});
    candidates.setFilterEnabled(true);
    QVERIFY(candidates.open());
    QCOMPARE(candidates.rowCount(), 2);
    QVERIFY(candidates.rowOfKey(priced) >= 0);
    QVERIFY(candidates.rowOfKey(product) >= 0); // listed, and refused when chosen
}

QTEST_GUILESS_MAIN(TestIngredientCatalog)
#include "tst_IngredientCatalog.moc"
