// kadosignal NAME [--wait=SECONDS | --hold=FILE]: signals the named event NAME (for example
// "KADO TERMINATOR", or an instance text followed by ".terminator.signal"), the way a calling
// application stops a read.
//   --wait=SECONDS  keeps trying every millisecond until the event exists or the seconds have
//                   passed, so that a caller can stop a read the moment it begins.
//   --hold=FILE     makes the event, signals it and writes FILE, then keeps the event until FILE
//                   is removed (at most ten minutes): a read started after FILE appeared opens
//                   the event signalled, whatever the scheduler does.
// Exit code 0 when it was signalled, 1 when no such event exists (in time) or the event or FILE
// cannot be made, 2 on a bad command line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "support/named_event.h"

namespace {

constexpr const char* kWait = "--wait=";
constexpr const char* kHold = "--hold=";

bool has_prefix(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

int wait_and_signal(const char* name, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!signal_named_event(name)) {
        if (std::chrono::steady_clock::now() >= deadline) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 0;
}

int hold_signalled(const char* name, const std::filesystem::path& marker) {
    const std::unique_ptr<NamedEvent> event = NamedEvent::create_or_open(name);
    if (!event) return 1;
    event->signal();
    std::FILE* file = std::fopen(marker.string().c_str(), "wb");
    if (file == nullptr || std::fclose(file) != 0) return 1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    std::error_code error;
    while (std::filesystem::exists(marker, error) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool waits = argc == 3 && has_prefix(argv[2], kWait);
    const bool holds = argc == 3 && has_prefix(argv[2], kHold);
    if ((argc != 2 && !waits && !holds) || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: kadosignal EVENT-NAME [--wait=SECONDS | --hold=FILE]\n");
        return 2;
    }
    if (holds) return hold_signalled(argv[1], argv[2] + std::strlen(kHold));
    return wait_and_signal(argv[1], waits ? std::atoi(argv[2] + std::strlen(kWait)) : 0);
}
