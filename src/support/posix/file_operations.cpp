// Creating and removing single files and folders, and copying a file, on Linux.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/file_backend.h"
#include "support/file_utils.h"
#include "support/io_faults.h"

namespace {

bool write_all(int fd, const char* data, size_t length) {
    while (length > 0) {
        const ssize_t written = write(fd, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

bool copy_contents(int in, int out) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t length = read(in, buffer.data(), buffer.size());
        if (length < 0 && errno == EINTR) continue;
        if (length < 0) return false;
        if (length == 0) return true;
        if (io_step_fails(IoStep::write) ||
            !write_all(out, buffer.data(), static_cast<size_t>(length)))
            return false;
    }
}

bool copy_open_file(int in, const struct stat& source, const std::string& target) {
    if (io_step_fails(IoStep::create)) return false;
    const int out = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                         source.st_mode & 0777);
    if (out < 0) return false;
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    bool copied =
        copy_contents(in, out) && futimens(out, times) == 0 && !io_step_fails(IoStep::flush);
    copied = close(out) == 0 && copied;
    // A partly written target is worse than none.
    if (!copied) unlink(target.c_str());
    return copied;
}

}  // namespace

bool create_folder(const std::string& path) {
    return mkdir(native_path(path).c_str(), 0777) == 0;
}

bool remove_folder(const std::string& path) {
    return rmdir(native_path(path).c_str()) == 0;
}

bool remove_file(const std::string& path) {
    const std::string native = native_path(path);
    struct stat st;
    if (lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    if (!S_ISLNK(st.st_mode) && is_read_only(path)) return false;
    return unlink(native.c_str()) == 0;
}

bool copy_file_over(const std::string& source, const std::string& target) {
    const int in = open(native_path(source).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st;
    const bool copied =
        fstat(in, &st) == 0 && S_ISREG(st.st_mode) && copy_open_file(in, st, native_path(target));
    close(in);
    return copied;
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat first;
    struct stat second;
    return stat(native_path(a).c_str(), &first) == 0 &&
           stat(native_path(b).c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}
