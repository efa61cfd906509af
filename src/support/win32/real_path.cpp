#include <windows.h>

#include <string>

#include "support/file_utils.h"

// The final path of the opened file or folder: links and junctions resolved, the letter case of
// the file system, and the "\\?\" prefix removed.
std::string real_path(const std::string& path) {
    const HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char buffer[MAX_PATH * 4];
    const DWORD length =
        GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= sizeof buffer) return {};
    std::string text(buffer, length);
    if (text.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + text.substr(8);
    if (text.rfind("\\\\?\\", 0) == 0) return text.substr(4);
    return text;
}
