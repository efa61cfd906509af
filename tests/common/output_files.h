// Writing test inputs and reading the files of a read and of the simulator's intended recording
// back for comparison: whole files, binary word files and text files of event times. Header-only,
// for the unit and end-to-end suites.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The first `count` bytes of a file, or all of them.
inline std::vector<uint8_t> read_bytes(const std::string& path, size_t count = SIZE_MAX) {
    const std::string bytes = read_file(path);
    return {bytes.begin(),
            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(count, bytes.size()))};
}

inline void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    write_file(path, std::string(bytes.begin(), bytes.end()));
}

// The names of the folder's entries, sorted.
inline std::vector<std::string> file_names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The folder's files by name, with their bytes.
inline std::map<std::string, std::string> folder_files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = read_file(entry.path().string());
    return files;
}

// Little-endian words of sizeof(Word) bytes from byte `from` on.
template <typename Word = uint16_t>
std::vector<Word> read_words(const std::string& path, size_t from = 0) {
    const std::string bytes = read_file(path);
    std::vector<Word> words(bytes.size() > from ? (bytes.size() - from) / sizeof(Word) : 0);
    for (size_t i = 0; i < words.size(); ++i) {
        uint32_t w = 0;
        for (size_t b = 0; b < sizeof(Word); ++b)
            w |= uint32_t{static_cast<unsigned char>(bytes[from + i * sizeof(Word) + b])} << 8 * b;
        words[i] = static_cast<Word>(w);
    }
    return words;
}

// The index of the first differing element, or -1: a failure then names one position.
template <typename T>
int64_t first_difference(const std::vector<T>& a, const std::vector<T>& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return ia == a.end() && ib == b.end() ? -1 : static_cast<int64_t>(ia - a.begin());
}

// Event times, one number per line.
inline std::vector<double> read_events(const std::string& path) {
    std::ifstream in(path);
    std::vector<double> seconds;
    for (double t = 0; in >> t;)
        seconds.push_back(t);
    return seconds;
}
