// Reads 24-hour three-channel recordings (compressed and 10-bit) into raw files and compares the
// time with a floor measured in the same run: reading the same ecg.dat and writing the same
// number of output bytes with large buffered writes. Peak memory of a read is measured in a
// child run of this program for 24 hours and for 7 days; it must not grow with the length.
//
//   extraction_bench                      all figures
//   extraction_bench read <card> <out>    one read, then prints its peak resident memory
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_common.h"
#include "card/config_record.h"
#include "extract/ecg_extractor.h"
#include "extract/raw_output.h"
#include "format/sector_checksum.h"
#include "format/start_sector.h"
#include "support/byte_order.h"

// Marking the card is not part of what is measured.
void CCFDisk::mark_as_read_and_report(bool) {}

namespace {

namespace fs = std::filesystem;

constexpr uint16_t kRecording = 3;
constexpr int64_t kDay = 86400;

// Compressed sectors written as the stream grows, each header naming the first block that
// begins in it, so that a week of stream never sits in memory.
class StreamFile {
  public:
    explicit StreamFile(std::ofstream& file) : m_file(file) { begin_sector(); }
    void block_start() {
        if (get_u16le(&m_sector[3]) == 0) put_u16le(&m_sector[3], static_cast<uint16_t>(m_bit));
    }
    void put(uint32_t value, int width) {
        for (int i = 0; i < width; ++i) {
            if ((value >> i) & 1u) m_sector[m_bit / 8] |= static_cast<uint8_t>(1u << (m_bit % 8));
            if (++m_bit == 512 * 8) {
                m_file.write(reinterpret_cast<const char*>(m_sector.data()), 512);
                ++m_sectors;
                begin_sector();
            }
        }
    }
    // Channel-absent commands that change nothing fill the current sector and one more, so
    // that the last block's carried bytes are read; then the recording ends.
    void close() {
        const uint64_t last = m_sectors + 2;
        for (int bit = 0; m_sectors < last; bit = (bit + 1) % 16)
            put(bit == 0 ? 1 : 0, 1);
    }

