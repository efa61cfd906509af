// 64-bit positioning of standard file streams: ecg.dat fills a whole card and may pass 2 GiB,
// beyond what fseek's long reaches on Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

bool seek_file(std::FILE* file, uint64_t offset);
// The stream's position; nothing when it cannot be had.
std::optional<uint64_t> stream_position(std::FILE* file);
// The size of the file behind an open stream; nothing when it cannot be had.
std::optional<uint64_t> stream_size(std::FILE* file);
