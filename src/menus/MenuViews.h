#pragma once

#include "store/ViewDef.h"

// The views the windows show of menus and their entries. Each gives the table, its order, its link to
// a master view, its filter and its looked-up fields; the window adds the columns and the behaviour.
namespace menuviews {

// Every menu by date.
ViewDef menus();
// The same, only the released ones while the filter is on.
ViewDef releasedMenus();
// The entries of a menu on the page "Меню", in the book's order, with the dish's name, price, group,
// yield and extra; the filter leaves out the switched-off ones.
ViewDef entries();
// The entries a sales document may take, with the dish's name, extra and price; the filter leaves
// out the switched-off ones.
ViewDef includedEntries();
// The entries of a menu to copy, in order, with the dish's name and price.
ViewDef entriesToCopy();
// The entries of a menu as the dish chooser shows them, with the dish's name and extra.
ViewDef chosenEntries();

} // namespace menuviews
