#pragma once

class TestDataDir;

// Replaces the kitchen of a test data directory (closed first) with an empty one exactly as version 1
// of the program made it, from that version's schema file kept beside this helper. Never edit the
// file: kitchens of that shape exist.
void makeVersion1Kitchen(TestDataDir& data);
