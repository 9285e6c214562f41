#pragma once

class Clock;
class SpreadsheetLauncher;
class UserPrompts;
class WarehousePage;

// Plugs the turnover statement into the stock page and the inventory act into its inventory window.
// The prompts, the launcher and the clock must outlive the page.
void installWarehousePrints(WarehousePage& page, UserPrompts& prompts, SpreadsheetLauncher& launcher,
                            const Clock& clock);
