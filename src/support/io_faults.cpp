#include "support/io_faults.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "support/trace.h"

IoFaults g_io_faults;

namespace {

constexpr std::array<std::string_view, 4> kStepNames = {"create", "write", "flush", "map"};

std::string_view name_of(IoStep step) {
    return kStepNames[static_cast<size_t>(step)];
}

std::optional<IoStep> step_named(std::string_view name) {
    for (size_t i = 0; i < kStepNames.size(); ++i)
        if (kStepNames[i] == name) return static_cast<IoStep>(i);
    return std::nullopt;
}

void arm(bool any_kind, IoStep kind, int64_t nth) {
    g_io_faults = IoFaults{true, any_kind, kind, nth < 0 ? 0 : nth, 0};
}

}  // namespace

void arm_io_fault(IoStep kind, int64_t nth) {
    arm(false, kind, nth);
}

void arm_io_fault_any(int64_t nth) {
    arm(true, IoStep::write, nth);
}

void disarm_io_fault() {
    g_io_faults = IoFaults{};
}

bool arm_io_fault_from_text(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    const std::string_view kind(text.data(), colon);
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    int64_t nth = 0;
    const auto [end, error] = std::from_chars(first, last, nth);
    if (first == last || error != std::errc() || end != last || nth < 0) return false;
    if (kind == "any") {
        arm_io_fault_any(nth);
        return true;
    }
    const std::optional<IoStep> step = step_named(kind);
    if (!step) return false;
    arm_io_fault(*step, nth);
    return true;
}

void arm_io_fault_from_environment() {
    const char* text = std::getenv("KADO_IO_FAULT");
    if (text != nullptr && !arm_io_fault_from_text(text))
        trace("KADO_IO_FAULT %s not understood\n", text);
}

bool count_io_step(IoStep step) {
    IoFaults& faults = g_io_faults;
    ++faults.steps;
    bool fails = false;
    if (faults.countdown > 0 && (faults.any_kind || step == faults.kind))
        fails = --faults.countdown == 0;
    const std::string_view name = name_of(step);
    trace("I/O step %lld: %.*s%s\n", static_cast<long long>(faults.steps),
          static_cast<int>(name.size()), name.data(), fails ? " fails" : "");
    return fails;
}
