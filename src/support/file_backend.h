// The few platform primitives that the portable file algorithms (path text, tree operations,
// volume queries) are built on; each backend implements them beside its other file services.
#pragma once

#include <cstdint>
#include <string>

// Position of the first path separator at or after `from` (a character boundary), or npos. On
// Windows the scan steps over double-byte characters of the system code page.
size_t find_separator(const std::string& text, size_t from);

// Deletes one file as it is; fails on a read-only file.
bool remove_file(const std::string& path);

// Free bytes available to the caller and total bytes of the volume that holds the folder.
bool disk_space(const std::string& folder, uint64_t& free_to_caller, uint64_t& total);

// "E:": two characters, the second a colon. Such a text names a drive and is never tested further.
inline bool is_bare_drive(const std::string& path) {
    return path.size() == 2 && path[1] == ':';
}

// Copies the source over the target, replacing it; the target keeps the source's last-write time.
bool copy_file_over(const std::string& source, const std::string& target);
