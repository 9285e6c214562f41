#include "FaultInjection.h"
#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include "costing/DishCatalog.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

// A group "Супы" with three dishes of two card lines each, and a dish of another group.
struct Soups
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong group = data.insert("Grbludo", {{"Name", "Супы"}, {"N", 3}});
    qlonglong borscht = dish(group, "Борщ");
    qlonglong shchi = dish(group, "Щи");
    qlonglong ukha = dish(group, "Уха");
    qlonglong other = dish(data.insert("Grbludo", {{"Name", "Салаты"}}), "Винегрет");
    qlonglong menu = data.insert("Menu", {{"Name", "Обед"}});

    qlonglong dish(qlonglong groupKey, const QString& name)
    {
        const qlonglong key = data.insert("Bludo", {{"Kod", groupKey}, {"Name", name}});
        for (int i = 0; i < 2; ++i)
            data.insert("Karta", {{"Kod", key}, {"Name", 1}, {"Kolvo", 10}});
        return key;
    }

    void putInMenu(qlonglong dishKey, bool switchedOn = true)
    {
        data.insert("MenuSp",
                    {{"Kod", menu}, {"Name", dishKey}, {"GrName", group}, {"Status", switchedOn ? 1 : 0}});
    }

    // The first row of a query with bound values, ready to be read.
    QSqlQuery row(const QString& sql, const QVariantList& values)
    {
        QSqlQuery query(data.db());
        query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec() || !query.next())
            qFatal("no row: %s", qPrintable(sql));
        return query;
    }

    int count(const QString& sql, const QVariantList& values = {})
    {
        return data.scalar(sql, values).toInt();
    }
    int dishes(qlonglong groupKey) { return count("SELECT COUNT(*) FROM Bludo WHERE Kod = ?", {groupKey}); }
    int lines(qlonglong dishKey) { return count("SELECT COUNT(*) FROM Karta WHERE Kod = ?", {dishKey}); }

    DishCatalog catalog() { return DishCatalog(data.db(), prompts); }
};

} // namespace

class tst_DishCatalog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noCurrentRowDoesNothing();
    void deleteCardLine();
    void deleteDish_data();
    void deleteDish();
    void deleteDishGroup_data();
    void deleteDishGroup();
    void copyDish();
    void copyDishNeedsAName();
    void failedCopyLeavesNothing();
    void addCardLine_data();
    void addCardLine();
    void finishedDishFreezesCard();
    void rewriteMenuGroupOrder();
};

void tst_DishCatalog::noCurrentRowDoesNothing()
{
    Soups s;
    DishCatalog catalog = s.catalog();
    QVERIFY(!catalog.deleteCardLine({}));
    QVERIFY(!catalog.deleteDish({}));
    QVERIFY(!catalog.deleteDishGroup({}));
    QVERIFY(!catalog.finishDish({}));
    QVERIFY(!catalog.copyDish({}, "Борщ", s.group));
    QVERIFY(!catalog.addCardLine({}, 1));
    QVERIFY(!catalog.rewriteMenuGroupOrder({}, 3, 7));
    QVERIFY(!catalog.deleteDish(9999)); // a key whose row is gone
    QCOMPARE(s.prompts.shown, QStringList());
    QCOMPARE(s.count("SELECT COUNT(*) FROM Bludo"), 4);
}

void tst_DishCatalog::deleteCardLine()
{
    Soups s;
    const qlonglong line =
        s.data.scalar("SELECT MIN(NNN) FROM Karta WHERE Kod = ?", {s.borscht}).toLongLong();
    s.prompts.queueConfirm(false);
    QVERIFY(!s.catalog().deleteCardLine(line));
    QCOMPARE(s.lines(s.borscht), 2);

    QVERIFY(s.catalog().deleteCardLine(line));
    QCOMPARE(s.lines(s.borscht), 1);
    QCOMPARE(s.prompts.questions,
             QStringList(2, "Удаление ингредиента|Подтвердите удаление ингредиента !!!"));
}

