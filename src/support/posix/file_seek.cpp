#include <sys/types.h>

#include <cstdio>

#include "support/file_seek.h"

bool seek_file(std::FILE* file, uint64_t offset) {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}
