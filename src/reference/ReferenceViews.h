#pragma once

#include "store/ViewDef.h"

// The views the windows show of the reference tables: ingredient groups, ingredients, compositions,
// units, signatures and partners. Each gives the table, its order, its link to a master view, its
// filter and its looked-up fields; the window adds the columns and the behaviour.
namespace referenceviews {

// Ingredient groups by name; linkField makes the view follow a master view by that field.
ViewDef ingredientGroups(const QString& linkField = QString());
// The ingredients of a group, as entered, with their unit's short name.
ViewDef ingredients();
// Every ingredient by name.
ViewDef ingredientsByName();
// Every ingredient by name with its unit's short name.
ViewDef ingredientsWithUnits();
// The ingredients of a group held in stock (no semi-finished products), by name, with their unit's
// short name; the filter is switched on by the window.
ViewDef stockIngredients();
// The ingredients of a group that may go into a semi-finished product (filter switched on by the window).
ViewDef compositionCandidates();
// The composition rows of a semi-finished product with the component's name.
ViewDef composition();
ViewDef units();
ViewDef signatures();
ViewDef partners();

} // namespace referenceviews
