// What the command line sets for every output road besides the run request: duration, resolution
// and the names of the memory-mapped sections and the terminator event. The application keeps
// one and hands it to the reads.
#pragma once

#include <cstdint>
#include <string>

struct OutputSettings {
    int32_t duration_hours = 0;
    int32_t resolution_bits = 12;
    // Derived from resolution_bits by set_resolution_bits.
    int32_t resolution_shift = 0;
    int32_t resolution_rounding = 0;
    uint32_t resolution_mask = 0xFFFFFFFFu;
    std::string mmf_instance;
    std::string mmf_base_name;
    // overview.html beside the read's output (always for an edf read).
    bool overview = false;

    // bits must lie in 8..12.
    void set_resolution_bits(int32_t bits);
};