void tst_DishCatalog::deleteDish_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("inMenu");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QString>("message");

    QTest::newRow("cancelled") << false << false << false << "";
    QTest::newRow("in a menu")
        << true << true << false
        << "Ошибка удаления блюда|Блюдо не удалено, оно используется в одном из меню !!!";
    QTest::newRow("unused") << true << false << true << "Информация|Блюдо успешно удалено !!!";
}

void tst_DishCatalog::deleteDish()
{
    QFETCH(bool, confirmed);
    QFETCH(bool, inMenu);
    QFETCH(bool, deleted);
    QFETCH(QString, message);

    Soups s;
    if (inMenu)
        s.putInMenu(s.shchi, false); // a switched-off entry counts as well
    s.prompts.queueConfirm(confirmed);
    QCOMPARE(s.catalog().deleteDish(s.shchi), deleted);

    QCOMPARE(s.prompts.questions, QStringList{"Удаление блюда|Подтвердите удаление блюда !!!"});
    QCOMPARE(s.prompts.shown.size(), message.isEmpty() ? 1 : 2);
    if (!message.isEmpty())
        QCOMPARE(s.prompts.last(), message);
    QCOMPARE(s.count("SELECT COUNT(*) FROM Bludo WHERE Kod1 = ?", {s.shchi}), deleted ? 0 : 1);
    QCOMPARE(s.lines(s.shchi), deleted ? 0 : 2);
    QCOMPARE(s.lines(s.borscht), 2);
}

void tst_DishCatalog::deleteDishGroup_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("borschtInMenu");
    QTest::addColumn<int>("dishesLeft");
    QTest::addColumn<bool>("groupLeft");
    QTest::addColumn<QString>("message");

    QTest::newRow("cancelled") << false << true << 3 << true << "";
    QTest::newRow("one dish in a menu")
        << true << true << 1 << true
        << "Ошибка удаления блюда|Группа блюд не удалена, остались блюда используемые в одном из меню !!!";
    QTest::newRow("no dish in a menu")
        << true << false << 0 << false << "Информация|Группа блюд успешно удалена !!!";
}

void tst_DishCatalog::deleteDishGroup()
{
    QFETCH(bool, confirmed);
    QFETCH(bool, borschtInMenu);
    QFETCH(int, dishesLeft);
    QFETCH(bool, groupLeft);
    QFETCH(QString, message);

    Soups s;
    if (borschtInMenu)
        s.putInMenu(s.borscht);
    // An entry without a dish must not make every dish look used.
    s.data.insert("MenuSp", {{"Kod", s.menu}});
    s.prompts.queueConfirm(confirmed);
    QCOMPARE(s.catalog().deleteDishGroup(s.group), confirmed && !groupLeft);

    QCOMPARE(s.prompts.questions, QStringList{"Удаление группы блюд|Подтвердите удаление группы блюд !!!"});
    if (!message.isEmpty())
        QCOMPARE(s.prompts.last(), message);
    QCOMPARE(s.dishes(s.group), dishesLeft);
    QCOMPARE(s.count("SELECT COUNT(*) FROM Grbludo WHERE Kod = ?", {s.group}), groupLeft ? 1 : 0);
    QCOMPARE(s.count("SELECT COUNT(*) FROM Karta WHERE Kod IN (?, ?)", {s.shchi, s.ukha}), confirmed ? 0 : 4);
    QCOMPARE(s.lines(s.borscht), dishesLeft > 0 ? 2 : 0);
    QCOMPARE(s.lines(s.other), 2);
}

