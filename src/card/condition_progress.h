// What preallocation reports while it fills a card: the condition progress window, and the
// window thread's pending messages, which the long write lets through between its pieces. The
// user interface implements it; card storage only calls it.
#pragma once

#include <cstdint>

class ConditionProgress {
  public:
    virtual ~ConditionProgress() = default;
    // The window appears with the range 0 to `sectors` and the position 0.
    virtual void open(int32_t sectors) = 0;
    virtual void set_position(int32_t sector) = 0;
    virtual void close() = 0;
    // Handles what is pending for the window thread (repaints, input), also without a window.
    virtual void pump_messages() = 0;
};
