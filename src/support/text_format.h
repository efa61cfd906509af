// printf-style texts as the program formats them: at most 2047 characters (a longer result is cut
// there), the format of format_resource taken from the string table in the chosen language. Every
// translation keeps the English placeholders (the build checks it), so a format from the table
// always matches its arguments; texts from outside are only ever arguments, never formats.
#pragma once

#include <cstdio>
#include <string>

#include "support/string_table.h"

inline constexpr size_t kFormattedTextSize = 2048;

template <typename... Args>
std::string format_text(const std::string& format, const Args&... args) {
    char text[kFormattedTextSize] = {};
    std::snprintf(text, sizeof text, format.c_str(), args...);
    return text;
}

// An id that the table does not hold gives an empty format and so an empty text.
template <typename... Args>
std::string format_resource(int id, const Args&... args) {
    return format_text(load_string(id), args...);
}
