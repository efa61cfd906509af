// The XOR checksum that CEF archives carry over their members.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "support/byte_order.h"
#include "support/file_utils.h"

uint32_t file_xor_checksum(std::FILE* file) {
    constexpr size_t kChunkBytes = 0x20000;
    std::vector<uint8_t> chunk(kChunkBytes);
    uint32_t sum = 0;
    for (;;) {
        size_t length = std::fread(chunk.data(), 1, chunk.size(), file);
        if (std::ferror(file)) return 0xFFFFFFFFu;
        if (length == 0) return sum;
        // A short last chunk counts as if zero bytes filled its last word.
        while (length % 4 != 0)
            chunk[length++] = 0;
        for (size_t i = 0; i < length; i += 4)
            sum ^= get_u32le(chunk.data() + i);
    }
}
