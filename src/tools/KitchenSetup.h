#pragma once

class QString;
class UserPrompts;
struct DataLocations;

// The first start of a program with no kitchen yet.
namespace kitchensetup {

// True when no kitchen was named and the data directory holds none: the program offers to make one.
bool kitchenMissing(const DataLocations& locations);

// When no kitchen was named and there is none in the data directory, offers to create an empty one
// or the demo one; true when a kitchen is there afterwards (or was named by the user, who is told
// about a missing one by the program itself).
bool offerNewKitchen(const DataLocations& locations, UserPrompts& prompts);

// Creates the data directory and an empty or the demo kitchen in it; false after telling the user why not.
bool createKitchen(const QString& dataDir, bool demo, UserPrompts& prompts);

} // namespace kitchensetup
