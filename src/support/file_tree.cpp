// Creating, emptying and deleting folder trees, built on the backend's one-level primitives.
#include <string>

#include "support/file_backend.h"
#include "support/file_finder.h"
#include "support/file_utils.h"

namespace {

// A drive's root stays when its tree is deleted: "E:" or "E:" and one separator.
bool is_drive_root(const std::string& folder) {
    return is_bare_drive(folder) ||
           (folder.size() == 3 && folder[1] == ':' && folder[2] == kPathSeparator);
}

}  // namespace

bool delete_file(const std::string& path) {
    set_normal_attributes(path);
    remove_file(path);
    return !file_exists(path) && !folder_exists(path);
}

bool make_directory_tree(const std::string& path) {
    if (path.empty() || path == std::string(1, kPathSeparator)) return false;
    const std::string trimmed =
        !path.empty() && path.back() == kPathSeparator ? path.substr(0, path.size() - 1) : path;
    if (is_bare_drive(trimmed) || folder_exists(trimmed)) return true;
    // Parents first; a drive's root ("E:" followed by a separator) is never created, and a
    // trailing separator is left to the last creation, which would fail on a folder made here.
    for (size_t p = find_separator(path, 1); p != std::string::npos && p + 1 < path.size();
         p = find_separator(path, p + 1)) {
        if (path[p - 1] != ':') create_folder(path.substr(0, p));
    }
    return create_folder(path);
}

bool empty_folder(const std::string& folder) {
    for (FileFinder finder(join_path(folder, "*.*"), kFindAll); !finder.done(); finder.next()) {
        if (finder.is_folder()) continue;
        set_normal_attributes(finder.path());
        if (!delete_file(finder.path())) return false;
    }
    return true;
}

bool delete_tree(const std::string& folder, bool recurse, bool clear_attributes) {
    if (!is_bare_drive(folder) && !folder_exists(folder)) return false;
    for (FileFinder finder(join_path(folder, "*.*"), kFindAll); !finder.done(); finder.next()) {
        if (finder.is_folder()) {
            if (recurse && !delete_tree(finder.path(), recurse, clear_attributes)) return false;
            continue;
        }
        if (clear_attributes) set_normal_attributes(finder.path());
        if (!remove_file(finder.path())) return false;
    }
    if (is_drive_root(folder)) return true;
    return remove_folder(folder);
}

FolderRemovalGuard::~FolderRemovalGuard() {
    if (!m_folder.empty()) delete_tree(m_folder, m_recurse, m_clear_attributes);
}
