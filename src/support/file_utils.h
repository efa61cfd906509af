// File and disk utilities: the only way the program touches the file system besides its own file
// streams. Stateless, synchronous; failures are values, never messages or exceptions.
// Paths are byte strings; kPathSeparator is the only separator recognised (backslash on Windows,
// slash on Linux). On Linux a leading drive text such as "E:" is resolved through the drive map
// (see native_path), and a name that misses only by letter case finds the existing entry, as on
// the Windows file systems the program was made for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Joins a folder and a name with exactly one separator between them; an empty folder gives the
// name alone.
std::string join_path(const std::string& folder, const std::string& name);

// The path as the platform's own file calls take it, for code that opens file streams itself.
// Windows: unchanged. Linux: a leading drive text goes through the drive map, and each existing
// folder or file named with other letter case is found.
std::string native_path(const std::string& path);

// Existence and attributes. "Read-only" is the file's attribute on Windows and the absence of
// every write permission bit on Linux; code that writes where read-only matters tests
// is_read_only first, because root ignores permission bits.
bool file_exists(const std::string& path);
bool folder_exists(const std::string& path);  // a bare drive such as "E:" is always a folder
int32_t file_size(const std::string& path);   // low 32 bits of the size; -1 when not a file
bool touch_file(const std::string& path);     // every file time to now; fails on read-only files
void set_read_only(const std::string& path);
void clear_read_only(const std::string& path);
bool is_read_only(const std::string& path);
void set_normal_attributes(const std::string& path);

// Path text. Separator searches never take the trail byte of a double-byte character for one.
std::string folder_with_slash(const std::string& path);
std::string folder_of(const std::string& path);
std::string file_name_of(const std::string& path);
std::string change_extension(const std::string& path, const std::string& ext);
std::string trim_right_char(const std::string& text, char c);

// Files and folders.
bool create_folder(const std::string& path);  // one level, no parents
bool remove_folder(const std::string& path);  // one level, must be empty
// Replaces the target even when it is read-only, keeps the source's last-write time, and leaves
// the target with normal attributes. Callers that show a status text set it before the call.
// A target that is the source itself (same_file) is left as it is, and the copy succeeds.
// A source or target that is a symbolic link (a reparse point) is refused, as card files are.
bool copy_file_plain(const std::string& source, const std::string& target);
// Whether both paths name one existing file: the same device and file number, so also through
// another spelling of the name or a hard link. False when either cannot be examined.
bool same_file(const std::string& a, const std::string& b);
bool delete_file(const std::string& path);  // true when nothing of that name exists afterwards
bool make_directory_tree(const std::string& path);
bool empty_folder(const std::string& folder);  // files only; subfolders stay
// Deletes the folder's files (clearing read-only first when clear_attributes), its subfolders
// too when recurse, and then the folder itself unless it is a drive root. Stops at the first
// file or folder that cannot be deleted.
bool delete_tree(const std::string& folder, bool recurse, bool clear_attributes);
// The path of an existing file or folder with every link, drive text and relative part resolved,
// so that two spellings of one place compare equal; "" when it does not exist.
std::string real_path(const std::string& path);

// Volumes.
std::string volume_label(char letter);  // "?" when the volume cannot be read, "" when unlabelled
bool set_volume_label(const std::string& root, const std::string& label);
// Whether set_volume_label can be expected to succeed on the drive: false for a missing root, a
// read-only volume or one whose label belongs to its file system and is not rewritten here (a
// mounted block device on Linux).
bool can_set_volume_label(const std::string& root);
// The commands a user runs to give the volume the label by hand where the program cannot (a
// mounted device on Linux), one per line; "" where there are none.
std::string volume_label_commands(const std::string& root, const std::string& label);
int32_t free_space(const std::string& path);  // clamped to 2147483647; 0 on failure
int32_t total_size(const std::string& path);  // clamped to 2147483647; 0 on failure
uint64_t total_size64(const std::string& path);

// Temporary names.
std::string temp_folder();     // without a trailing separator
std::string temp_file_name();  // a new empty file "RM....tmp" in temp_folder; "" on failure
std::string make_temp_folder(const std::string& ext);  // a new empty folder, or ""

// XOR of the little-endian 32-bit words from the file's position to its end; all bits set on a
// read error.
uint32_t file_xor_checksum(std::FILE* file);

// Removes a folder tree when it goes out of scope (delete_tree with the given flags), so that
// every road out of the owner's scope cleans up. An empty folder text removes nothing.
class FolderRemovalGuard {
  public:
    FolderRemovalGuard(std::string folder, bool recurse, bool clear_attributes)
        : m_folder(std::move(folder)), m_recurse(recurse), m_clear_attributes(clear_attributes) {}
    ~FolderRemovalGuard();
    FolderRemovalGuard(const FolderRemovalGuard&) = delete;
    FolderRemovalGuard& operator=(const FolderRemovalGuard&) = delete;

  private:
    std::string m_folder;
    bool m_recurse;
    bool m_clear_attributes;
};
