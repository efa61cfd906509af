// Reads a simulated card back with the project's own sector checks, unpacker and decoder, and
// turns it into the same words the simulator's intended output holds, so that a round-trip test
// compares the two sample for sample. The reading rules that are not in those units (the clock
// across pauses, the pacing window of uncompressed sectors, the 12-lead layout) are restated
// here from the format, independently of the simulator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ReadBack {
    bool ok = false;
    std::string failure;
    int channels = 0;
    std::vector<std::vector<uint16_t>> words;  // per channel, or per stored lead for 12-lead
    std::vector<uint32_t> pace_indices;        // 12-lead
    std::vector<double> events;                // event bits of uncompressed sectors
    uint64_t sectors = 0;                      // sectors processed before the end
};

ReadBack read_back_card(const std::string& card_folder);

// The intended output the simulator wrote, in the same shape.
ReadBack read_intended(const std::string& folder, int channels);

std::vector<uint8_t> read_file_bytes(const std::string& path);

// Seconds since 2000 of the first start sector's time; -1 when there is none.
int64_t recording_start_seconds(const std::string& card_folder);
