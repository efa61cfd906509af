#include <cstdio>

#include "support/file_seek.h"

bool seek_file(std::FILE* file, uint64_t offset) {
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
}
