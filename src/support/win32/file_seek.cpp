#include <io.h>

#include <cstdio>

#include "support/file_seek.h"

bool seek_file(std::FILE* file, uint64_t offset) {
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
}

std::optional<uint64_t> stream_position(std::FILE* file) {
    const long long position = _ftelli64(file);
    if (position < 0) return std::nullopt;
    return static_cast<uint64_t>(position);
}

std::optional<uint64_t> stream_size(std::FILE* file) {
    const long long size = _filelengthi64(_fileno(file));
    if (size < 0) return std::nullopt;
    return static_cast<uint64_t>(size);
}
