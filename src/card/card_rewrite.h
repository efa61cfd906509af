// Rewriting the card's small files. A conditioned card has no free space, so config.dat,
// patient.wav and cnav.dat are written over their old bytes in place (write_card_file), never
// through a new file and a rename. A read-only file is made writable for the write and read-only
// again afterwards, whether the write succeeded or not.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// Runs `write` with the file's read-only attribute cleared, then restores it; write's result.
bool write_keeping_read_only(const std::string& path, const std::function<bool()>& write);

// write_card_file under write_keeping_read_only.
bool rewrite_card_file(const std::string& path, std::span<const uint8_t> bytes);
