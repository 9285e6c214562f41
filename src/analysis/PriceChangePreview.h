#pragma once

#include "AnalysisTable.h"

#include "costing/RepricingPreview.h"

#include <QSqlDatabase>
#include <QString>

#include <vector>

// "Что если": what a price change of one ingredient, an ingredient group or all ingredients would do to
// the cost of the semi-finished products and dishes, and which dishes' food-cost share would cross the
// threshold. The change is "Пересчёт цен"'s own, computed by RepricingPreview and never stored.
struct PriceChangePreview
{
    // The dishes the chart shows: those crossing the threshold first, then the largest new shares.
    static constexpr int chartedDishes = 30;

    QString of; // what changes, in words: "группа ингредиентов "Мясо": повышение на 10 %"
    double threshold = 35; // in percent
    // Products by name, then dishes by their new share, largest first (those without a share last).
    RepricingPreviewResult preview;

    // The ingredient or group the change's scope needs must exist; a semi-finished product is refused,
    // as its price comes from its composition. False with the store's message or the refusal.
    static bool read(const QSqlDatabase& db, const PriceRecalculation::Settings& change, qlonglong ingredient,
                     qlonglong group, double threshold, PriceChangePreview* figures, QString* error);

    // Whether the dish's share moves across the threshold, either way.
    bool crosses(const RepricingRow& row) const;
    std::vector<const RepricingRow*> charted() const;

    AnalysisTable table() const;
};
