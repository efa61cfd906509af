#include <windows.h>

#include "support/io_faults.h"
#include "support/mapped_section.h"

namespace {

// The bytes a view of length 0 really maps: the whole section, in whole pages, which belong to
// the section too. 0 when the region cannot be queried.
size_t mapped_size_of(const void* view) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(view, &region, sizeof region) == 0) return 0;
    return region.RegionSize;
}

}  // namespace

// Maps the whole section and keeps it; known_size 0 asks the system how much was mapped. Closes
// the handle when the view cannot be had.
bool MappedSection::adopt(intptr_t handle_value, uint32_t access, size_t known_size,
                          const std::string& name) {
    HANDLE handle = reinterpret_cast<HANDLE>(handle_value);
    void* view = MapViewOfFile(handle, access, 0, 0, 0);
    const size_t mapped = view == nullptr ? 0 : known_size != 0 ? known_size : mapped_size_of(view);
    if (mapped == 0) {
        if (view != nullptr) UnmapViewOfFile(view);
        CloseHandle(handle);
        return false;
    }
    m_handle = handle_value;
    m_view = static_cast<uint8_t*>(view);
    m_size = mapped;
    m_name = name;
    return true;
}

bool MappedSection::create(const std::string& name, uint32_t size, bool writable) {
    close();
    if (size == 0 || name.empty() || io_step_fails(IoStep::map)) return false;
    HANDLE handle =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, writable ? PAGE_READWRITE : PAGE_READONLY,
                           0, size, name.c_str());
    if (handle == nullptr) return false;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    // An existing section keeps its own size, which the view of length 0 maps whole.
    if (!adopt(reinterpret_cast<intptr_t>(handle), writable ? FILE_MAP_WRITE : FILE_MAP_READ,
               existed ? 0 : size, name))
        return false;
    m_created_here = !existed;
    return true;
}

bool MappedSection::open_existing(const std::string& name, bool writable) {
    close();
    if (name.empty() || io_step_fails(IoStep::map)) return false;
    const DWORD access = writable ? FILE_MAP_WRITE : FILE_MAP_READ;
    HANDLE handle = OpenFileMappingA(access, FALSE, name.c_str());
    if (handle == nullptr) return false;
    return adopt(reinterpret_cast<intptr_t>(handle), access, 0, name);
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
