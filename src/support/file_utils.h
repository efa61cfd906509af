// File and disk utilities: the only way the program touches the file system besides its own file
// streams. Stateless, synchronous; failures are values, never messages or exceptions.
// Paths are byte strings; kPathSeparator is the only separator recognised (backslash on Windows,
// slash on Linux). On Linux a leading drive text such as "E:" is resolved through the drive map.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Joins a folder and a name with exactly one separator between them.
std::string join_path(const std::string& folder, const std::string& name);

// Existence and attributes.
bool file_exists(const std::string& path);
bool folder_exists(const std::string& path);
int32_t file_size(const std::string& path);
bool touch_file(const std::string& path);
void set_read_only(const std::string& path);
void clear_read_only(const std::string& path);
bool is_read_only(const std::string& path);

// Path text.
std::string folder_with_slash(const std::string& path);
std::string folder_of(const std::string& path);
std::string file_name_of(const std::string& path);
std::string change_extension(const std::string& path, const std::string& ext);
std::string trim_right_char(const std::string& text, char c);

// Files and folders.
bool create_folder(const std::string& path);  // one level, no parents
bool copy_file_plain(const std::string& source, const std::string& target);
bool delete_file(const std::string& path);
bool make_directory_tree(const std::string& path);
bool empty_folder(const std::string& folder);
bool delete_tree(const std::string& folder, bool recurse, bool clear_attributes);

// Volumes.
std::string volume_label(char letter);
int32_t free_space(const std::string& path);
int32_t total_size(const std::string& path);
uint64_t total_size64(const std::string& path);

// Temporary names.
std::string temp_folder();
std::string temp_file_name();
std::string make_temp_folder(const std::string& ext);

// XOR of the little-endian 32-bit words from the file's position to its end; all bits set on a
// read error.
uint32_t file_xor_checksum(std::FILE* file);
