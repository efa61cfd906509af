// Directory enumeration on Linux: readdir filtered by the wildcard rules of the Windows find
// calls, which the card search and the tree operations are written against.
#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <string_view>

#include "support/file_finder.h"
#include "support/file_utils.h"

namespace {

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// * matches any run of characters, ? any one character; letters match in either case.
bool wildcard_match(std::string_view pattern, std::string_view name) {
    size_t p = 0;
    size_t n = 0;
    size_t star = std::string_view::npos;
    size_t retry = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = ++p;
            retry = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lower_ascii(pattern[p]) == lower_ascii(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star;
            n = ++retry;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// A pattern ending in ".*" also matches names without any extension, so "*.*" matches every name.
bool name_matches(std::string_view pattern, std::string_view name) {
    if (wildcard_match(pattern, name)) return true;
    return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
           wildcard_match(pattern.substr(0, pattern.size() - 2), name);
}

uint32_t attributes_of(const struct stat& st) {
    if (S_ISLNK(st.st_mode)) return kAttributeArchive | kAttributeReparsePoint;
    uint32_t attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeArchive;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kAttributeReadOnly;
    return attributes;
}

}  // namespace

struct FileFinder::State {
    DIR* dir = nullptr;
    std::string native_folder;  // ends with a slash
    std::string name_pattern;
    ~State() {
        if (dir != nullptr) closedir(dir);
    }
};

void FileFinder::StateCloser::operator()(State* state) const {
    delete state;
}

bool FileFinder::open(const std::string& pattern) {
    std::unique_ptr<State, StateCloser> state(new State);
    state->native_folder = native_path(m_folder.empty() ? "./" : m_folder);
    if (state->native_folder.empty() || state->native_folder.back() != '/')
        state->native_folder += '/';
    state->name_pattern = file_name_of(pattern);
    state->dir = opendir(state->native_folder.c_str());
    if (state->dir == nullptr) {
        m_failed = true;
        return false;
    }
    m_state = std::move(state);
    return true;
}

bool FileFinder::read_entry() {
    while (const dirent* entry = readdir(m_state->dir)) {
        if (!name_matches(m_state->name_pattern, entry->d_name)) continue;
        struct stat st;
        // An entry removed since readdir listed it is no longer there to report.
        if (lstat((m_state->native_folder + entry->d_name).c_str(), &st) != 0) continue;
        m_name = entry->d_name;
        m_attributes = attributes_of(st);
        m_size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
        return true;
    }
    return false;
}
