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
    if (fd < 0) return false;
    struct stat info {};
    if (created && ftruncate(fd, size) != 0) {
        ::close(fd);
        shm_unlink(shm_name.c_str());
        return false;
    }
    if (fstat(fd, &info) != 0 || info.st_size <= 0) {
        ::close(fd);
        if (created) shm_unlink(shm_name.c_str());
        return false;
    }
    const size_t mapped = static_cast<size_t>(info.st_size);
    void* view =
        mmap(nullptr, mapped, writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (view == MAP_FAILED) {
        if (created) shm_unlink(shm_name.c_str());
        return false;
    }
    m_view = static_cast<uint8_t*>(view);
    m_size = mapped;
    m_name = name;
    m_created_here = created;
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
