#include <string>
#include <vector>

#include "support/program_run.h"

namespace {

void append_quoted(std::string& line, const std::string& argument) {
    if (!line.empty()) line += ' ';
    line += '"';
    size_t backslashes = 0;
    for (const char c : argument) {
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

std::string command_line_of(const std::string& program, const std::vector<std::string>& arguments) {
    std::string line;
    append_quoted(line, program);
    for (const std::string& argument : arguments)
        append_quoted(line, argument);
    return line;
}
