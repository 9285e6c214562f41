#include "MenuKitchen.h"
#include "ScriptedPrompts.h"

#include "menus/MenuBook.h"

#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A menu's entries in the page's order as "dish:Nn:switch:price".
QStringList entries(QSqlDatabase db, qlonglong menu)
{
    QSqlQuery query(db);
    query.prepare(u"SELECT b.Name, s.Nn, s.Status, s.CenaProd, s.Opis FROM MenuSp s "
                  "LEFT JOIN Bludo b ON b.Kod1 = s.Name WHERE s.Kod = ? ORDER BY s.Nn, s.GrName, s.Nnn"_s);
    query.addBindValue(menu);
    query.exec();
    QStringList result;
    while (query.next())
        result << u"%1:%2:%3:%4%5"_s.arg(query.value(0).toString())
                      .arg(query.value(1).toDouble())
                      .arg(query.value(2).toInt())
                      .arg(query.value(3).toDouble())
                      .arg(query.value(4).isNull() ? QString() : u":"_s + query.value(4).toString());
    return result;
}

} // namespace

class tst_MenuBook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newMenuTakesTheChosenDateOrNothing()
    {
        MenuKitchen kitchen;
        ScriptedPrompts prompts;
        ScriptedDatePrompt dates;
        const FixedClock clock(QDate(2024, 5, 20));
        MenuBook book(kitchen.db(), prompts);

        dates.queue(QDate(2024, 5, 21));
        const std::optional<qlonglong> menu = book.createMenu(dates, clock);
        QVERIFY(menu);
        QCOMPARE(dates.offered, QList<QDate>({QDate(2024, 5, 20)}));
        QCOMPARE(kitchen.data.scalar(u"SELECT Date FROM Menu WHERE Kod = ?"_s, {*menu}).toString(),
                 u"2024-05-21"_s);
        QVERIFY(kitchen.data.scalar(u"SELECT Name FROM Menu WHERE Kod = ?"_s, {*menu}).isNull());
        QVERIFY(!MenuBook::isReleased(kitchen.db(), *menu));

        dates.queue(std::nullopt);
        QCOMPARE(book.createMenu(dates, clock), std::nullopt);
        QCOMPARE(kitchen.data.scalar(u"SELECT COUNT(*) FROM Menu"_s).toInt(), 2);
    }

    void addingTakesFinishedDishesWithTheirOwnGroupOnly()
    {
        MenuKitchen kitchen;
        ScriptedPrompts prompts;
        MenuBook book(kitchen.db(), prompts);
        // A group order of 2.5 is kept as a whole number, as the group page rewrites it.
        const qlonglong desserts = kitchen.group(u"Десерты"_s, 2.5);
        const qlonglong cake = kitchen.dish(desserts, u"Торт"_s, u"120"_s, 80);

        // The group comes from the dish, whichever group the chooser showed (context search).
        QVERIFY(book.addDish(kitchen.menu, kitchen.tea));
        QVERIFY(book.addDish(kitchen.menu, kitchen.borscht));
        QVERIFY(book.addDish(kitchen.menu, kitchen.borscht));
        QVERIFY(book.addDish(kitchen.menu, cake));
        // No menu, no dish (a group of unfinished dishes), or an unfinished dish: no entry at all.
        QCOMPARE(book.addDish({}, kitchen.tea), std::nullopt);
        QCOMPARE(book.addDish(kitchen.menu, {}), std::nullopt);
        QCOMPARE(book.addDish(kitchen.menu, kitchen.pie), std::nullopt);
        QCOMPARE(book.addDish(9999, kitchen.tea), std::nullopt);

        QCOMPARE(entries(kitchen.db(), kitchen.menu),
                 QStringList({u"Борщ:1:1:0"_s, u"Борщ:1:1:0"_s, u"Торт:2:1:0"_s, u"Чай:3:1:0"_s}));
        QCOMPARE(kitchen.data.scalar(u"SELECT COUNT(*) FROM MenuSp WHERE GrName IS NULL OR Name IS NULL"_s)
                     .toInt(),
                 0);
        QVERIFY(prompts.shown.isEmpty());

        // A released menu still takes dishes.
        QVERIFY(book.releaseMenu(kitchen.menu));
        QVERIFY(book.addDish(kitchen.menu, kitchen.cutlet));
    }

    void switchingAndRemovingEntries()
    {
        MenuKitchen kitchen;
        ScriptedPrompts prompts;
        MenuBook book(kitchen.db(), prompts);
        const qlonglong soup = kitchen.entry(kitchen.menu, kitchen.borscht, kitchen.soups, 1);
        const qlonglong drink = kitchen.entry(kitchen.menu, kitchen.tea, kitchen.drinks, 3);
        const auto status = [&](qlonglong entry) {
            return kitchen.data.scalar(u"SELECT Status FROM MenuSp WHERE Nnn = ?"_s, {entry}).toInt();
        };

        QVERIFY(book.toggleEntry(soup));
        QCOMPARE(status(soup), 0);
        QVERIFY(book.toggleEntry(soup));
        QCOMPARE(status(soup), 1);
        execSql(kitchen.db(), u"UPDATE MenuSp SET Status = NULL WHERE Nnn = ?"_s, {soup});
        QVERIFY(book.toggleEntry(soup));
        QCOMPARE(status(soup), 1);

        prompts.queueConfirm(false);
        QVERIFY(!book.removeEntry(soup));
        QVERIFY(!book.removeEntry({}));
        QCOMPARE(prompts.questions,
                 QStringList({u"Удаление записи из меню|Подтвердите удаление записи !!!"_s}));
        QVERIFY(book.removeChosenDish(soup));
        QCOMPARE(prompts.last(), u"|Удалять блюдо из меню ?"_s);
        QCOMPARE(entries(kitchen.db(), kitchen.menu), QStringList({u"Чай:3:1:0"_s}));

        // A released menu keeps its dishes; they are still switched on and off.
        QVERIFY(book.releaseMenu(kitchen.menu));
        QVERIFY(MenuBook::isReleased(kitchen.db(), kitchen.menu));
        prompts.shown.clear();
        QVERIFY(!book.removeEntry(drink));
        QVERIFY(!book.removeChosenDish(drink));
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(book.toggleEntry(drink));
        QCOMPARE(status(drink), 0);
    }

    void menuInUseByASalesDocumentStays()
    {
        MenuKitchen kitchen;
        ScriptedPrompts prompts;
        MenuBook book(kitchen.db(), prompts);
        kitchen.entry(kitchen.menu, kitchen.borscht, kitchen.soups, 1);
        kitchen.entry(kitchen.menu, kitchen.tea, kitchen.drinks, 3, false);
        const qlonglong other = kitchen.data.insert(u"Menu"_s, {{u"Name"_s, u"Ужин"_s}});
        kitchen.entry(other, kitchen.tea, kitchen.drinks, 3);
        const qlonglong document = kitchen.data.insert(u"Realdoc"_s, {{u"Nnn"_s, kitchen.menu}});
        const auto count = [&](const QString& sql) { return kitchen.data.scalar(sql).toInt(); };

        QVERIFY(book.releaseMenu(kitchen.menu));
        QVERIFY(!book.deleteMenu(kitchen.menu));
        QCOMPARE(prompts.shown,
                 QStringList(
                     {u"Удаление меню|Имеются документы использующие это меню. Удаление не возможно !!!"_s}));
        QCOMPARE(count(u"SELECT COUNT(*) FROM MenuSp"_s), 3);

        // Once the document is gone the released menu goes, switched-off entries included.
        execSql(kitchen.db(), u"DELETE FROM Realdoc WHERE Kod = ?"_s, {document});
        prompts.queueConfirm(false);
        QVERIFY(!book.deleteMenu(kitchen.menu));
        QCOMPARE(prompts.last(), u"Удаление меню|Подтвердите удаление меню !!!"_s);
        QCOMPARE(count(u"SELECT COUNT(*) FROM Menu"_s), 2);
        QVERIFY(book.deleteMenu(kitchen.menu));
        QCOMPARE(count(u"SELECT COUNT(*) FROM Menu"_s), 1);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MenuSp"_s), 1);
        QVERIFY(!book.deleteMenu({}));
    }

    void copyingTakesEveryEntryWithItsOwnGroupOrder()
    {
        MenuKitchen kitchen;
        ScriptedPrompts prompts;
        MenuBook book(kitchen.db(), prompts);
        const qlonglong source = kitchen.data.insert(u"Menu"_s, {{u"Name"_s, u"Вчера"_s}});
        // Stale order numbers in the source: the copy takes each group's current one.
        kitchen.entry(source, kitchen.tea, kitchen.drinks, 7, true, 15, u"с лимоном"_s);
        kitchen.entry(source, kitchen.cutlet, kitchen.mains, 2, false, 130);
        kitchen.entry(source, kitchen.borscht, kitchen.soups, 1, true, 60);
        kitchen.entry(source, kitchen.shchi, kitchen.soups, 1, true, 45);
        kitchen.entry(kitchen.menu, kitchen.tea, kitchen.drinks, 3, true, 14);

        QCOMPARE(book.copyEntries(source, kitchen.menu), std::optional<int>(4));
        QCOMPARE(entries(kitchen.db(), kitchen.menu),
                 QStringList({u"Борщ:1:1:60"_s, u"Щи:1:1:45"_s, u"Котлета:2:1:130"_s, u"Чай:3:1:14"_s,
                              u"Чай:3:1:15"_s}));

        // Into itself: each entry once more, not the copies again.
        QCOMPARE(book.copyEntries(kitchen.menu, kitchen.menu), std::optional<int>(5));
        QCOMPARE(entries(kitchen.db(), kitchen.menu).size(), 10);
        QCOMPARE(kitchen.data
                     .scalar(u"SELECT COUNT(*) FROM MenuSp WHERE Kod = ? AND Name = ?"_s,
                             {kitchen.menu, kitchen.tea})
                     .toInt(),
                 4);

        // A released menu takes no copies.
        QVERIFY(book.releaseMenu(kitchen.menu));
        QCOMPARE(book.copyEntries(source, kitchen.menu), std::nullopt);
        QCOMPARE(entries(kitchen.db(), kitchen.menu).size(), 10);
    }

    void groupsSharingAnOrderNumberStayApart()
    {
        MenuKitchen kitchen;
        ScriptedPrompts prompts;
        MenuBook book(kitchen.db(), prompts);
        const qlonglong salads = kitchen.group(u"Салаты"_s, 1);
        const qlonglong olivier = kitchen.dish(salads, u"Оливье"_s, u"150"_s, 70);
        for (qlonglong dish : {kitchen.borscht, olivier, kitchen.shchi})
            QVERIFY(book.addDish(kitchen.menu, dish));
        QCOMPARE(entries(kitchen.db(), kitchen.menu),
                 QStringList({u"Борщ:1:1:0"_s, u"Щи:1:1:0"_s, u"Оливье:1:1:0"_s}));
    }
};

QTEST_MAIN(tst_MenuBook)
#include "tst_MenuBook.moc"
