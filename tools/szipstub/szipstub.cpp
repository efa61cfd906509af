// szipstub: a stand-in for szip that records each call and exits with a chosen code. See --help.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::puts(
            "usage: szipstub ARGS...\n"
            "Appends its arguments as one line to the file SZIPSTUB_LOG names and exits with\n"
            "SZIPSTUB_EXIT (default 3; \"hang\" never exits). Copied as szip beside the program, "
            "it stands in for the\n"
            "real tool in the tests of the Retry/Cancel question.");
        return 0;
    }
    if (const char* log = std::getenv("SZIPSTUB_LOG")) {
        if (std::FILE* file = std::fopen(log, "a")) {
            for (int i = 1; i < argc; ++i)
                std::fprintf(file, i == 1 ? "%s" : " %s", argv[i]);
            std::fputc('\n', file);
            std::fclose(file);
        }
    }
    const char* code = std::getenv("SZIPSTUB_EXIT");
    while (code != nullptr && std::strcmp(code, "hang") == 0)
        std::this_thread::sleep_for(std::chrono::seconds(1));
    return code != nullptr ? std::atoi(code) : 3;
}
