// kadosignal NAME: signals the existing named event NAME (for example "KADO TERMINATOR", or an
// instance text followed by ".terminator.signal"), the way a calling application stops a read.
// Exit code 0 when it was signalled, 1 when no such event exists, 2 on a bad command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "support/named_event.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: kadosignal EVENT-NAME\n");
        return 2;
    }
    return signal_named_event(argv[1]) ? 0 : 1;
}
