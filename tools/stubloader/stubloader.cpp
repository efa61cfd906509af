// stubloader: a stand-in for the other system's ECG loader that records how it was called and
// exits with a chosen code. See --help.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

// What the program received before any splitting: Windows hands over one text, Linux the
// argument vector itself.
std::string raw_command_line(int argc, char** argv) {
#if defined(_WIN32)
    (void)argc;
    (void)argv;
    return GetCommandLineA();
#else
    std::string line;
    for (int i = 0; i < argc; ++i)
        line += std::string(i == 0 ? "" : " ") + argv[i];
    return line;
#endif
}

// Ends the program the way a fault does: a signal on Linux (abort, which the sanitizers leave
// alone), an access violation on Windows (where abort would exit with code 3).
[[noreturn]] void crash() {
#if defined(_WIN32)
    SetErrorMode(SEM_NOGPFAULTERRORBOX);  // no crash dialog or debugger under Wine
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
#endif
    std::abort();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::puts(
            "usage: stubloader ARGS...\n"
            "Writes to the file STUBLOADER_LOG names its raw command line on the first line\n"
            "and then each argument after the program name on a line of its own, and exits\n"
            "with STUBLOADER_EXIT (default 0; \"hang\" never exits, \"crash\" aborts).\n"
            "Copied as StratusStandardECGLoader.exe into the folder StratusStandardECGLoader\n"
            "beside kado, it stands in for the loader in the tests of the loader dispatch.");
        return 0;
    }
    if (const char* log = std::getenv("STUBLOADER_LOG")) {
        if (std::FILE* file = std::fopen(log, "wb")) {
            std::fprintf(file, "%s\n", raw_command_line(argc, argv).c_str());
            for (int i = 1; i < argc; ++i)
                std::fprintf(file, "%s\n", argv[i]);
            std::fclose(file);
        }
    }
    const char* code = std::getenv("STUBLOADER_EXIT");
    if (code == nullptr) return 0;
    if (std::strcmp(code, "crash") == 0) crash();
    while (std::strcmp(code, "hang") == 0)
        std::this_thread::sleep_for(std::chrono::seconds(1));
    return std::atoi(code);
}
