#pragma once

#include "TestDataDir.h"

#include <QDate>

using namespace Qt::StringLiterals;

// A small kitchen for the menu tests: three dish groups with order numbers 1, 2 and 3, finished
// dishes in each, one unfinished dish, and one menu without entries.
struct MenuKitchen
{
    TestDataDir data;
    qlonglong soups = group(u"Супы"_s, 1);
    qlonglong mains = group(u"Горячее"_s, 2);
    qlonglong drinks = group(u"Напитки"_s, 3);
    qlonglong borscht = dish(soups, u"Борщ"_s, u"250"_s, 55.5);
    qlonglong shchi = dish(soups, u"Щи"_s, u"250"_s, 40);
    qlonglong cutlet = dish(mains, u"Котлета"_s, u"100/150"_s, 120.25);
    qlonglong tea = dish(drinks, u"Чай"_s, u"200"_s, 12.996);
    qlonglong pie = dish(drinks, u"Пирог"_s, u"100"_s, 30, false);
    qlonglong menu = data.insert(u"Menu"_s, {{u"Name"_s, u"Обед"_s}, {u"Date"_s, u"2024-03-15"_s}});

    qlonglong group(const QString& name, double order)
    {
        return data.insert(u"Grbludo"_s, {{u"Name"_s, name}, {u"N"_s, order}});
    }
    qlonglong dish(qlonglong group, const QString& name, const QString& yield, double price,
                   bool finished = true)
    {
        return data.insert(u"Bludo"_s, {{u"Kod"_s, group},
                                        {u"Name"_s, name},
                                        {u"Vixod"_s, yield},
                                        {u"Cena"_s, price},
                                        {u"Status"_s, finished ? 1 : 0}});
    }
    // An entry as the chooser makes it, with the given switch, price and description.
    qlonglong entry(qlonglong menuKey, qlonglong dishKey, qlonglong groupKey, double order, bool on = true,
                    double price = 0, const QString& description = {})
    {
        QVariantMap values{{u"Kod"_s, menuKey}, {u"Name"_s, dishKey},      {u"GrName"_s, groupKey},
                           {u"Nn"_s, order},    {u"Status"_s, on ? 1 : 0}, {u"CenaProd"_s, price}};
        if (!description.isEmpty())
            values.insert(u"Opis"_s, description);
        return data.insert(u"MenuSp"_s, values);
    }
    QSqlDatabase db() const { return data.db(); }
};
