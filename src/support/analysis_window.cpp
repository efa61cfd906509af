#include "support/analysis_window.h"

#include <utility>

namespace {

constexpr const char* kAnalysisWindowTitle = "Stratus";
constexpr const char* kClosedMessage = "MSG_VURIRI_CLOSED";

std::function<void(AnalysisWindowStep)>& analysis_window_hook() {
    static std::function<void(AnalysisWindowStep)> hook;
    return hook;
}

}  // namespace

void set_analysis_window_hook(std::function<void(AnalysisWindowStep)> hook) {
    analysis_window_hook() = std::move(hook);
}

void minimise_analysis_window() {
    if (const auto& hook = analysis_window_hook()) return hook(AnalysisWindowStep::kMinimise);
    minimise_window_titled(kAnalysisWindowTitle);
}

void notify_analysis_window() {
    if (const auto& hook = analysis_window_hook()) return hook(AnalysisWindowStep::kNotify);
    send_to_window_titled(kAnalysisWindowTitle, kClosedMessage);
}
