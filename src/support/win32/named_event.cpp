#include <windows.h>

#include "support/named_event.h"

namespace {

class KernelEvent final : public NamedEvent {
  public:
    explicit KernelEvent(HANDLE handle) : m_handle(handle) {}
    ~KernelEvent() override { CloseHandle(m_handle); }
    bool is_signalled() const override { return WaitForSingleObject(m_handle, 0) == WAIT_OBJECT_0; }
    void signal() override { SetEvent(m_handle); }

  private:
    HANDLE m_handle;
};

}  // namespace

std::unique_ptr<NamedEvent> NamedEvent::create_or_open(const std::string& name) {
    // Manual reset, initially not signalled; an existing event keeps its state.
    HANDLE handle = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    if (handle == nullptr) return nullptr;
    return std::make_unique<KernelEvent>(handle);
}

bool signal_named_event(const std::string& name) {
    HANDLE handle = OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str());
    if (handle == nullptr) return false;
    const bool ok = SetEvent(handle) != 0;
    CloseHandle(handle);
    return ok;
}
