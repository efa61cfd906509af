// Named manual-reset events shared between processes: the terminator event that a caller signals
// to stop a running read. Windows: a kernel event object. Linux: a one-byte POSIX shared-memory
// object of the same name (under /dev/shm), non-zero meaning signalled. On both an event lives
// while some process holds it; once nobody does, the next opener gets it anew, not signalled.
#pragma once

#include <memory>
#include <string>

class NamedEvent {
  public:
    // Creates the event, not signalled, or opens it with its state when it exists already.
    // Null when the platform cannot take the name or the object cannot be made.
    static std::unique_ptr<NamedEvent> create_or_open(const std::string& name);
    virtual ~NamedEvent() = default;

    // Polls without waiting.
    virtual bool is_signalled() const = 0;
    virtual void signal() = 0;
};

// Signals an existing event of that name; false when there is none.
bool signal_named_event(const std::string& name);
