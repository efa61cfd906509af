// The headers of the 12-lead files: 59 bytes in front of each lead file and 29 in front of
// pn12pac.dat, reserved when the files are created and filled in when the read ends.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr size_t kLeadHeaderSize = 59;
inline constexpr size_t kPacingHeaderSize = 29;

// Second, minute, hour, day, month, year - 1900 (modulo 256), in this order in both headers.
using HeaderTime = std::array<uint8_t, 6>;

// The calendar time of a number of seconds since 2000-01-01 00:00:00 (may be negative).
HeaderTime header_time_of(int64_t seconds_since_2000);

struct LeadHeader {
    std::string procedure_id;  // at most 16 characters; exactly 16 leave no terminating zero
    HeaderTime time{};
    std::string lead_label;
    uint16_t smallest = 0;
    uint16_t largest = 0;
};

std::array<uint8_t, kLeadHeaderSize> encode_lead_header(const LeadHeader& header);
std::array<uint8_t, kPacingHeaderSize> encode_pacing_header(const std::string& procedure_id,
                                                            const HeaderTime& time);
