// Starting a helper program and waiting for its end while the caller's stop event is watched: the
// CEF reader runs szip this way (its window thread handling messages meanwhile), the loader
// dispatch the other system's loader (a plain wait). The program is named explicitly and its
// arguments travel one by one, so no search path, shell or unquoted blank in a path decides what
// runs.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/named_event.h"

// One argument of a command line. A quoted one is written in double quotes; a bare one (a verb
// or a number) as it is, unless it holds what only quotes keep together.
struct CommandArgument {
    CommandArgument(std::string argument, bool in_quotes = true)
        : text(std::move(argument)), quoted(in_quotes) {}
    CommandArgument(const char* argument) : CommandArgument(std::string(argument)) {}
    std::string text;
    bool quoted;
};

inline CommandArgument bare_argument(std::string text) {
    return {std::move(text), false};
}

struct ProgramRun {
    enum class Outcome { kExited, kNotStarted, kStopped };
    Outcome outcome = Outcome::kNotStarted;
    // The program's exit code when it exited; a program killed by a signal on Linux reports
    // 128 plus the signal number, as shells do.
    int exit_code = -1;
};

// The longest command line a program is started with. The other system's programs read their
// command lines into buffers of 2048 characters; a longer line is refused, never cut, because a
// cut line may name other files or another command.
inline constexpr size_t kMaxCommandLineLength = 2047;

// Starts the program hidden and waits until it ends; when stop is signalled meanwhile, the program
// is ended and the run reports kStopped. A command line over the limit does not start.
ProgramRun launch_process(const std::string& program, const std::vector<CommandArgument>& arguments,
                          const NamedEvent* stop);

// launch_process on a worker thread while the calling window thread keeps handling its window
// messages, every poll interval at the latest, so the program's windows keep answering during a
// long run. A worker that cannot be started reports kNotStarted.
ProgramRun run_command_pumping(const std::string& program,
                               const std::vector<CommandArgument>& arguments,
                               const NamedEvent* stop, std::chrono::milliseconds poll);

// The command line of the program and its arguments by the Windows rules (backslashes before a
// quote doubled, a quote inside quotes escaped): what Windows receives, and the text a message
// shows for the run on both platforms.
std::string command_line_of(const std::string& program,
                            const std::vector<CommandArgument>& arguments);

// The command line when it is within the limit.
std::optional<std::string> launchable_command_line(const std::string& program,
                                                   const std::vector<CommandArgument>& arguments);
