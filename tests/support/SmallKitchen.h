#pragma once

#include "ScriptedPrompts.h"
#include "TestDataDir.h"

#include <QDate>
#include <QVariantMap>

class Sheet;

// A kitchen of a few dishes for the tests of the printed cards: a unit of a kilogram, one dish group
// "Вторые блюда", and the ingredients, dishes and card lines a test adds, each with the fields it
// names beside the ones every card needs.
struct SmallKitchen
{
    SmallKitchen();

    qlonglong unit(const QString& name, double grams);
    // 'more' adds or overrides fields of the row (a markup, the nutrition facts).
    qlonglong ingredient(const QString& name, qlonglong unit, double price, double yield,
                         QVariantMap more = {});
    qlonglong dish(const QString& name, double portions, const QString& yield, QVariantMap more = {});
    // Net grams for the dish's portions, at the line's own yield of 100 %.
    void line(qlonglong dish, qlonglong ingredient, double grams);
    // A change of an ingredient's price on a day, as the price history keeps it; the price stored with
    // the ingredient is left to the test.
    void priceChange(qlonglong ingredient, const QDate& day, const QVariant& oldPrice, const QVariant& price);

    TestDataDir data;
    FixedClock clock{QDate(2026, 12, 11)};
    qlonglong kg = 0;
    qlonglong group = 0;
};

// The first row from 'from' down whose cell in the column holds the text; 0 when none does.
int rowOf(const Sheet& sheet, int column, const QString& text, int from = 1);
