// One gzip member (RFC 1952) between two open files, in pieces of 64 KiB: the packed format of
// szip. Shared by the szip tool and the test archive writer; the program itself never links zlib.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace szip {

// Exit codes of the szip tool; the archive reader relies only on 0 meaning success.
enum Result : int {
    kSuccess = 0,
    kUsage = 1,
    kInputError = 2,
    kCorruptData = 3,
    kOutputError = 4,
};

// Decompression bombs end here: no member the recorder can make comes near it.
inline constexpr uint64_t kOutputCap = uint64_t{4} << 30;

// Unpacks exactly one member; bytes after it, a short member or output beyond the cap are corrupt.
Result unpack_stream(std::FILE* in, std::FILE* out, uint64_t cap = kOutputCap);
Result pack_stream(std::FILE* in, std::FILE* out);

// The same in memory, for writers that build archives in memory.
std::string pack_bytes(const std::string& bytes);

}  // namespace szip