  private:
    void begin_sector() {
        m_sector.fill(0);
        m_sector[0] = 0x23;
        put_u16le(&m_sector[1], kRecording);
        m_bit = 40;
    }
    std::ofstream& m_file;
    Sector m_sector{};
    size_t m_bit = 40;
    uint64_t m_sectors = 0;
};

Sector start_sector(uint8_t format, const Crc16Table& table) {
    Sector s{};
    s[0] = 0x83;
    put_u16le(&s[1], kRecording);
    const uint8_t time[6] = {0, 0, 8, 1, 3, 14};
    std::copy(std::begin(time), std::end(time), s.begin() + kStartSectorTimeOffset);
    s[kStartSectorFormatOffset] = format;
    seal_sector_b(table, s);
    return s;
}

// Quiet ECG: mostly single-field steps of nibble type 1, one escape in ten, a pulse now and then.
void write_compressed(std::ofstream& file, int64_t seconds) {
    std::mt19937 random(1);
    StreamFile stream(file);
    for (int64_t block = 0; block < seconds; ++block) {
        stream.block_start();
        if (block % 2 == 0)
            stream.put(1, 1), stream.put(1, 3), stream.put(random() % 128, 7);
        else
            stream.put(0, 1);
        for (int channel = 0; channel < 3; ++channel) {
            const uint32_t first = 400 + random() % 200;
            stream.put(first >> 5, 5), stream.put(first & 31, 5), stream.put(1, 3);
            for (int i = 1; i < 128; ++i) {
                if (random() % 10 == 0)
                    stream.put(7, 3), stream.put(random() % 6, 3);
                else
                    stream.put(2 + random() % 3, 3);
            }
        }
    }
    stream.close();
}

void write_ten_bit(std::ofstream& file, int64_t seconds, const Crc16Table& table) {
    std::mt19937 random(2);
    Sector s{};
    for (int64_t n = 0; n < seconds; ++n) {
        s.fill(0);
        s[0] = 0x02;
        put_u16le(&s[1], kRecording);
        for (size_t i = 32; i < 512; ++i)
            s[i] = static_cast<uint8_t>(random());
        seal_sector_a(table, s);
        file.write(reinterpret_cast<const char*>(s.data()), 512);
    }
}

void make_card(const fs::path& card, uint8_t format, int64_t seconds) {
    fs::create_directories(card);
    ConfigRecord config;
    config.recording_num = kRecording;
    config.wav_recording_num = kRecording;
    std::array<uint8_t, kConfigRecordSize> bytes;
    encode_config_record(config, bytes);
    std::ofstream(card / "config.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const Crc16Table table;
    std::ofstream ecg(card / "ecg.dat", std::ios::binary);
    const Sector start = start_sector(format, table);
    ecg.write(reinterpret_cast<const char*>(start.data()), 512);
    if (format == 35)
        write_compressed(ecg, seconds);
    else
        write_ten_bit(ecg, seconds, table);
    const Sector end{};
    ecg.write(reinterpret_cast<const char*>(end.data()), 512);
}

bool read_card(const fs::path& card, const fs::path& out) {
    fs::create_directories(out);
    CCFDisk disk;
    disk.set_card_path(card.string());
    disk.m_read_settings = ReadSettings{0, 8 * 24, 60};
    RawOutput samples(OutputSettings{}, disk.m_read_settings.limit_time_points(), out.string());
    return extract_ecg(disk, samples, {kFormatArchive, out.string(), "", nullptr});
}

// Peak resident set of this process in MiB, from the kernel's status file.
double peak_memory_mib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

double seconds_of(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reads ecg.dat and writes as many bytes as the read wrote to three files, 1 MiB at a time.
double floor_seconds(const fs::path& card, const fs::path& out, uintmax_t output_bytes) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<char> buffer(1 << 20, 1);
    std::ifstream ecg(card / "ecg.dat", std::ios::binary);
    while (ecg.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || ecg.gcount() > 0)
        if (ecg.gcount() < static_cast<std::streamsize>(buffer.size())) break;
    for (int c = 0; c < 3; ++c) {
        std::FILE* file = std::fopen((out / ("floor" + std::to_string(c))).string().c_str(), "wb");
        for (uintmax_t left = output_bytes / 3; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<uintmax_t>(left, buffer.size()));
            std::fwrite(buffer.data(), 1, n, file);
            left -= n;
        }
        std::fclose(file);
    }
    return seconds_of(start);
}

uintmax_t raw_bytes(const fs::path& out) {
    uintmax_t total = 0;
    for (const char* name : {"rawecg1.dat", "rawecg2.dat", "rawecg3.dat"})
        total += fs::file_size(out / name);
    return total;
}

std::string read_command(const char* self, const fs::path& card, const fs::path& out) {
    return std::string("\"") + self + "\" read \"" + card.string() + "\" \"" + out.string() + "\"";
}

void measure(const char* self, const fs::path& root, const char* name, uint8_t format) {
    const fs::path card = root / name;
    const fs::path out = root / (std::string(name) + "-out");
    make_card(card, format, kDay);
    const double megabytes = static_cast<double>(fs::file_size(card / "ecg.dat")) / 1e6;
    std::vector<double> reads, floors;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!read_card(card, out)) std::printf("%s: the read failed\n", name);
        reads.push_back(seconds_of(start));
        floors.push_back(floor_seconds(card, out, raw_bytes(out)));
    }
    const double read = median(reads), floor = median(floors);
    std::printf("%-22s ecg.dat %7.1f MB  read %6.2f s  %7.1f MB/s  floor %5.2f s  ratio %5.2f\n",
                name, megabytes, read, megabytes / read, floor, read / floor);
    std::fflush(stdout);
    const std::string command = read_command(self, card, out);
    std::printf("  24 h peak memory: ");
    std::fflush(stdout);
    std::system(command.c_str());
    fs::remove_all(card);
    fs::remove_all(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        if (argc != 4 || std::string(argv[1]) != "read") return 2;
        const bool ok = read_card(argv[2], argv[3]);
        std::printf("%.1f MiB%s\n", peak_memory_mib(), ok ? "" : " (read failed)");
        return ok ? 0 : 1;
    }
    const fs::path root = fs::temp_directory_path() / "kado-extraction-bench";
    fs::remove_all(root);
    measure(argv[0], root, "compressed", 35);
    measure(argv[0], root, "ten-bit", 2);

    make_card(root / "week", 35, 7 * kDay);
    std::printf("7 days compressed peak memory: ");
    std::fflush(stdout);
    std::system(read_command(argv[0], root / "week", root / "week-out").c_str());
    fs::remove_all(root);
    return 0;
}
