// Reading the files of a read and of the simulator's intended recording back for comparison:
// binary word files and text files of event times. Header-only, for the unit and end-to-end
// suites.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Little-endian words of sizeof(Word) bytes from byte `from` on.
template <typename Word = uint16_t>
std::vector<Word> read_words(const std::string& path, size_t from = 0) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
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
