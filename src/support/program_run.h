// Running a helper program to its end while the caller's stop event is watched: the CEF reader
// runs szip this way. The program is named explicitly and its arguments travel one by one, so no
// search path, shell or unquoted blank in a path decides what runs.
#pragma once

#include <string>
#include <vector>

#include "support/named_event.h"

struct ProgramRun {
    enum class Outcome { kExited, kNotStarted, kStopped };
    Outcome outcome = Outcome::kNotStarted;
    // The program's exit code when it exited; a program killed by a signal on Linux reports
    // 128 plus the signal number, as shells do.
    int exit_code = -1;
};

// Waits until the program ends; when stop is signalled meanwhile, the program is ended and the
// run reports kStopped. The window stays hidden.
ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const NamedEvent* stop);

// The command line of the program and its arguments, each quoted by the Windows rules (a blank
// or quote inside quotes, backslashes before a quote doubled): what Windows receives, and the
// text a message shows for the run on both platforms.
std::string command_line_of(const std::string& program, const std::vector<std::string>& arguments);
