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
