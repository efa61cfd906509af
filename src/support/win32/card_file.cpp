#include <windows.h>

#include <cstdio>
#include <vector>

#include "support/card_file.h"
#include "support/io_faults.h"

namespace {

// Opened on the reparse point itself rather than on what it points at, so that it can be refused.
constexpr DWORD kNoFollow = FILE_FLAG_OPEN_REPARSE_POINT;

bool is_reparse_point(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    return !GetFileInformationByHandle(file, &info) ||
           (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Large writes go in pieces that a DWORD can count.
constexpr DWORD kLargestPiece = 0x10000000u;

bool write_all_at_start(HANDLE file, std::span<const uint8_t> bytes) {
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    while (!bytes.empty()) {
        DWORD count = 0;
        const DWORD piece =
            bytes.size() > kLargestPiece ? kLargestPiece : static_cast<DWORD>(bytes.size());
        if (!WriteFile(file, bytes.data(), piece, &count, nullptr) || count == 0) return false;
        bytes = bytes.subspan(count);
    }
    // Only a shorter content needs the end moved: Wine sets even an unchanged end by writing a
    // byte past it, which fails on a full card.
    LARGE_INTEGER size;
    LARGE_INTEGER position;
    if (!GetFileSizeEx(file, &size) ||
        !SetFilePointerEx(file, LARGE_INTEGER{}, &position, FILE_CURRENT))
        return false;
    return position.QuadPart == size.QuadPart || SetEndOfFile(file) != 0;
}

bool read_all(HANDLE file, std::vector<uint8_t>& bytes) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > kLargestPiece) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD count = 0;
    return bytes.empty() ||
           (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
            count == bytes.size());
}

// Card readers cache writes; only FlushFileBuffers guarantees the recorder sees them.
bool replace_contents(HANDLE file, std::span<const uint8_t> bytes) {
    if (io_step_fails(IoStep::write) || !write_all_at_start(file, bytes)) return false;
    return !io_step_fails(IoStep::flush) && FlushFileBuffers(file);
}

}  // namespace

std::FILE* open_card_file_read(const std::string& path) {
    // The checked handle shares neither deletion nor renaming, so while it is open the name
    // cannot be pointed elsewhere, and the stream opened by name reads the checked file.
    const HANDLE checked =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | kNoFollow, nullptr);
    if (checked == INVALID_HANDLE_VALUE) return nullptr;
    std::FILE* stream = is_reparse_point(checked) ? nullptr : std::fopen(path.c_str(), "rb");
    CloseHandle(checked);
    return stream;
}

bool write_card_file(const std::string& path, std::span<const uint8_t> bytes) {
    if (io_step_fails(IoStep::create)) return false;
    // Share mode 0: nobody else may open the file while it is rewritten. Opening rather than
    // creating keeps the file's clusters and its old bytes until the new ones are written; a
    // read-only file cannot be opened for writing and fails here.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | kNoFollow, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    if (!created && is_reparse_point(file)) {
        CloseHandle(file);
        return false;
    }
    bool written = false;
    std::vector<uint8_t> previous;
    if (read_all(file, previous)) {
        written = replace_contents(file, bytes);
        if (!written && !created) {
            write_all_at_start(file, previous);
            FlushFileBuffers(file);
        }
    }
    const bool closed = CloseHandle(file) != 0;
    if (!written && created) DeleteFileA(path.c_str());
    return written && closed;
}
