// The entry of a fuzz target built without libFuzzer: feeds every file of the folders (or the
// files) named on the command line through the target once, in name order, so that the checked-in
// corpus runs as a test in every build and a reproducer runs under a debugger.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        // Absolute, because a target may change the working folder to a sandbox of its own.
        const fs::path named = fs::absolute(argv[i]);
        if (!fs::is_directory(named)) {
            inputs.push_back(named);
            continue;
        }
        for (const auto& entry : fs::directory_iterator(named))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        std::vector<uint8_t> bytes = fuzz::read_bytes(input.string());
        // libFuzzer never passes a null pointer, even for an empty input.
        const uint8_t empty = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &empty : bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    // A corpus that went missing must not pass for one that passed.
    return inputs.empty() ? 1 : 0;
}
