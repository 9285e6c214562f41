#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

class Clock;
class DatePrompt;
class UserPrompts;

// What the buttons of the page "Меню" and of its dish chooser do to menus and their entries. Keys come
// from the grids: a null key means there is no current row, and then nothing is asked, shown or
// changed. Each operation runs in one transaction; a database failure is shown as a warning and
// changes nothing.
class MenuBook
{
public:
    MenuBook(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // The order of a menu's entries on the page, in the chooser, the print and the transfer: group by
    // group in the order of the groups' order numbers. The group's key keeps groups that share an
    // order number (or have none) apart, so a group's heading is printed once.
    static QStringList entryOrder();

    // A new menu: asks its date (today offered); on OK stores the menu with that date, no name and
    // not released. Returns its key; nothing on "Отмена".
    std::optional<qlonglong> createMenu(DatePrompt& dates, const Clock& clock);

    // "Разрешить использование меню": the menu is released for sales. There is no way back.
    bool releaseMenu(const QVariant& menu);
    static bool isReleased(QSqlDatabase db, const QVariant& menu);

    // Double click or Space on an entry: switches it off when on, on when off or empty.
    bool toggleEntry(const QVariant& entry);

    // "Удалить запись из меню" on the page: after confirmation removes the entry, unless its menu is
    // released. True when the entry was removed.
    bool removeEntry(const QVariant& entry);
    // "Удалить блюдо из меню" in the chooser: the same with the chooser's question.
    bool removeChosenDish(const QVariant& entry);

    // "Удалить меню": refused while a sales document uses the menu; otherwise, after confirmation, the
    // menu goes with all of its entries. True when the menu was deleted.
    bool deleteMenu(const QVariant& menu);

    // A dish chosen into a menu: one entry with the dish, its group and the group's order number,
    // posted whole. Nothing without a menu, without a dish, or for a dish whose development is not
    // finished. Allowed in a released menu too. Returns the new entry's key.
    std::optional<qlonglong> addDish(const QVariant& menu, const QVariant& dish);

    // "Копировать и другого меню": appends every entry of the source menu (switched-off ones included),
    // in its order, with the dish, group and selling price; each new entry takes the order number of
    // its own group. The source is read whole before anything is added, so copying a menu into itself
    // doubles each entry once. Refused for a released target. Returns the number of entries added.
    std::optional<int> copyEntries(const QVariant& sourceMenu, const QVariant& targetMenu);

    // The writes of other operations to menu entries, inside the caller's transaction; false with the
    // driver's text in *error.
    // Each entry's selling price.
    static bool setSellingPrices(QSqlDatabase db, const std::vector<std::pair<qlonglong, double>>& prices,
                                 QString* error);
    // The order number of every entry of the dish group, in every menu.
    static bool setGroupOrder(QSqlDatabase db, qlonglong group, double order, QString* error);
    // A menu written whole, as the demo kitchen fills one: its entries in order, each switched on at
    // its selling price.
    struct NewMenu
    {
        struct Entry
        {
            QVariant dish;
            QVariant group;
            QVariant groupOrder;
            QVariant price;
        };
        QVariant name;
        QVariant date;
        bool released = false;
        std::vector<Entry> entries;
    };
    static std::optional<qlonglong> addMenu(QSqlDatabase db, const NewMenu& menu, QString* error);
    // The menu's name, as typed into the menus' grid.
    static bool setName(QSqlDatabase db, qlonglong menu, const QString& name, QString* error);

private:
    bool removeEntryAfter(const QVariant& entry, const QString& caption, const QString& question);
    // Shows the driver's text as a warning; always false, for "return".
    bool databaseError(const QString& error);

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
