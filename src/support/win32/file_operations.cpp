// Creating and removing single files and folders, and copying a file, on Windows.
#include <windows.h>

#include <optional>
#include <string>

#include "support/file_backend.h"
#include "support/file_utils.h"
#include "support/io_faults.h"

bool create_folder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool remove_folder(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool remove_file(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

// CopyFileA creates, writes and closes the target in one call, so the I/O fault seam sees one
// step of each kind; a copy that fails at its end is removed, as CopyFileA removes one that fails
// on the way.
namespace {

// CopyFileA follows a link at either end; a copy refuses one instead, as the card file calls do.
bool is_link(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

bool copy_file_over(const std::string& source, const std::string& target) {
    if (io_step_fails(IoStep::create) || io_step_fails(IoStep::write)) return false;
    if (is_link(source) || is_link(target)) return false;
    if (CopyFileA(source.c_str(), target.c_str(), FALSE) == 0) return false;
    if (!io_step_fails(IoStep::flush)) return true;
    DeleteFileA(target.c_str());
    return false;
}

namespace {

struct FileIdentity {
    DWORD volume;
    DWORD index_high;
    DWORD index_low;
    bool operator==(const FileIdentity&) const = default;
};

// The volume serial number and file index that tell files apart; opening with no access and
// every share mode works on files that others hold open, and on folders.
std::optional<FileIdentity> identity_of(const std::string& path) {
    const HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

}  // namespace

bool same_file(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> first = identity_of(a);
    return first && first == identity_of(b);
}
