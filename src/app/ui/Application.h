#pragma once

// Starts the program: Russian translations of Qt's own dialogs, the data locations, the check of the
// database driver, the main window and the event loop.
int runApplication(int argc, char* argv[]);
