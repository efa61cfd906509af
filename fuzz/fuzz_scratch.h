// What every fuzz target shares: a scratch folder of its own process, removed at exit; a snapshot
// of the files under a folder, to prove that a run wrote nothing where it must not; a check that
// aborts with a message, so that libFuzzer and the replay program both report the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fuzz {

namespace fs = std::filesystem;

// Unique per process, so that campaigns, replays and tests that run at once never share a folder
// or a named section.
inline const std::string& process_token() {
    static const std::string token = [] {
        std::random_device device;
        return std::to_string(device()) + std::to_string(device() % 100000);
    }();
    return token;
}

[[noreturn]] inline void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz invariant broken: %s %s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void require(bool condition, const char* what, const std::string& detail = {}) {
    if (!condition) fail(what, detail);
}

class ScratchFolder {
  public:
    // A memory file system where there is one: reads flush config.dat to the medium, and on a
    // disk that would dominate a run.
    explicit ScratchFolder(const std::string& name) {
        const fs::path shm = "/dev/shm";
        std::error_code error;
        const fs::path base = fs::is_directory(shm, error) ? shm : fs::temp_directory_path();
        m_path = base / ("kado-fuzz-" + name + "-" + process_token());
        fs::remove_all(m_path, error);
        fs::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return m_path; }
    // A subfolder, created when missing.
    std::string folder(const std::string& name) const {
        fs::create_directories(m_path / name);
        return (m_path / name).string();
    }

  private:
    fs::path m_path;
};

// Every entry under root with its size (-1 for folders), by path relative to root; entries under
// `except` (relative) are left out.
using FileSet = std::map<std::string, int64_t>;

inline FileSet file_set(const fs::path& root, const std::string& except = {}) {
    FileSet set;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string relative = fs::relative(it->path(), root, error).generic_string();
        if (!except.empty() && (relative == except || relative.rfind(except + "/", 0) == 0)) {
            if (it->is_directory()) it.disable_recursion_pending();
            if (relative == except) set[relative] = -1;
            continue;
        }
        set[relative] = it->is_directory() ? -1 : static_cast<int64_t>(it->file_size(error));
    }
    return set;
}

inline void write_bytes(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// In one read: byte by byte, a megabyte costs a sanitizer build tens of milliseconds.
inline std::vector<uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

// Message boxes on Linux print their text and read their answer from standard input; a fuzz
// run answers none and keeps its log for what matters.
inline void silence_message_boxes() {
    // Takes every character and keeps none, so a million runs do not grow it.
    struct NullBuffer : std::streambuf {
        int overflow(int c) override { return traits_type::not_eof(c); }
    };
    static std::istringstream no_answers;
    static NullBuffer discarded;
    std::cin.rdbuf(no_answers.rdbuf());
    std::cerr.rdbuf(&discarded);
}

}  // namespace fuzz
