#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>

#include "support/named_event.h"

namespace {

// Event names become shared-memory names below the root; a name that holds a slash cannot.
bool shm_name_of(const std::string& name, std::string& shm_name) {
    if (name.empty() || name.find('/') != std::string::npos || name.size() > 250) return false;
    shm_name = "/" + name;
    return true;
}

class ShmEvent final : public NamedEvent {
  public:
    ShmEvent(std::string shm_name, unsigned char* flag, bool created)
        : m_shm_name(std::move(shm_name)), m_flag(flag), m_created(created) {}
    ~ShmEvent() override {
        munmap(m_flag, 1);
        if (m_created) shm_unlink(m_shm_name.c_str());
    }
    bool is_signalled() const override {
        return std::atomic_ref<unsigned char>(*m_flag).load(std::memory_order_acquire) != 0;
    }
    void signal() override {
        std::atomic_ref<unsigned char>(*m_flag).store(1, std::memory_order_release);
    }

  private:
    std::string m_shm_name;
    unsigned char* m_flag;
    bool m_created;
};

unsigned char* map_flag(int fd) {
    void* view = mmap(nullptr, 1, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return view == MAP_FAILED ? nullptr : static_cast<unsigned char*>(view);
}

}  // namespace

std::unique_ptr<NamedEvent> NamedEvent::create_or_open(const std::string& name) {
    std::string shm_name;
    if (!shm_name_of(name, shm_name)) return nullptr;
    bool created = true;
    int fd = shm_open(shm_name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
        created = false;
        fd = shm_open(shm_name.c_str(), O_RDWR, 0);
    }
    if (fd < 0) return nullptr;
    // A freshly created object is one zero byte: not signalled.
    if (created && ftruncate(fd, 1) != 0) {
        close(fd);
        shm_unlink(shm_name.c_str());
        return nullptr;
    }
    unsigned char* flag = map_flag(fd);
    close(fd);
    if (flag == nullptr) {
        if (created) shm_unlink(shm_name.c_str());
        return nullptr;
    }
    return std::make_unique<ShmEvent>(shm_name, flag, created);
}

bool signal_named_event(const std::string& name) {
    std::string shm_name;
    if (!shm_name_of(name, shm_name)) return false;
    const int fd = shm_open(shm_name.c_str(), O_RDWR, 0);
    if (fd < 0) return false;
    unsigned char* flag = map_flag(fd);
    close(fd);
    if (flag == nullptr) return false;
    std::atomic_ref<unsigned char>(*flag).store(1, std::memory_order_release);
    munmap(flag, 1);
    return true;
}
