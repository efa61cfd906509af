// Keeps the foreground window across a run of message boxes: remembered when the object is made,
// brought back to the foreground when it goes. The card search uses it around its repeated
// question. Linux has no windows; the object does nothing there.
#pragma once

class ForegroundWindowKeeper {
  public:
    ForegroundWindowKeeper();
    ~ForegroundWindowKeeper();
    ForegroundWindowKeeper(const ForegroundWindowKeeper&) = delete;
    ForegroundWindowKeeper& operator=(const ForegroundWindowKeeper&) = delete;

  private:
    [[maybe_unused]] void* m_window = nullptr;  // unused on Linux
};
