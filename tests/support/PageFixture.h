#pragma once

#include "store/ui/Page.h"

// Opens a page's views on a test kitchen and shows it as the active window, as the main window would
// at the first page change; returns the store's message, empty when the page is up.
QString showPage(Page& page, QSqlDatabase db);
