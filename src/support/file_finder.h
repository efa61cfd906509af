// Directory enumeration for the tree operations and the card search: the entries of one folder
// that match a name pattern ("*.*", "*.LDSC", "CONFIG.DAT") and an attribute mask. Names that
// begin with a dot are never reported, whatever the mask.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Entry attributes, with the values of the Windows file attributes. On Linux an entry is a
// folder (kAttributeDirectory) or else a file (kAttributeArchive); a symbolic link is a file with
// kAttributeReparsePoint, so tree operations remove the link and never follow it;
// kAttributeReadOnly is set when no write permission bit is set.
inline constexpr uint32_t kAttributeReadOnly = 0x01;
inline constexpr uint32_t kAttributeHidden = 0x02;
inline constexpr uint32_t kAttributeSystem = 0x04;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeArchive = 0x20;
inline constexpr uint32_t kAttributeNormal = 0x80;
inline constexpr uint32_t kAttributeReparsePoint = 0x400;

// Masks: files only, or every entry. Any other mask reports the entries whose attributes share a
// bit with it.
inline constexpr uint32_t kFindFiles = 0x7FEF;
inline constexpr uint32_t kFindAll = 0x7FFF;

class FileFinder {
  public:
    // The pattern is a folder (up to its last separator) followed by a name that may hold the
    // wildcards * and ?, matched without regard to letter case; "*.*" matches every name.
    FileFinder(const std::string& pattern, uint32_t attribute_mask);
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // True when no further entry exists; the accessors below are then meaningless.
    bool done() const { return m_done; }
    // True when the folder could not be searched at all (missing, not a folder, no access), as
    // opposed to holding no matching entry.
    bool failed() const { return m_failed; }
    void next();

    const std::string& name() const { return m_name; }
    std::string path() const { return m_folder + m_name; }
    uint32_t attributes() const { return m_attributes; }
    bool is_folder() const { return (m_attributes & kAttributeDirectory) != 0; }
    uint64_t size() const { return m_size; }

  private:
    struct State;  // the platform's open search
    struct StateCloser {
        void operator()(State* state) const;
    };
    bool open(const std::string& pattern);
    bool read_entry();  // the next raw entry into the members below; false at the end

    std::string m_folder;  // the pattern up to and including its last separator
    uint32_t m_mask;
    std::unique_ptr<State, StateCloser> m_state;
    bool m_done = false;
    bool m_failed = false;
    std::string m_name;
    uint32_t m_attributes = 0;
    uint64_t m_size = 0;
};
