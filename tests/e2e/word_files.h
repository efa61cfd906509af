// Reading the outputs the end-to-end tests compare: files of 16-bit little-endian sample words
// and text files of event times.
#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

inline std::vector<uint16_t> read_words(const std::string& path) {
    const std::string bytes = read_file_text(path);
    std::vector<uint16_t> words(bytes.size() / 2);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return words;
}

inline std::vector<double> read_events(const std::string& path) {
    std::istringstream in(read_file_text(path));
    std::vector<double> seconds;
    for (double t = 0; in >> t;)
        seconds.push_back(t);
    return seconds;
}

// The index of the first differing word, or -1: a failure then names one time point.
inline int64_t first_difference(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) return static_cast<int64_t>(i);
    return a.size() == b.size() ? -1 : static_cast<int64_t>(std::min(a.size(), b.size()));
}
