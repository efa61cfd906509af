#include "support/card_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "support/file_utils.h"
#include "support/io_faults.h"

namespace {

bool write_all_at(int fd, std::span<const uint8_t> bytes) {
    off_t at = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), at);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<size_t>(written));
        at += written;
    }
    return true;
}

bool read_all(int fd, std::vector<uint8_t>& bytes) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

// Writes over the old contents, cuts what is left of them and syncs.
bool replace_contents(int fd, std::span<const uint8_t> bytes) {
    if (io_step_fails(IoStep::write) || !write_all_at(fd, bytes)) return false;
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return false;
    return !io_step_fails(IoStep::flush) && ::fsync(fd) == 0;
}

}  // namespace

std::FILE* open_card_file_read(const std::string& path) {
    const int fd = ::open(native_path(path).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) ::close(fd);
    return file;
}

bool write_card_file(const std::string& path, std::span<const uint8_t> bytes) {
    if (io_step_fails(IoStep::create)) return false;
    const std::string native = native_path(path);
    bool created = true;
    // O_EXCL never follows a link; the open of an existing file refuses one with ELOOP.
    int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(native.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0) return false;
    // The advisory lock is the nearest POSIX has to a share mode of none: it keeps out every
    // other writer that asks, which is all that cooperating programs on Linux can do.
    bool written = false;
    std::vector<uint8_t> previous;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && read_all(fd, previous)) {
        written = replace_contents(fd, bytes);
        if (!written && created) {
            ::unlink(native.c_str());
        } else if (!written) {
            write_all_at(fd, previous);
            ::ftruncate(fd, static_cast<off_t>(previous.size()));
            ::fsync(fd);
        }
    }
    const bool closed = ::close(fd) == 0;
    return written && closed;
}
