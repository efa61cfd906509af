// An output file of a read (sample files, other.dat, patevent.dat, the 12-lead files), written
// through one large buffer so that a 24-hour read makes few library calls. A write error is
// remembered and reported by failed() and close(), so that a full disk cannot pass for a good
// read.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { close(); }

    // Creates or truncates the file: byte mode, or text mode for the line files (CR LF on
    // Windows). False when it cannot be created.
    bool create(const std::string& path, bool text = false);
    bool is_open() const { return m_file != nullptr; }
    bool failed() const { return m_failed; }

    void put_u16(uint16_t word) {
        if (m_used + 2 > m_buffer.size() && !make_room()) return;
        m_buffer[m_used] = static_cast<uint8_t>(word);
        m_buffer[m_used + 1] = static_cast<uint8_t>(word >> 8);
        m_used += 2;
    }
    // Room at the end for `count` words (a few hundred at most), which the caller fills
    // little-endian; null when the file cannot take them, which failed() then reports.
    uint8_t* append_u16(size_t count) {
        const size_t bytes = 2 * count;
        if (m_used + bytes > m_buffer.size() && !make_room()) return nullptr;
        assert(m_used + bytes <= m_buffer.size());
        uint8_t* at = m_buffer.data() + m_used;
        m_used += bytes;
        return at;
    }
    void put_repeated_u16(uint16_t word, int64_t count);
    void put_bytes(std::span<const uint8_t> bytes);
    void put_line(const char* format, int value);

    // Writes bytes over the start of the file (a header reserved when the file was created);
    // later puts continue at the end.
    bool overwrite_start(std::span<const uint8_t> bytes);
    // Flushes and closes; true when every write of the file's life succeeded. Closing a file
    // that is not open is true.
    bool close();

  private:
    void flush();
    // Flushes; false (and failed) for a file that was never created or is closed.
    bool make_room();

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> m_file;
    std::vector<uint8_t> m_buffer;
    size_t m_used = 0;
    bool m_failed = false;
};
