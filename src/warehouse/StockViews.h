#pragma once

#include "store/ViewDef.h"

// The views the warehouse's windows show of stock documents, movements and inventories. Each gives
// the table, its order, its link to a master view, its filter and its looked-up fields; the window
// adds the columns and the behaviour.
namespace stockviews {

// The movements of an ingredient with the partner's name.
ViewDef movements();
// The documents by date with the partner's name and the first line's kind.
ViewDef documents();
// The lines of a document with the ingredient's name.
ViewDef documentLines();
// The inventory documents by date.
ViewDef inventories();
// The lines of an inventory by ingredient name, with the ingredient's unit key.
ViewDef inventoryLines();

} // namespace stockviews
