#include "card/side_files.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support/byte_order.h"
#include "support/card_file.h"
#include "support/file_utils.h"

namespace {

// The recorder finds a fixed-size file and records over its data bytes; the status checks reject
// a card whose speech file has any other size.
constexpr size_t kWavFileSize = 65536;
constexpr size_t kWavHeaderSize = 58;
constexpr uint32_t kWavDataBytes = 65477;
constexpr uint32_t kWavSampleRate = 8000;
constexpr size_t kCnavFileSize = 8192;
// The folder and name together must fit the recorder firmware's path buffer.
constexpr size_t kMaxSideFilePath = 255;

void put_tag(uint8_t* at, const char (&tag)[5]) {
    std::memcpy(at, tag, 4);
}

// 8-bit mono PCM at 8000 samples per second with a fact chunk; the data chunk is odd-sized, so
// one pad byte follows it and fills the file to exactly 65536 bytes.
std::vector<uint8_t> empty_wav() {
    std::vector<uint8_t> bytes(kWavFileSize, 0);
    uint8_t* h = bytes.data();
    put_tag(h + 0, "RIFF");
    put_u32le(h + 4, kWavFileSize - 8);
    put_tag(h + 8, "WAVE");
    put_tag(h + 12, "fmt ");
    put_u32le(h + 16, 18);
    put_u16le(h + 20, 1);  // PCM
    put_u16le(h + 22, 1);  // mono
    put_u32le(h + 24, kWavSampleRate);
    put_u32le(h + 28, kWavSampleRate);
    put_u16le(h + 32, 1);
    put_u16le(h + 34, 8);
    put_u16le(h + 36, 0);
    put_tag(h + 38, "fact");
    put_u32le(h + 42, 4);
    put_u32le(h + 46, kWavDataBytes);
    put_tag(h + 50, "data");
    put_u32le(h + 54, kWavDataBytes);
    static_assert(kWavHeaderSize + kWavDataBytes + 1 == kWavFileSize);
    return bytes;
}

bool write_side_file(const std::string& folder, const char* name,
                     const std::vector<uint8_t>& bytes) {
    const std::string path = join_path(folder, name);
    if (path.size() > kMaxSideFilePath) return false;
    return write_card_file(path, bytes);
}

}  // namespace

bool write_empty_wav(const std::string& folder) {
    return write_side_file(folder, kWavFileName, empty_wav());
}

bool write_empty_cnav(const std::string& folder) {
    return write_side_file(folder, kCnavFileName, std::vector<uint8_t>(kCnavFileSize, 0));
}
