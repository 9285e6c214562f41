#include "SmallKitchen.h"

#include "reports/Sheet.h"

SmallKitchen::SmallKitchen()
    : kg(unit(u"кг"_s, 1000)), group(data.insert(u"Grbludo"_s, {{u"Name"_s, u"Вторые блюда"_s}}))
{
}

qlonglong SmallKitchen::unit(const QString& name, double grams)
{
    return data.insert(u"Edinica"_s, {{u"Name"_s, name}, {u"Gramm"_s, grams}});
}

qlonglong SmallKitchen::ingredient(const QString& name, qlonglong unit, double price, double yield,
                                   QVariantMap more)
{
    QVariantMap row{{u"Name"_s, name}, {u"Edinica"_s, unit}, {u"Cena"_s, price}, {u"Vih"_s, yield}};
    row.insert(more);
    return data.insert(u"Ing"_s, row);
}

qlonglong SmallKitchen::dish(const QString& name, double portions, const QString& yield, QVariantMap more)
{
    QVariantMap row{{u"Kod"_s, group}, {u"Name"_s, name}, {u"Nporc"_s, portions}, {u"Vixod"_s, yield}};
    row.insert(more);
    return data.insert(u"Bludo"_s, row);
}

void SmallKitchen::line(qlonglong dish, qlonglong ingredient, double grams)
{
    data.insert(u"Karta"_s,
                {{u"Kod"_s, dish}, {u"Name"_s, ingredient}, {u"Kolvo"_s, grams}, {u"Vihod"_s, 100}});
}

void SmallKitchen::priceChange(qlonglong ingredient, const QDate& day, const QVariant& oldPrice,
                               const QVariant& price)
{
    data.insert(u"Pricehist"_s, {{u"Ing"_s, ingredient},
                                 {u"Data"_s, day.toString(Qt::ISODate)},
                                 {u"Oldcena"_s, oldPrice},
                                 {u"Cena"_s, price},
                                 {u"Source"_s, u"Приход"_s}});
}

int rowOf(const Sheet& sheet, int column, const QString& text, int from)
{
    for (int row = from; row <= sheet.rowCount(); ++row) {
        if (sheet.value(row, column) == QVariant(text))
            return row;
    }
    return 0;
}
