#include <windows.h>

#include <cstdlib>
#include <string>

#include "support/file_utils.h"
#include "support/program_files.h"

std::string module_path() {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return {};
    return std::string(path, length);
}

std::string find_on_search_path(const std::string& name) {
    char path[MAX_PATH];
    const DWORD length = SearchPathA(nullptr, name.c_str(), nullptr, sizeof path, path, nullptr);
    if (length == 0 || length >= sizeof path) return {};
    return std::string(path, length);
}

std::string program_files_folder() {
    const char* folder = std::getenv("ProgramFiles");
    return folder != nullptr ? folder : "";
}

std::optional<std::vector<uint8_t>> load_binary_resource(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "BINARY");
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const DWORD size = SizeofResource(nullptr, found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
    if (bytes == nullptr) return std::nullopt;
    return std::vector<uint8_t>(bytes, bytes + size);
}
