#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/trace.h"

namespace {

bool needs_quotes(const std::string& text) {
    return text.empty() || text.find_first_of(" \t\"") != std::string::npos;
}

void append_argument(std::string& line, const CommandArgument& argument) {
    if (!line.empty()) line += ' ';
    if (!argument.quoted && !needs_quotes(argument.text)) {
        line += argument.text;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (const char c : argument.text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only in front of a quote, which is escaped itself.
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
}

}  // namespace

std::string command_line_of(const std::string& program,
                            const std::vector<CommandArgument>& arguments) {
    std::string line;
    append_argument(line, program);
    for (const CommandArgument& argument : arguments)
        append_argument(line, argument);
    return line;
}

std::optional<std::string> launchable_command_line(const std::string& program,
                                                   const std::vector<CommandArgument>& arguments) {
    std::string line = command_line_of(program, arguments);
    if (line.size() <= kMaxCommandLineLength) return line;
    trace("command line of %lu characters refused\n", static_cast<unsigned long>(line.size()));
    return std::nullopt;
}
