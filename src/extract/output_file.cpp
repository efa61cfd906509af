#include "extract/output_file.h"

#include <algorithm>
#include <cstring>

#include "support/file_seek.h"
#include "support/file_utils.h"
#include "support/io_faults.h"

namespace {

// Large enough that writing a 24-hour recording costs a few thousand calls per file.
constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

bool OutputFile::create(const std::string& path, bool text) {
    close();
    m_failed = false;
    if (io_step_fails(IoStep::create)) return false;
    m_file.reset(std::fopen(native_path(path).c_str(), text ? "w" : "wb"));
    if (!m_file) return false;
    m_buffer.resize(kBufferSize);
    m_used = 0;
    return true;
}

void OutputFile::flush() {
    if (m_used == 0) return;
    if (!m_file || io_step_fails(IoStep::write) ||
        std::fwrite(m_buffer.data(), 1, m_used, m_file.get()) != m_used)
        m_failed = true;
    m_used = 0;
}

bool OutputFile::make_room() {
    flush();
    if (m_buffer.empty()) m_failed = true;
    return !m_buffer.empty();
}

void OutputFile::put_repeated_u16(uint16_t word, int64_t count) {
    for (int64_t i = 0; i < count; ++i)
        put_u16(word);
}

void OutputFile::put_bytes(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        if (m_used == m_buffer.size() && !make_room()) return;
        const size_t n = std::min(bytes.size(), m_buffer.size() - m_used);
        std::memcpy(m_buffer.data() + m_used, bytes.data(), n);
        m_used += n;
        bytes = bytes.subspan(n);
    }
}

void OutputFile::put_line(const char* format, int value) {
    char text[32];
    const int length = std::snprintf(text, sizeof text, format, value);
    if (length > 0)
        put_bytes({reinterpret_cast<const uint8_t*>(text),
                   std::min(static_cast<size_t>(length), sizeof text - 1)});
}

bool OutputFile::overwrite_start(std::span<const uint8_t> bytes) {
    flush();
    if (!m_file || !seek_file(m_file.get(), 0) || io_step_fails(IoStep::write) ||
        std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size() ||
        std::fseek(m_file.get(), 0, SEEK_END) != 0)
        m_failed = true;
    return !m_failed;
}

bool OutputFile::close() {
    if (!m_file) return !m_failed;
    flush();
    // The handle is released whatever the step's outcome.
    if (io_step_fails(IoStep::flush)) m_failed = true;
    if (std::fclose(m_file.release()) != 0) m_failed = true;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    return !m_failed;
}
