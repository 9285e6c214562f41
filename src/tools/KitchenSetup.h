#pragma once

class UserPrompts;
struct DataLocations;

// The first start of a program with no kitchen yet.
namespace kitchensetup {

// When no kitchen was named and there is none in the data directory, offers to create an empty one
// or the demo one; true when a kitchen is there afterwards (or was named by the user, who is told
// about a missing one by the program itself).
bool offerNewKitchen(const DataLocations& locations, UserPrompts& prompts);

} // namespace kitchensetup
