// Mapped sections on Linux: shared-memory objects with the lifetime of Windows sections (see
// shared_object.h). The rule for a section that a killed read left behind: nobody holds it, so
// it is stale. create() empties it and sizes it as a new section (created_here() is true), so a
// read never inherits the counts and finished flags of the one that died, and a receiver that
// prepares the sections first finds them fresh and its own. open_existing() treats it as
// missing, so a receiver waiting for a read never takes a dead read's data for a live one. A
// section that a receiver holds is used as the receiver made it, whatever is in it.
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/io_faults.h"
#include "support/mapped_section.h"
#include "support/posix/shared_object.h"

namespace {

struct Mapping {
    uint8_t* view = nullptr;
    size_t size = 0;
};

// Maps the whole of a held object.
Mapping map_whole(int fd, bool writable) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size <= 0) return {};
    const auto size = static_cast<size_t>(info.st_size);
    // Faulting the pages in one call costs far less than one fault per page while a read fills
    // them, which on a virtual machine dominated the time of a mapped read.
    void* view = mmap(nullptr, size, writable ? PROT_READ | PROT_WRITE : PROT_READ,
                      MAP_SHARED | MAP_POPULATE, fd, 0);
    if (view == MAP_FAILED) return {};
    return {static_cast<uint8_t*>(view), size};
}

}  // namespace

// Maps the held object whole; the descriptor stays open, as it carries the hold that keeps the
// section alive. A mapping that fails gives the hold up again.
bool MappedSection::adopt(int fd, bool writable, const std::string& name) {
    const Mapping mapping = map_whole(fd, writable);
    if (mapping.view == nullptr) {
        release_shared_object(fd, name);
        return false;
    }
    m_handle = fd;
    m_view = mapping.view;
    m_size = mapping.size;
    m_name = name;
    return true;
}

bool MappedSection::create(const std::string& name, uint32_t size, bool writable) {
    close();
    if (size == 0 || io_step_fails(IoStep::map)) return false;
    const HeldObject object = hold_shared_object(name, size, writable);
    if (object.fd < 0 || !adopt(object.fd, writable, name)) return false;
    m_created_here = object.fresh;
    return true;
}

bool MappedSection::open_existing(const std::string& name, bool writable) {
    close();
    if (io_step_fails(IoStep::map)) return false;
    const HeldObject object = hold_shared_object(name, 0, writable);
    return object.fd >= 0 && adopt(object.fd, writable, name);
}

void MappedSection::close() {
    if (m_view != nullptr) munmap(m_view, m_size);
    release_shared_object(static_cast<int>(m_handle), m_name);
    m_handle = -1;
    m_view = nullptr;
    m_size = 0;
    m_name.clear();
    m_created_here = false;
}
