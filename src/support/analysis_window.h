// Coordination with the analysis application's window (top-level, whole title "Stratus", letter
// case ignored): moved aside before an error or question box of a read, told afterwards that the
// box has gone. Linux has no such window; both operations do nothing there.
#pragma once

#include <functional>
#include <string>

void minimise_analysis_window();
// A window that does not answer within about 10 s is given up, so that a hung analysis
// application (or any window that carries the title) cannot keep a hidden run from ending.
void notify_analysis_window();

// Minimises the window while it lives and notifies it when it goes: the bracket of a read's box.
class AnalysisWindowAside {
  public:
    AnalysisWindowAside() { minimise_analysis_window(); }
    ~AnalysisWindowAside() { notify_analysis_window(); }
    AnalysisWindowAside(const AnalysisWindowAside&) = delete;
    AnalysisWindowAside& operator=(const AnalysisWindowAside&) = delete;
};

// A test seam: while a hook is set, both operations report to it instead of the platform.
enum class AnalysisWindowStep { kMinimise, kNotify };
void set_analysis_window_hook(std::function<void(AnalysisWindowStep)> hook);

// Backend: the top-level window whose whole title is the text, letter case ignored.
void minimise_window_titled(const std::string& title);
void send_to_window_titled(const std::string& title, const std::string& registered_message);
