// Path text: pure string operations on the separator positions.
#include <string>

#include "support/file_backend.h"
#include "support/file_utils.h"

namespace {

size_t last_separator(const std::string& text) {
    size_t last = std::string::npos;
    for (size_t p = find_separator(text, 0); p != std::string::npos;
         p = find_separator(text, p + 1))
        last = p;
    return last;
}

// Length of the text without its trailing run of separators; a separator that is the trail byte
// of a double-byte character does not belong to the run.
size_t length_without_trailing_separators(const std::string& text) {
    size_t run_start = std::string::npos;
    size_t previous = std::string::npos;
    for (size_t p = find_separator(text, 0); p != std::string::npos;
         p = find_separator(text, p + 1)) {
        if (previous == std::string::npos || p != previous + 1) run_start = p;
        previous = p;
    }
    const bool ends_with_run = previous != std::string::npos && previous + 1 == text.size();
    return ends_with_run ? run_start : text.size();
}

}  // namespace

std::string join_path(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const size_t kept = length_without_trailing_separators(folder);
    size_t skip = 0;
    while (skip < name.size() && name[skip] == kPathSeparator)
        ++skip;
    return folder.substr(0, kept) + kPathSeparator + name.substr(skip);
}

std::string folder_with_slash(const std::string& path) {
    const size_t p = last_separator(path);
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string folder_of(const std::string& path) {
    const size_t p = last_separator(path);
    return p == std::string::npos || p == 0 ? path : path.substr(0, p);
}

std::string file_name_of(const std::string& path) {
    const size_t p = last_separator(path);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string change_extension(const std::string& path, const std::string& ext) {
    // A dot never is a trail byte, so a plain search is code-page safe.
    const size_t dot = path.rfind('.');
    const bool has_dot = dot != std::string::npos && dot >= 1;
    if (ext.empty()) return has_dot ? path.substr(0, dot) : path;
    return has_dot ? path.substr(0, dot + 1) + ext : path + '.' + ext;
}

std::string trim_right_char(const std::string& text, char c) {
    if (c == kPathSeparator) return text.substr(0, length_without_trailing_separators(text));
    size_t end = text.size();
    while (end > 0 && text[end - 1] == c)
        --end;
    return text.substr(0, end);
}
