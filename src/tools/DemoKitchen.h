#pragma once

#include <QString>

class QSqlDatabase;

// A small Russian canteen to show every page of the program: units, priced ingredients in groups,
// semi-finished products, dishes with costing cards and recipes, menus, partners and signatures.
namespace demo {

// Fills an empty kitchen in one transaction, then prices its semi-finished products and dishes with
// the dish price run.
bool fill(QSqlDatabase& db, QString* error);

} // namespace demo
