#pragma once

#include "ScriptedPrompts.h"
#include "TestDataDir.h"

// A small warehouse: a unit, a group, a partner, and helpers for ingredients, documents and lines.
struct StockKitchen
{
    TestDataDir data;
    ScriptedPrompts prompts;
    qlonglong unit = data.insert(
        u"Edinica"_s, {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong group = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
    qlonglong partner = data.insert(u"Partner"_s, {{u"Name"_s, u"Овощебаза"_s}});

    qlonglong ingredient(const QString& name, QVariant balance, QVariant price, bool semiFinished = false)
    {
        return data.insert(u"Ing"_s, {{u"Kod"_s, group},
                                      {u"Name"_s, name},
                                      {u"Edinica"_s, unit},
                                      {u"Kolvo"_s, balance},
                                      {u"Cena"_s, price},
                                      {u"Pf"_s, semiFinished ? 1 : 0}});
    }
    qlonglong document(const QString& date = u"2024-03-01"_s, bool posted = false)
    {
        return data.insert(u"Doc"_s, {{u"Date"_s, date},
                                      {u"Nomer"_s, u"№1"_s},
                                      {u"Partner"_s, partner},
                                      {u"Provodka"_s, posted ? 1 : 0}});
    }
    qlonglong line(qlonglong doc, qlonglong ingredientKey, QVariant quantity, QVariant price,
                   const QString& oper = QString(), bool posted = false)
    {
        return data.insert(u"Move"_s, {{u"Kod1"_s, doc},
                                       {u"Kod"_s, ingredientKey},
                                       {u"Kolvo"_s, quantity},
                                       {u"Cena"_s, price},
                                       {u"Oper"_s, oper.isEmpty() ? QVariant() : QVariant(oper)},
                                       {u"Date"_s, u"2024-03-01"_s},
                                       {u"Provodka"_s, posted ? 1 : 0}});
    }
    double balance(qlonglong key)
    {
        return data.scalar(u"SELECT Kolvo FROM Ing WHERE Kod1 = ?"_s, {key}).toDouble();
    }
    double price(qlonglong key)
    {
        return data.scalar(u"SELECT Cena FROM Ing WHERE Kod1 = ?"_s, {key}).toDouble();
    }
};
