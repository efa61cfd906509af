#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/mapped_section.h"

namespace {

bool shm_name_of(const std::string& name, std::string& shm_name) {
    if (name.empty() || name.size() > 250 || name.find('/') != std::string::npos) return false;
    shm_name = "/" + name;
    return true;
}

struct Mapping {
    uint8_t* view = nullptr;
    size_t size = 0;
};

// Sizes a section that was just created (new_size above 0) and maps all of it. Closes the
// descriptor on every road, and removes a new section again when it cannot be mapped.
Mapping map_descriptor(int fd, const std::string& shm_name, uint32_t new_size, bool writable) {
    if (fd < 0) return {};
    const bool created = new_size > 0;
    struct stat info {};
    if ((created && ftruncate(fd, new_size) != 0) || fstat(fd, &info) != 0 || info.st_size <= 0) {
        ::close(fd);
        if (created) shm_unlink(shm_name.c_str());
        return {};
    }
    const size_t mapped = static_cast<size_t>(info.st_size);
    // Faulting the pages in one call costs far less than one fault per page while a read fills
    // them, which on a virtual machine dominated the time of a mapped read.
    void* view = mmap(nullptr, mapped, writable ? PROT_READ | PROT_WRITE : PROT_READ,
                      MAP_SHARED | MAP_POPULATE, fd, 0);
    ::close(fd);
    if (view == MAP_FAILED) {
        if (created) shm_unlink(shm_name.c_str());
        return {};
    }
    return {static_cast<uint8_t*>(view), mapped};
}

}  // namespace

bool MappedSection::create(const std::string& name, uint32_t size, bool writable) {
    close();
    std::string shm_name;
    if (size == 0 || !shm_name_of(name, shm_name)) return false;
    const int access = writable ? O_RDWR : O_RDONLY;
    bool created = true;
    int fd = shm_open(shm_name.c_str(), access | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
        created = false;
        fd = shm_open(shm_name.c_str(), access, 0);
    }
    const Mapping mapping = map_descriptor(fd, shm_name, created ? size : 0, writable);
    if (mapping.view == nullptr) return false;
    m_view = mapping.view;
    m_size = mapping.size;
    m_name = name;
    m_created_here = created;
    return true;
}

bool MappedSection::open_existing(const std::string& name, bool writable) {
    close();
    std::string shm_name;
    if (!shm_name_of(name, shm_name)) return false;
    const int fd = shm_open(shm_name.c_str(), writable ? O_RDWR : O_RDONLY, 0);
    const Mapping mapping = map_descriptor(fd, shm_name, 0, writable);
    if (mapping.view == nullptr) return false;
    m_view = mapping.view;
    m_size = mapping.size;
    m_name = name;
    return true;
}

void MappedSection::close() {
    if (m_view != nullptr) munmap(m_view, m_size);
    if (m_handle != -1) ::close(static_cast<int>(m_handle));
    if (m_created_here) shm_unlink(("/" + m_name).c_str());
    m_handle = -1;
    m_view = nullptr;
    m_size = 0;
    m_name.clear();
    m_created_here = false;
}
