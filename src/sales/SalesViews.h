#pragma once

#include "store/ViewDef.h"

// The views the page "Реализация" shows of sales documents and their lines. Each gives the table, its
// order, its link to a master view, its filter and its looked-up fields; the page adds the columns and
// the behaviour.
namespace salesviews {

// The documents by date with the name of their menu.
ViewDef documents();
// The lines of a document with the dish's group and name; the filter (for the print-outs and the
// posting) leaves out lines of no portions.
ViewDef lines();

} // namespace salesviews
