#include <windows.h>

#include "support/card_file.h"

bool write_card_file(const std::string& path, std::span<const uint8_t> bytes) {
    // Share mode 0: nobody else may open the file while it is rewritten. CREATE_ALWAYS with normal
    // attributes replaces a file left hidden or archived, but fails on a read-only one.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    while (written && !bytes.empty()) {
        DWORD count = 0;
        const DWORD chunk =
            bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
        written = WriteFile(file, bytes.data(), chunk, &count, nullptr) && count > 0;
        if (written) bytes = bytes.subspan(count);
    }
    // Card readers cache writes; only FlushFileBuffers guarantees the recorder sees them.
    written = written && FlushFileBuffers(file);
    const bool closed = CloseHandle(file) != 0;
    return written && closed;
}
