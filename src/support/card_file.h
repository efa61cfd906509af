// Writing one of the card's small files so that it is on the medium when the call returns: a
// clinician may pull the card as soon as the program says it is done, and the recorder must then
// find the whole file. Card storage writes config.dat and the empty side files through this, and
// the exports write their small files the same way.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

// Card files are plain files. Every card file call below refuses a path whose last component is
// a symbolic link (a reparse point on Windows), so that a link planted on a card can neither feed
// the reader another file nor divert a write elsewhere. Links in the folders above it, such as a
// drive-map link or an output folder, are followed.

// Opens an existing card file for reading in byte mode; null when it cannot be opened.
std::FILE* open_card_file_read(const std::string& path);

// Creates or replaces the file with exclusive access, writes all bytes, flushes them to the
// medium and closes it. True only when every one of these steps succeeded. The new bytes go over
// the old ones in place, so the file keeps the clusters it has (on a card whose free space
// ecg.dat has taken there are no others); when a step fails, the old bytes are put back as far as
// the medium allows, and a file that did not exist before is removed again.
bool write_card_file(const std::string& path, std::span<const uint8_t> bytes);
