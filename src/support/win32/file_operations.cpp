// Creating and removing single files and folders, and copying a file, on Windows.
#include <windows.h>

#include <string>

#include "support/file_backend.h"
#include "support/file_utils.h"

bool create_folder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool remove_folder(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool remove_file(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool copy_file_over(const std::string& source, const std::string& target) {
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}
