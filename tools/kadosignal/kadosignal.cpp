// kadosignal NAME [--wait=SECONDS]: signals the existing named event NAME (for example
// "KADO TERMINATOR", or an instance text followed by ".terminator.signal"), the way a calling
// application stops a read. With --wait it keeps trying every millisecond until the event exists
// or the seconds have passed, so that a caller can stop a read the moment it begins.
// Exit code 0 when it was signalled, 1 when no such event exists (in time), 2 on a bad command
// line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "support/named_event.h"

int main(int argc, char** argv) {
    constexpr const char* kWait = "--wait=";
    const bool waits = argc == 3 && std::strncmp(argv[2], kWait, std::strlen(kWait)) == 0;
    if ((argc != 2 && !waits) || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: kadosignal EVENT-NAME [--wait=SECONDS]\n");
        return 2;
    }
    const int seconds = waits ? std::atoi(argv[2] + std::strlen(kWait)) : 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!signal_named_event(argv[1])) {
        if (std::chrono::steady_clock::now() >= deadline) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 0;
}
