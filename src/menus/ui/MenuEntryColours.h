#pragma once

#include <QVariant>

class TableModel;

// A switched-off menu entry is drawn in red bold text on silver, wherever entries are listed.
QVariant switchedOffEntryRole(const TableModel& entries, int row, int role);
