#pragma once

#include "AnalysisTable.h"
#include "DailySales.h"
#include "FoodCostShares.h"
#include "MenuMatrix.h"
#include "PriceChangePreview.h"
#include "PriceTrend.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <vector>

// The pictures of the page "Анализ".
enum class Picture
{
    PriceTrend,
    FoodCost,
    MenuMatrix,
    DailySales,
    PriceChange
};

// What the user chose: the picture and what it needs (the period for the price, the matrix and the
// days; the ingredient; the group or menu and the threshold; the price change, its ingredient or
// ingredient group and the threshold).
struct AnalysisChoice
{
    Picture picture = Picture::FoodCost;
    QDate start;
    QDate end;
    qlonglong ingredient = 0;
    DishSet set = DishSet::Group;
    qlonglong dishes = 0; // the group or the menu
    double threshold = FoodCostShares::defaultThreshold;
    PriceRecalculation::Settings change{PriceRecalculation::Scope::Group, PriceRecalculation::Action::Raise,
                                        10};
    qlonglong ingredientGroup = 0;
};

// A row of a chooser: a key and what the user reads.
struct NamedKey
{
    qlonglong key = 0;
    QString name;
};

// The figures of one picture, read in one go: only the member of the chosen picture is filled.
struct AnalysisFigures
{
    AnalysisChoice choice;
    PriceTrend trend;
    FoodCostShares shares;
    MenuMatrix matrix;
    DailySales daily;
    PriceChangePreview priceChange;

    // False with the store's message or the refusal of the choice.
    static bool read(const QSqlDatabase& db, const AnalysisChoice& choice, AnalysisFigures* figures,
                     QString* error);
    AnalysisTable table() const;
    // The picture's name, for captions and file names.
    static QString pictureName(Picture picture);

    // The choosers' rows, by name in Russian order: ingredients (with semi-finished products),
    // ingredient groups, dish groups, and menus (the newest first, named by name or date).
    static bool ingredients(const QSqlDatabase& db, std::vector<NamedKey>* rows, QString* error);
    static bool ingredientGroups(const QSqlDatabase& db, std::vector<NamedKey>* rows, QString* error);
    static bool dishGroups(const QSqlDatabase& db, std::vector<NamedKey>* rows, QString* error);
    static bool menus(const QSqlDatabase& db, std::vector<NamedKey>* rows, QString* error);
};
