#pragma once

#include "TestDataDir.h"

#include "reports/CellArea.h"
#include "reports/Sheet.h"

#include <QTest>

// A small kitchen for the sales print-outs: ingredients in two groups, a semi-finished product of
// three components, dishes in two groups and sales documents built line by line.
struct SalesKitchen
{
    TestDataDir data;
    qlonglong kg = data.insert(u"Edinica"_s,
                               {{u"Name"_s, u"килограмм"_s}, {u"Shorthame"_s, u"кг"_s}, {u"Gramm"_s, 1000}});
    qlonglong piece =
        data.insert(u"Edinica"_s, {{u"Name"_s, u"штука"_s}, {u"Shorthame"_s, u"шт"_s}, {u"Gramm"_s, 50}});
    qlonglong vegetables = data.insert(u"Gring"_s, {{u"Name"_s, u"Овощи"_s}});
    qlonglong meat = data.insert(u"Gring"_s, {{u"Name"_s, u"Мясо"_s}});
    qlonglong soups = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Супы"_s}});
    qlonglong mains = data.insert(u"Grbludo"_s, {{u"Name"_s, u"Горячее"_s}});

    qlonglong ingredient(qlonglong group, const QString& name, qlonglong unit, double price, double markup,
                         QVariant yield, bool semiFinished = false)
    {
        return data.insert(u"Ing"_s, {{u"Kod"_s, group},
                                      {u"Name"_s, name},
                                      {u"Edinica"_s, unit},
                                      {u"Cena"_s, price},
                                      {u"Proc"_s, markup},
                                      {u"Vih"_s, yield},
                                      {u"Pf"_s, semiFinished ? 1 : 0}});
    }
    void component(qlonglong product, qlonglong ingredientKey, double grams)
    {
        data.insert(u"pf"_s, {{u"Kod"_s, product}, {u"Name"_s, ingredientKey}, {u"Kolvo"_s, grams}});
    }
    qlonglong dish(qlonglong group, const QString& name, QVariant portions, const QString& yield = u"250"_s)
    {
        return data.insert(u"Bludo"_s, {{u"Kod"_s, group},
                                        {u"Name"_s, name},
                                        {u"Nporc"_s, portions},
                                        {u"Proc"_s, 0},
                                        {u"Vixod"_s, yield}});
    }
    void card(qlonglong dishKey, qlonglong ingredientKey, double grams, QVariant yield = 100)
    {
        data.insert(
            u"Karta"_s,
            {{u"Kod"_s, dishKey}, {u"Name"_s, ingredientKey}, {u"Kolvo"_s, grams}, {u"Vihod"_s, yield}});
    }
    qlonglong document(const QString& date, const QString& name = u"Смена 1"_s, double status = 5)
    {
        return data.insert(u"Realdoc"_s, {{u"DateR"_s, date}, {u"NameR"_s, name}, {u"Status"_s, status}});
    }
    qlonglong line(qlonglong documentKey, qlonglong group, qlonglong dishKey, double portions, double price)
    {
        return data.insert(u"Realsum"_s, {{u"Kod"_s, documentKey},
                                          {u"KodGrBludo"_s, group},
                                          {u"KodBludo"_s, dishKey},
                                          {u"Kolvo"_s, portions},
                                          {u"Cumma"_s, price}});
    }
    // A stored consumption row, as a posted document keeps it.
    void consumed(qlonglong documentKey, qlonglong group, qlonglong ingredientKey, double quantity,
                  double price, double priceWithMarkup, qlonglong unit)
    {
        data.insert(u"RealItog"_s, {{u"Kod"_s, documentKey},
                                    {u"KodGrIng"_s, group},
                                    {u"KodIng"_s, ingredientKey},
                                    {u"Kolvo"_s, quantity},
                                    {u"CenaIng"_s, price},
                                    {u"Cenaing1"_s, priceWithMarkup},
                                    {u"Edinica"_s, unit}});
    }
};

// Potatoes, onions and beef, and a mince of them, as the print tests of a sales document share them.
struct MinceKitchen : SalesKitchen
{
    qlonglong potato = ingredient(vegetables, u"Картофель"_s, kg, 20, 50, 80);
    qlonglong onion = ingredient(vegetables, u"Лук"_s, kg, 30, 0, 100);
    qlonglong beef = ingredient(meat, u"Говядина"_s, kg, 400, 25, 75);
    qlonglong mince = ingredient(meat, u"Фарш"_s, kg, 0, 0, 100, true);

    MinceKitchen()
    {
        component(mince, beef, 800);
        component(mince, onion, 150);
        component(mince, potato, 50);
    }
};

struct CellCheck
{
    const char* address;
    QVariant value;
};

// Compares the cells at the addresses; an invalid QVariant expects an empty cell. Numbers compare
// to a millionth, as the sheets hold unrounded quantities.
inline void compareCells(const Sheet& sheet, std::initializer_list<CellCheck> checks)
{
    for (const CellCheck& check : checks) {
        const auto area = CellArea::parse(QString::fromLatin1(check.address));
        QVERIFY(area);
        const QVariant actual = sheet.value(area->firstRow, area->firstColumn);
        const bool same = check.value.typeId() == QMetaType::Double && actual.typeId() == QMetaType::Double
                              ? qAbs(actual.toDouble() - check.value.toDouble()) < 1e-6
                              : actual == check.value;
        QVERIFY2(same,
                 qPrintable(u"%1 of \"%2\": %3 instead of %4"_s.arg(
                     QLatin1String(check.address), sheet.name(), actual.toString(), check.value.toString())));
    }
}

// The data-row rule: continuous thin lines, black at the bottom, none on the other edges.
inline bool ruled(const CellFormat& format)
{
    const BorderLine& bottom = format.border(Edge::Bottom);
    if (!bottom.isVisible() || bottom.lineStyle != 1 || bottom.weight != 2 || bottom.colorIndex != 1)
        return false;
    for (Edge edge : {Edge::Left, Edge::Top, Edge::Right}) {
        if (format.border(edge).isVisible())
            return false;
    }
    return true;
}

inline const QVariant none;
