#include "support/card_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "support/file_utils.h"

namespace {

bool write_all(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

// Holds the lock, truncates, writes and syncs; the caller closes on every road.
bool replace_contents(int fd, std::span<const uint8_t> bytes) {
    // The advisory lock is the nearest POSIX has to a share mode of none: it keeps out every
    // other writer that asks, which is all that cooperating programs on Linux can do. Truncating
    // only after the lock is held keeps a second writer from emptying a file being written.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
    if (::ftruncate(fd, 0) != 0) return false;
    return write_all(fd, bytes) && ::fsync(fd) == 0;
}

}  // namespace

bool write_card_file(const std::string& path, std::span<const uint8_t> bytes) {
    const int fd = ::open(native_path(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool written = replace_contents(fd, bytes);
    const bool closed = ::close(fd) == 0;
    return written && closed;
}
