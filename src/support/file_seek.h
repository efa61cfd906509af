// 64-bit positioning of standard file streams: ecg.dat fills a whole card and may pass 2 GiB,
// beyond what fseek's long reaches on Windows.
#pragma once

#include <cstdint>
#include <cstdio>

bool seek_file(std::FILE* file, uint64_t offset);
