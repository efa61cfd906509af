// The program's message texts by string id (128 to 168), shared by both builds. Every message box
// takes its text from here, so that a language chosen at start-up applies everywhere.
#pragma once

#include <string>

// The text of the id in the current language; empty for an id the table does not hold.
std::string load_string(int id);
