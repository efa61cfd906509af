#include <windows.h>

#include "support/mapped_section.h"

bool MappedSection::create(const std::string& name, uint32_t size, bool writable) {
    close();
    if (size == 0 || name.empty()) return false;
    HANDLE handle =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, writable ? PAGE_READWRITE : PAGE_READONLY,
                           0, size, name.c_str());
    if (handle == nullptr) return false;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    void* view = MapViewOfFile(handle, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        CloseHandle(handle);
        return false;
    }
    // An existing section keeps its own size; the view of length 0 maps all of it, and the
    // region query tells how much that is (whole pages, which belong to the section too).
    size_t mapped = size;
    if (existed) {
        MEMORY_BASIC_INFORMATION region{};
        if (VirtualQuery(view, &region, sizeof region) == 0) {
            UnmapViewOfFile(view);
            CloseHandle(handle);
            return false;
        }
        mapped = region.RegionSize;
    }
    m_handle = reinterpret_cast<intptr_t>(handle);
    m_view = static_cast<uint8_t*>(view);
    m_size = mapped;
    m_name = name;
    m_created_here = !existed;
    return true;
}

void MappedSection::close() {
    if (m_view != nullptr) UnmapViewOfFile(m_view);
    if (m_handle != -1) CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
    m_view = nullptr;
    m_size = 0;
    m_name.clear();
    m_created_here = false;
}