void tst_DishCatalog::copyDish()
{
    Soups s;
    QVERIFY(
        execSql(s.data.db(),
                "UPDATE Bludo SET Nporc = 2.5, Proc = 3.5, Vixod = '250/10', Cena = 12.34, "
                "Status = 1, Recept = 'Варить', Print = 'V', X = 'острый', Serving = 'В глубокой тарелке', "
                "Storage = 'Не более 2 ч' WHERE Kod1 = ?",
                {s.borscht}));
    QVERIFY(execSql(s.data.db(), "DELETE FROM Karta"));
    s.data.insert("Karta",
                  {{"Kod", s.borscht}, {"Name", 7}, {"Kolvo", 12.345}, {"Vihod", 87.5}, {"KodIng", 2.5}});
    s.data.insert("Karta", {{"Kod", s.borscht}, {"Name", 8}, {"Kolvo", 0.5}, {"Vihod", 100}});
    const qlonglong target = s.data.insert("Grbludo", {{"Name", "Новые"}});

    const std::optional<qlonglong> copy = s.catalog().copyDish(s.borscht, "Борщ постный", target);
    QVERIFY(copy);
    const QSqlQuery dish = s.row(
        "SELECT Kod, Name, Nporc, Proc, Vixod, Cena, Status, Recept, Print, X, Serving, Storage FROM Bludo "
        "WHERE Kod1 = ?",
        {*copy});
    QCOMPARE(dish.value(0).toLongLong(), target);
    QCOMPARE(dish.value(1).toString(), "Борщ постный");
    QCOMPARE(dish.value(2).toDouble(), 2.0);
    QCOMPARE(dish.value(3).toDouble(), 4.0);
    QCOMPARE(dish.value(4).toString(), "250/10");
    for (int field = 5; field <= 9; ++field)
        QVERIFY2(dish.value(field).isNull(), qPrintable(dish.record().fieldName(field)));
    // The technological card's texts belong to the dish and go with it.
    QCOMPARE(dish.value(10).toString(), "В глубокой тарелке");
    QCOMPARE(dish.value(11).toString(), "Не более 2 ч");

    QSqlQuery lines =
        s.row("SELECT Name, Kolvo, Vihod, KodIng FROM Karta WHERE Kod = ? ORDER BY NNN", {*copy});
    const QList<QVariantList> expected = {{7.0, 12.345, 88.0, 2.0}, {8.0, 0.5, 100.0, QVariant()}};
    for (const QVariantList& line : expected) {
        if (&line != &expected.first())
            QVERIFY(lines.next());
        for (int field = 0; field < line.size(); ++field)
            QCOMPARE(lines.value(field).isNull() ? QVariant() : QVariant(lines.value(field).toDouble()),
                     line[field]);
    }
    QVERIFY(!lines.next());
    QCOMPARE(s.lines(s.borscht), 2);
}

void tst_DishCatalog::copyDishNeedsAName()
{
    Soups s;
    QVERIFY(!s.catalog().copyDish(s.borscht, "", s.group));
    QVERIFY(!s.catalog().copyDish(s.borscht, "   ", s.group));
    QCOMPARE(s.prompts.shown, QStringList());
    QVERIFY(!s.catalog().copyDish(s.borscht, QString(51, u'Щ'), s.group));
    QCOMPARE(s.prompts.shown.size(), 1);
    QCOMPARE(s.dishes(s.group), 3);
}

void tst_DishCatalog::failedCopyLeavesNothing()
{
    Soups s;
    // The dish goes in, then its card fails half-way.
    refuseWrites(s.data.db(), u"Karta"_s, u"INSERT"_s, u"диск полон"_s,
                 u"(SELECT COUNT(*) FROM Karta) > 8"_s);
    QVERIFY(!s.catalog().copyDish(s.borscht, "Борщ 2", s.group));
    QCOMPARE(s.dishes(s.group), 3);
    QCOMPARE(s.count("SELECT COUNT(*) FROM Karta"), 8);
    QCOMPARE(s.prompts.shown.size(), 1);
    QVERIFY2(s.prompts.last().startsWith("Ошибка|") && s.prompts.last().contains("диск полон"),
             qPrintable(s.prompts.last()));
}

void tst_DishCatalog::addCardLine_data()
{
    QTest::addColumn<bool>("semiFinished");
    QTest::addColumn<QVariant>("price");
    QTest::addColumn<bool>("added");

    QTest::newRow("priced ingredient") << false << QVariant(0.01) << true;
    QTest::newRow("ingredient priced 0") << false << QVariant(0) << false;
    QTest::newRow("ingredient without price") << false << QVariant() << false;
    QTest::newRow("semi-finished priced 0") << true << QVariant(0) << true;
    QTest::newRow("semi-finished without price") << true << QVariant() << true;
}

