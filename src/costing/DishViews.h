#pragma once

#include "store/ViewDef.h"

// The views the windows show of dish groups, dishes and costing cards, and the ingredients a card may
// take. Each gives the table, its order, its link to a master view, its filter and its looked-up
// fields; the window adds the columns and the behaviour.
namespace dishviews {

// Dish groups by name; linkField makes the view follow a master view by that field.
ViewDef dishGroups(const QString& linkField = QString());
// The one dish group a master view names by key.
ViewDef dishGroupByKey();
// The dishes of a group, as entered.
ViewDef dishes();
// The same, only the finished ones while the filter is on.
ViewDef finishedDishes();
// The lines of a dish's card with the ingredient's name.
ViewDef cardLines();
// The same with the ingredient's yield and flag, for the card the cook edits.
ViewDef editedCardLines();
// The ingredients of a group a card may take (filter switched on by the window).
ViewDef cardCandidates();

} // namespace dishviews
