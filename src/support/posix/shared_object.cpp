#include "support/posix/shared_object.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// A name becomes one file name in the folder; NAME_MAX is 255.
bool path_of(const std::string& name, std::string& path) {
    if (name.empty() || name.size() > 250 || name.find('/') != std::string::npos) return false;
    const char* folder = std::getenv("KADO_SHM_DIR");
    path = (folder != nullptr && *folder != '\0' ? std::string(folder) : "/dev/shm") + "/" + name;
    return true;
}

bool flock_retrying(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// The holders' lock covers byte 0. Locks of one open file description never conflict with each
// other, so a holder that asks sees only the other holders.
struct flock holder_lock(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    return lock;
}

bool others_hold(int fd) {
    struct flock probe = holder_lock(F_WRLCK);
    // A failing query counts as held: a live object must never be emptied by mistake.
    return ::fcntl(fd, F_OFD_GETLK, &probe) != 0 || probe.l_type != F_UNLCK;
}

bool take_holder_lock(int fd) {
    struct flock lock = holder_lock(F_RDLCK);
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Removes the name only while it still names this descriptor's object.
void remove_name(int fd, const std::string& path) {
    struct stat held;
    struct stat named;
    if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        ::unlink(path.c_str());
}

// Sparse pages of a shared-memory object are only allocated when first written; on a full
// /dev/shm that write kills the process with SIGBUS. Reserving them up front turns that into a
// failure here.
bool reserve(int fd, off_t size) {
    return size == 0 || ::posix_fallocate(fd, 0, size) == 0;
}

enum class Outcome { held, gone, failed };

// The steps of hold_shared_object under the object's flock.
Outcome hold_locked(int fd, const std::string& path, size_t create_size, bool writable,
                    bool& fresh) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return Outcome::failed;
    // The last holder removed it while this opener waited for the lock.
    if (st.st_nlink == 0) return Outcome::gone;
    fresh = !others_hold(fd);
    if (fresh) {
        const auto size = static_cast<off_t>(create_size);
        if (create_size == 0 || ::ftruncate(fd, 0) != 0 || ::ftruncate(fd, size) != 0 ||
            !reserve(fd, size)) {
            remove_name(fd, path);
            return Outcome::failed;
        }
    } else if (writable && !reserve(fd, st.st_size)) {
        return Outcome::failed;
    }
    return take_holder_lock(fd) ? Outcome::held : Outcome::failed;
}

}  // namespace

HeldObject hold_shared_object(const std::string& name, size_t create_size, bool writable) {
    std::string path;
    if (!path_of(name, path)) return {};
    // Emptying and sizing need write access even for a section that is then mapped read-only.
    int flags = O_CLOEXEC | O_NOFOLLOW | (writable || create_size > 0 ? O_RDWR : O_RDONLY);
    if (create_size > 0) flags |= O_CREAT;
    for (;;) {
        const int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) return {};
        bool fresh = false;
        const Outcome outcome = flock_retrying(fd, LOCK_EX)
                                    ? hold_locked(fd, path, create_size, writable, fresh)
                                    : Outcome::failed;
        if (outcome == Outcome::held) {
            flock_retrying(fd, LOCK_UN);
            return {fd, fresh};
        }
        ::close(fd);
        if (outcome == Outcome::failed) return {};
    }
}

void release_shared_object(int fd, const std::string& name) {
    if (fd < 0) return;
    std::string path;
    if (path_of(name, path) && flock_retrying(fd, LOCK_EX) && !others_hold(fd))
        remove_name(fd, path);
    // Closing drops both the hold and the flock.
    ::close(fd);
}
