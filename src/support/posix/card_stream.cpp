// Card streams on Linux: a plain descriptor, written with write(2) so that ENOSPC is seen as the
// full medium it is.
#include "support/card_stream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "support/file_utils.h"
#include "support/io_faults.h"

struct CardStream::Handle {
    int fd = -1;
};

CardStream::CardStream() : m_handle(std::make_unique<Handle>()) {}

CardStream::~CardStream() {
    if (m_handle->fd >= 0) ::close(m_handle->fd);
}

namespace {

// The advisory lock is the nearest POSIX has to a share mode of none.
int open_locked(const std::string& path, int flags) {
    const int fd =
        ::open(native_path(path).c_str(), flags | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool CardStream::create(const std::string& path) {
    if (m_handle->fd >= 0 || io_step_fails(IoStep::create)) return false;
    // Opened without truncation and emptied once the lock is held, so that a file another
    // program is writing is not cut under it.
    m_handle->fd = open_locked(path, O_CREAT);
    if (m_handle->fd < 0) return false;
    if (::ftruncate(m_handle->fd, 0) != 0) {
        ::close(m_handle->fd);
        m_handle->fd = -1;
        return false;
    }
    m_position = 0;
    return true;
}

bool CardStream::open_existing(const std::string& path) {
    if (m_handle->fd >= 0 || io_step_fails(IoStep::create)) return false;
    m_handle->fd = open_locked(path, 0);
    m_position = 0;
    return m_handle->fd >= 0;
}

StreamWrite CardStream::write(std::span<const uint8_t> bytes) {
    if (m_handle->fd < 0 || io_step_fails(IoStep::write)) return StreamWrite::failed;
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_handle->fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == ENOSPC || errno == EDQUOT)) return StreamWrite::disk_full;
        if (written <= 0) return StreamWrite::failed;
        bytes = bytes.subspan(static_cast<size_t>(written));
        m_position += static_cast<uint64_t>(written);
    }
    return StreamWrite::written;
}

bool CardStream::cut_to(uint64_t size) {
    if (m_handle->fd < 0 || size > m_position) return false;
    if (::ftruncate(m_handle->fd, static_cast<off_t>(size)) != 0 ||
        ::lseek(m_handle->fd, static_cast<off_t>(size), SEEK_SET) < 0)
        return false;
    m_position = size;
    return true;
}

bool CardStream::flush() {
    return m_handle->fd >= 0 && !io_step_fails(IoStep::flush) && ::fsync(m_handle->fd) == 0;
}

bool CardStream::close() {
    if (m_handle->fd < 0) return false;
    const bool failing = io_step_fails(IoStep::flush);
    const bool closed = ::close(m_handle->fd) == 0;
    m_handle->fd = -1;
    return closed && !failing;
}
