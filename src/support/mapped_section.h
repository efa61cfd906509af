// A named shared-memory section that another process can map by the same name: the hand-off of
// samples and events to a running analysis application. Windows: a section backed by the paging
// file. Linux: a POSIX shared-memory object (/dev/shm/<name>) whose pages are reserved when it is
// made, and which, as on Windows, lives while anybody holds it (the backend states the rule for
// one that a killed process left behind). A section that exists already is opened with its
// existing size; the view always covers the whole section, and size() reports what can really be
// written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class MappedSection {
  public:
    MappedSection() = default;
    MappedSection(const std::string& name, uint32_t size, bool writable) {
        create(name, size, writable);
    }
    ~MappedSection() { close(); }
    MappedSection(const MappedSection&) = delete;
    MappedSection& operator=(const MappedSection&) = delete;

    // False when the platform cannot take the name or the section or its view cannot be made;
    // a name is never altered to make it fit.
    bool create(const std::string& name, uint32_t size, bool writable);
    // Maps a section that another process made; false when none of that name exists, so that a
    // receiver waiting for the sender never creates them itself.
    bool open_existing(const std::string& name, bool writable);
    void close();

    uint8_t* view() const { return m_view; }
    // Bytes mapped: the requested size for a new section, the existing size for an opened one.
    size_t size() const { return m_size; }
    const std::string& name() const { return m_name; }
    // True when this object made the section rather than opening one that existed.
    bool created_here() const { return m_created_here; }

  private:
#if defined(_WIN32)
    bool adopt(intptr_t handle, uint32_t access, size_t known_size, const std::string& name);
#else
    bool adopt(int fd, bool writable, const std::string& name);
#endif
    intptr_t m_handle = -1;
    uint8_t* m_view = nullptr;
    size_t m_size = 0;
    std::string m_name;
    bool m_created_here = false;
};
