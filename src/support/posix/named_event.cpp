// Named events on Linux: a one-byte shared-memory object, non-zero meaning signalled, with the
// lifetime of a Windows event (see shared_object.h): it lives while some process holds it, and
// one that nobody holds, such as the signalled event of a killed read, is made afresh, not
// signalled, by the next opener.
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <utility>

#include "support/named_event.h"
#include "support/posix/shared_object.h"

namespace {

constexpr unsigned char kSignalled = 1;

class ShmEvent final : public NamedEvent {
  public:
    ShmEvent(std::string name, int fd, unsigned char* flag)
        : m_name(std::move(name)), m_fd(fd), m_flag(flag) {}
    ~ShmEvent() override {
        munmap(m_flag, 1);
        release_shared_object(m_fd, m_name);
    }
    bool is_signalled() const override {
        return std::atomic_ref<unsigned char>(*m_flag).load(std::memory_order_acquire) != 0;
    }
    void signal() override {
        std::atomic_ref<unsigned char>(*m_flag).store(kSignalled, std::memory_order_release);
    }

  private:
    std::string m_name;
    int m_fd;
    unsigned char* m_flag;
};

}  // namespace

std::unique_ptr<NamedEvent> NamedEvent::create_or_open(const std::string& name) {
    const HeldObject object = hold_shared_object(name, 1, true);
    if (object.fd < 0) return nullptr;
    void* view = mmap(nullptr, 1, PROT_READ | PROT_WRITE, MAP_SHARED, object.fd, 0);
    if (view == MAP_FAILED) {
        release_shared_object(object.fd, name);
        return nullptr;
    }
    return std::make_unique<ShmEvent>(name, object.fd, static_cast<unsigned char*>(view));
}

// The signaller holds the event while it signals; an event that nobody else holds does not exist.
bool signal_named_event(const std::string& name) {
    const HeldObject object = hold_shared_object(name, 0, true);
    if (object.fd < 0) return false;
    const bool signalled = ::pwrite(object.fd, &kSignalled, 1, 0) == 1;
    release_shared_object(object.fd, name);
    return signalled;
}