void tst_DishCatalog::addCardLine()
{
    QFETCH(bool, semiFinished);
    QFETCH(QVariant, price);
    QFETCH(bool, added);

    Soups s;
    const qlonglong ingredient =
        s.data.insert("Ing", {{"Name", "Лук"}, {"Pf", semiFinished ? 1 : 0}, {"Cena", price}});
    const std::optional<qlonglong> line = s.catalog().addCardLine(s.borscht, ingredient);
    QCOMPARE(line.has_value(), added);
    QCOMPARE(s.lines(s.borscht), added ? 3 : 2);
    if (added) {
        const QSqlQuery row = s.row("SELECT Kod, Name, Vihod, Kolvo FROM Karta WHERE NNN = ?", {*line});
        QCOMPARE(row.value(0).toLongLong(), s.borscht);
        QCOMPARE(row.value(1).toLongLong(), ingredient);
        QCOMPARE(row.value(2).toDouble(), 100.0);
        QVERIFY(row.value(3).isNull());
    }
    QCOMPARE(s.prompts.shown, QStringList());
}

void tst_DishCatalog::finishedDishFreezesCard()
{
    Soups s;
    const qlonglong onion = s.data.insert("Ing", {{"Name", "Лук"}, {"Cena", 10}});
    QVERIFY(s.catalog().finishDish(s.borscht));
    QCOMPARE(s.count("SELECT Status FROM Bludo WHERE Kod1 = ?", {s.borscht}), 1);

    QVERIFY(!s.catalog().addCardLine(s.borscht, onion));
    const qlonglong line =
        s.data.scalar("SELECT MIN(NNN) FROM Karta WHERE Kod = ?", {s.borscht}).toLongLong();
    QVERIFY(!s.catalog().deleteCardLine(line));
    QCOMPARE(s.lines(s.borscht), 2);
    QCOMPARE(s.prompts.shown, QStringList());
    // Other dishes stay open.
    QVERIFY(s.catalog().addCardLine(s.shchi, onion));
}

void tst_DishCatalog::rewriteMenuGroupOrder()
{
    Soups s;
    s.putInMenu(s.borscht);
    s.putInMenu(s.shchi, false);
    const qlonglong otherGroupEntry =
        s.data.insert("MenuSp", {{"Kod", s.menu}, {"GrName", s.group + 1}, {"Nn", 3}});
    // One entry disagrees with its group, so that a rewrite would show.
    QVERIFY(execSql(s.data.db(), "UPDATE MenuSp SET Nn = CASE Name WHEN ? THEN 5 ELSE 3 END WHERE GrName = ?",
                    {s.shchi, s.group}));
    const auto entries = [&] {
        QStringList numbers;
        QString error;
        forEachRow(
            s.data.db(), u"SELECT Nn FROM MenuSp WHERE GrName = ? ORDER BY Nnn"_s, {s.group},
            [&](const QSqlQuery& q) { numbers << QString::number(q.value(0).toDouble(), 'f', 1); }, &error);
        return numbers.join(u',') + error;
    };

    // The same whole number rewrites nothing.
    QVERIFY(!DishCatalog::groupOrderChanged(8, 7.5));
    QVERIFY(!s.catalog().rewriteMenuGroupOrder(s.group, 3, 3.4));
    QCOMPARE(entries(), "3.0,5.0");

    QVERIFY(s.catalog().rewriteMenuGroupOrder(s.group, 3, 7));
    QCOMPARE(entries(), "7.0,7.0");
    QCOMPARE(s.data.scalar("SELECT Nn FROM MenuSp WHERE Nnn = ?", {otherGroupEntry}).toDouble(), 3.0);
    QCOMPARE(s.prompts.shown, QStringList());
}

QTEST_GUILESS_MAIN(tst_DishCatalog)
#include "tst_DishCatalog.moc"
