#pragma once

#include "../sales/SalesKitchen.h"

// Four dishes whose portion costs are worked out by hand (ingredients' own prices, no markup):
//   Пюре     potato 20/kg, yield 80 %: 2000 g for 10 portions → 0.02 × 200 × 100/80         =  5.00
//   Суп      beef 400/kg, yield 75 %: 150 g for 5 portions   → 0.4 × 30 × 100/75            = 16.00
//   Морковь  carrot 35/kg: 200 g for 1 portion                → 0.035 × 200                  =  7.00
//   Котлеты  mince per kg: beef 800 g, onion 150 g, potato 50 g
//            → 0.4 × 800 × 100/75 + 0.03 × 150 + 0.02 × 50 × 100/80 = 432.41(6) per kg;
//            1000 g for 10 portions → 43.24
// The markups (potato 50 %, beef 25 %, dishes 10 %) must play no part.
struct AnalysisKitchen : MinceKitchen
{
    qlonglong carrot = ingredient(vegetables, u"Морковь"_s, kg, 35, 0, 100);
    qlonglong mash = pricedDish(soups, u"Пюре"_s, 10, 10.00);
    qlonglong soup = pricedDish(soups, u"Суп"_s, 5, 80.00);
    qlonglong carrots = pricedDish(soups, u"Морковь тушёная"_s, 1, 20.00);
    qlonglong cutlets = pricedDish(soups, u"Котлеты"_s, 10, 100.00);

    AnalysisKitchen()
    {
        card(mash, potato, 2000);
        card(soup, beef, 150);
        card(carrots, carrot, 200);
        card(cutlets, mince, 1000);
    }

    qlonglong pricedDish(qlonglong group, const QString& name, double portions, QVariant price)
    {
        const qlonglong key = dish(group, name, portions);
        data.scalar(u"UPDATE Bludo SET Cena = ?, Proc = 10 WHERE Kod1 = ?"_s, {price, key});
        return key;
    }

    void priceChange(qlonglong ingredientKey, const QString& date, QVariant oldPrice, double price,
                     QVariant document, const QString& source)
    {
        data.insert(u"Pricehist"_s, {{u"Ing"_s, ingredientKey},
                                     {u"Data"_s, date},
                                     {u"Oldcena"_s, oldPrice},
                                     {u"Cena"_s, price},
                                     {u"Doc"_s, document},
                                     {u"Source"_s, source}});
    }

    // Sales of December 2026 split so that every kind of the matrix is met, and one dish lies exactly
    // on both averages (portions 20, margin 20.00):
    //   Пюре     4 + 6 = 10 at 40.00     → margin 35.00  rare, profitable
    //   Суп      20 at 36.00             → margin 20.00  at both averages: popular and profitable
    //   Морковь  25 + 15 = 40 at 22.00   → margin 15.00  popular, poor
    //   Котлеты  10 at 53.24             → margin 10.00  rare, poor
    // A document of 30 November sells 100 soups outside the period.
    qlonglong december1 = 0;
    qlonglong december2 = 0;
    qlonglong december2b = 0;
    void sell()
    {
        december1 = document(u"2026-12-01"_s);
        line(december1, soups, mash, 4, 40.00);
        line(december1, soups, soup, 20, 36.00);
        line(december1, soups, carrots, 25, 22.00);
        december2 = document(u"2026-12-02"_s);
        line(december2, soups, mash, 6, 40.00);
        line(december2, soups, carrots, 15, 22.00);
        line(december2, soups, cutlets, 10, 53.24);
        december2b = document(u"2026-12-02"_s, u"Смена 2"_s);
        line(december2b, soups, soup, 0, 36.00);
        const qlonglong november = document(u"2026-11-30"_s);
        line(november, soups, soup, 100, 36.00);
        // The first document's consumption; the second has none (not calculated yet); the third
        // consumed without a portion sold.
        consumed(december1, vegetables, potato, 2.5, 20, 30, kg);
        consumed(december1, meat, beef, 1.2, 400, 500, kg);
        consumed(december2b, vegetables, onion, 1, 30, 30, kg);
        consumed(november, meat, beef, 10, 400, 500, kg);
    }
};
