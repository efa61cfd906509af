// A card file written in large pieces: preallocating ecg.dat over the card's free space, the copy
// of a card's ecg.dat into a folder, and the rebuilt start sector written over the first sector.
// Unlike a buffered stream it tells a full medium apart from any other failure, because
// preallocation ends normally when the card is full and fails on every other error. Each step
// consults the I/O fault seam.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

enum class StreamWrite : uint8_t {
    written,    // every byte was written
    disk_full,  // the medium is full; what fitted stays written
    failed,     // any other error
};

class CardStream {
  public:
    CardStream();
    ~CardStream();  // closes the file without reporting
    CardStream(const CardStream&) = delete;
    CardStream& operator=(const CardStream&) = delete;

    // Creates or empties the file for writing, with exclusive access. A symbolic link in the
    // file's place is not followed: the open fails.
    bool create(const std::string& path);
    // Opens an existing file for writing from its start, keeping its contents and its clusters.
    bool open_existing(const std::string& path);

    // Writes all bytes at the current position.
    StreamWrite write(std::span<const uint8_t> bytes);
    // Bytes from the start of the file to the current position.
    uint64_t position() const { return m_position; }
    // Cuts the file to `size` bytes (never longer than it is); used to drop a partial sector
    // that a full medium left at the end.
    bool cut_to(uint64_t size);
    // Commits what was written to the medium.
    bool flush();
    // Closes the file; true when the close (and what it still writes) succeeded.
    bool close();

  private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    uint64_t m_position = 0;
};
