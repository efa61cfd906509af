#include <windows.h>

#include <string>

#include "support/file_utils.h"

std::string temp_folder() {
    char path[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof path, path);
    if (length == 0 || length > MAX_PATH) return {};
    std::string folder(path, length);
    if (folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string temp_file_name() {
    char path[MAX_PATH];
    if (GetTempFileNameA(temp_folder().c_str(), "RM", 0, path) == 0) return {};
    return path;
}

std::string make_temp_folder(const std::string& ext) {
    const std::string file = temp_file_name();
    if (file.empty()) return {};
    std::string folder = change_extension(file, ext);
    // The empty file reserved the unique name; the folder takes its place. Letter case does not
    // tell names apart here, so the file goes even when only the extension's case changed.
    delete_file(folder);
    if (folder != file) delete_file(file);
    if (!CreateDirectoryA(folder.c_str(), nullptr)) return {};
    return folder;
}
