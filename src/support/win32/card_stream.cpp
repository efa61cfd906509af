// Card streams on Windows: an unbuffered-by-us file handle with share mode none; a full medium is
// ERROR_DISK_FULL (or ERROR_HANDLE_DISK_FULL from some redirectors).
#include <windows.h>

#include "support/card_stream.h"
#include "support/io_faults.h"

struct CardStream::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
};

namespace {

// Large writes go in pieces that a DWORD can count.
constexpr DWORD kLargestPiece = 0x10000000u;

HANDLE open_file(const std::string& path, DWORD disposition) {
    // A reparse point is opened as itself and refused, never followed.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

}  // namespace

CardStream::CardStream() : m_handle(std::make_unique<Handle>()) {}

CardStream::~CardStream() {
    if (m_handle->file != INVALID_HANDLE_VALUE) CloseHandle(m_handle->file);
}

bool CardStream::create(const std::string& path) {
    if (m_handle->file != INVALID_HANDLE_VALUE || io_step_fails(IoStep::create)) return false;
    m_handle->file = open_file(path, CREATE_ALWAYS);
    m_position = 0;
    return m_handle->file != INVALID_HANDLE_VALUE;
}

bool CardStream::open_existing(const std::string& path) {
    if (m_handle->file != INVALID_HANDLE_VALUE || io_step_fails(IoStep::create)) return false;
    m_handle->file = open_file(path, OPEN_EXISTING);
    m_position = 0;
    return m_handle->file != INVALID_HANDLE_VALUE;
}

StreamWrite CardStream::write(std::span<const uint8_t> bytes) {
    if (m_handle->file == INVALID_HANDLE_VALUE || io_step_fails(IoStep::write))
        return StreamWrite::failed;
    while (!bytes.empty()) {
        const DWORD piece =
            bytes.size() > kLargestPiece ? kLargestPiece : static_cast<DWORD>(bytes.size());
        DWORD count = 0;
        const BOOL ok = WriteFile(m_handle->file, bytes.data(), piece, &count, nullptr);
        m_position += count;
        bytes = bytes.subspan(count);
        if (ok && count > 0) continue;
        const DWORD error = GetLastError();
        if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
            return StreamWrite::disk_full;
        return StreamWrite::failed;
    }
    return StreamWrite::written;
}

bool CardStream::cut_to(uint64_t size) {
    if (m_handle->file == INVALID_HANDLE_VALUE || size > m_position) return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(m_handle->file, at, nullptr, FILE_BEGIN) || !SetEndOfFile(m_handle->file))
        return false;
    m_position = size;
    return true;
}

bool CardStream::flush() {
    return m_handle->file != INVALID_HANDLE_VALUE && !io_step_fails(IoStep::flush) &&
           FlushFileBuffers(m_handle->file) != 0;
}

bool CardStream::close() {
    if (m_handle->file == INVALID_HANDLE_VALUE) return false;
    const bool failing = io_step_fails(IoStep::flush);
    const bool closed = CloseHandle(m_handle->file) != 0;
    m_handle->file = INVALID_HANDLE_VALUE;
    return closed && !failing;
}
