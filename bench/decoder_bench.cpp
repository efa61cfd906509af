// Decodes 24 hours of a three-channel compressed recording and compares the time with a plain
// copy of the same output bytes, block by block, in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "bench_common.h"
#include "extract/bit_writer.h"

namespace {

constexpr int kBlocks = 24 * 3600;
constexpr size_t kBlockBytes = sizeof(DecodedBlock::channels);

struct Coding {
    uint32_t nibble_type;
    uint32_t short_codes;  // codes 0..short_codes-1 are single fields
    int width;
    uint32_t escape;  // escape code followed by one field of escape_width bits below escape_values
    int escape_width;
    uint32_t escape_values;
};

// Mostly small steps with one escape in ten, as a quiet ECG compresses.
const Coding kCodings[] = {{0, 5, 3, 5, 3, 8},    {1, 7, 3, 7, 3, 6},    {2, 13, 4, 14, 5, 32},
                           {4, 13, 4, 13, 4, 16}, {5, 13, 4, 13, 4, 16}, {6, 13, 4, 13, 3, 8},
                           {7, 15, 4, 15, 5, 32}};

std::vector<Sector> make_recording() {
    std::mt19937 random(1);
    BitWriter stream;
    std::vector<size_t> starts;
    for (int block = 0; block < kBlocks; ++block) {
        starts.push_back(stream.size());
        if (block % 2 == 0) {
            stream.put(1, 1).put(1, 3).put(random() % 128, 7);
        } else {
            stream.put(0, 1);
        }
        for (int channel = 0; channel < 3; ++channel) {
            const Coding& coding = kCodings[random() % std::size(kCodings)];
            stream.channel_start(400 + random() % 200, coding.nibble_type);
            for (int i = 1; i < kSamplesPerBlock; ++i) {
                if (random() % 10 == 0) {
                    stream.put(coding.escape, coding.width);
                    stream.put(random() % coding.escape_values, coding.escape_width);
                } else {
                    stream.put(random() % coding.short_codes, coding.width);
                }
            }
        }
    }
    return to_sectors(stream, 0x23, starts);
}

template <typename Work>
double median_seconds(Work work) {
    std::vector<double> runs;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        runs.push_back(elapsed.count());
    }
    return median(runs);
}

}  // namespace

int main() {
    const std::vector<Sector> sectors = make_recording();
    std::vector<uint8_t> output(kBlocks * kBlockBytes, 1);
    const std::vector<uint8_t> source(output.size(), 2);

    int blocks = 0;
    const double decode = median_seconds([&] {
        EcgDecoder decoder;
        blocks = 0;
        for (const Sector& sector : sectors) {
            for (DecodeResult r{}; !r.sector_done && blocks < kBlocks;) {
                r = decoder.decode_sector(sector);
                if (r.block_done) {
                    std::memcpy(&output[blocks * kBlockBytes], decoder.block().channels.data(),
                                kBlockBytes);
                    ++blocks;
                }
            }
        }
    });
    const double copy = median_seconds([&] {
        for (int block = 0; block < kBlocks; ++block) {
            std::memcpy(&output[block * kBlockBytes], &source[block * kBlockBytes], kBlockBytes);
        }
    });
    if (blocks != kBlocks) {
        std::printf("decoded %d blocks of %d\n", blocks, kBlocks);
        return 1;
    }
    const double samples = double(kBlocks) * kSamplesPerBlock * 3;
    std::printf("24 h, 3 channels: %zu sectors, %.0f samples\n", sectors.size(), samples);
    std::printf("decode: %.3f s, %.1f Msamples/s\n", decode, samples / decode / 1e6);
    std::printf("copy of the same %zu output bytes: %.4f s\n", output.size(), copy);
    std::printf("decode / copy: %.1f\n", decode / copy);
    return 0;
}
