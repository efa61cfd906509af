#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>

#include "support/file_seek.h"

bool seek_file(std::FILE* file, uint64_t offset) {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::optional<uint64_t> stream_position(std::FILE* file) {
    const off_t position = ftello(file);
    if (position < 0) return std::nullopt;
    return static_cast<uint64_t>(position);
}

std::optional<uint64_t> stream_size(std::FILE* file) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0) return std::nullopt;
    return static_cast<uint64_t>(status.st_size);
}
