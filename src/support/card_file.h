// Writing one of the card's small files so that it is on the medium when the call returns: a
// clinician may pull the card as soon as the program says it is done, and the recorder must then
// find the whole file. Card storage writes config.dat through this.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// Creates or replaces the file with exclusive access, writes all bytes, flushes them to the
// medium and closes it. True only when every one of these steps succeeded; a failure may leave a
// partly written file behind.
bool write_card_file(const std::string& path, std::span<const uint8_t> bytes);
