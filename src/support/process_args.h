// The command-line text that follows the program name, as the Windows command line carries it.
// Called once by the entry point; the application tokenizes it itself.
#pragma once

#include <string>

// Windows: the raw command line with the program name skipped. Linux: the arguments joined with
// single blanks, so a caller may pass the whole command line as one argument.
std::string command_line_text(int argc, char** argv);
