// The corruption sweep: drives the sector-stream target systematically instead of at random. A
// ten-minute simulator recording of each sector kind (two segments, patient events) is read after
// each sector in turn has a bit or a byte of its body damaged, as stored (the checksum sees it)
// and, for every third sector, sealed again (the unpackers see it), and after ecg.dat has been cut
// at each sector boundary; every sixth damaged card is also read with salvage. The target's own
// checks hold after every read: the card no worse than before, nothing written outside the output
// folder, the outputs padded and finished.
#include <cstdio>
#include <string>
#include <vector>

#include "cardsim/lib/card_writer.h"
#include "format/crc16.h"
#include "format/sector_checksum.h"
#include "fuzz_scratch.h"
#include "sector_stream_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

struct Kind {
    int format;
    OutputFormat output;
};

Bytes recording_of(int format) {
    const fuzz::ScratchFolder scratch("sweep-card");
    cardsim::RecordingSpec description;
    description.format = format;
    description.segments = {cardsim::Segment{300, 60}, cardsim::Segment{300, 0}};
    description.events = {120, 400};
    cardsim::RecordingResult result;
    std::string error;
    fuzz::require(cardsim::write_card(description, scratch.path().string(), "", result, error),
                  "the simulator failed", error);
    return fuzz::read_bytes((scratch.path() / "ecg.dat").string());
}

// Sectors as the recorder stored them, or descrambled for the target to seal again.
Bytes descrambled(Bytes ecg) {
    static const Crc16Table crc;
    for (size_t at = 0; at + kSectorSize <= ecg.size(); at += kSectorSize) {
        const std::span<uint8_t, kSectorSize> sector(ecg.data() + at, kSectorSize);
        check_sector(crc, sector, sector_type_of(sector[0]).checksum);
    }
    return ecg;
}

// A bit of the body for even sectors, a whole byte for odd ones, at a place that moves with the
// sector number.
Bytes damaged(Bytes ecg, size_t sector) {
    const size_t at = sector * kSectorSize + kSectorBodyOffset + (sector * 197) % 507;
    ecg[at] ^= sector % 2 == 0 ? static_cast<uint8_t>(1u << (sector / 2 % 8)) : 0xFF;
    return ecg;
}

void read(const Kind& kind, bool seal, const Bytes& ecg, size_t sectors, bool salvage = false) {
    fuzz::StreamChoice choice;
    choice.output = kind.output;
    choice.seal = seal;
    choice.salvage = salvage;
    const auto header = fuzz::encode_stream_choice(choice);
    Bytes input(header.begin(), header.end());
    input.insert(input.end(), ecg.begin(),
                 ecg.begin() + static_cast<ptrdiff_t>(sectors * kSectorSize));
    LLVMFuzzerTestOneInput(input.data(), input.size());
}

}  // namespace

int main() {
    const Kind kinds[] = {{1, kFormatArchive},  {2, kFormatArchive},  {4, kFormatArchive},
                          {5, kFormatArchive},  {48, kFormatArchive}, {33, kFormatArchive},
                          {34, kFormatArchive}, {35, kFormatArchive}, {64, kFormatPn12Arch}};
    size_t reads = 0;
    for (const Kind& kind : kinds) {
        const Bytes stored = recording_of(kind.format);
        const Bytes plain = descrambled(stored);
        const size_t count = stored.size() / kSectorSize;
        for (size_t n = 0; n < count; ++n) {
            read(kind, false, damaged(stored, n), count);
            read(kind, false, stored, n);
            reads += 2;
            if (n % 3 == 0) {
                read(kind, true, damaged(plain, n), count);
                ++reads;
            }
            // A salvage read goes on past the damage, so it meets the sectors after it too.
            if (n % 6 == 1) {
                read(kind, false, damaged(stored, n), count, true);
                ++reads;
            }
        }
        std::printf("format %d: %zu sectors swept\n", kind.format, count);
    }
    std::printf("%zu reads, every check held\n", reads);
    return 0;
}
