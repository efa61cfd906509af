// Reads 24-hour three-channel recordings (compressed and 10-bit) into raw files and compares the
// time with a floor measured in the same run: reading the same ecg.dat and writing the same
// number of output bytes with large buffered writes. The compressed recording carries hourly
// seek points and is read twice: decoding on the reading thread alone and decoding ahead on
// worker threads. Peak memory of a read is measured in a child run of this program for 24 hours
// and for 7 days; it must not grow with the length.
//
//   extraction_bench                                all figures
//   extraction_bench read <card> <out> <workers>    one read, then prints its peak resident memory
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
constexpr int64_t kHour = 3600;
// Event sectors after the start sector: room for the hourly seek points of a week.
constexpr int kEventSectors = 5;
constexpr size_t kRecordsPerEventSector = 36;
constexpr uint8_t kStartTime[6] = {0, 0, 8, 1, 3, 14};

struct SeekPoint {
    uint32_t sector = 0;
    uint16_t bit = 0;
};

// Compressed sectors written as the stream grows, each header naming the first block that
// begins in it, so that a week of stream never sits in memory.
class StreamFile {
  public:
    StreamFile(std::ofstream& file, uint32_t first_sector)
        : m_file(file), m_first_sector(first_sector) {
        begin_sector();
    }
    SeekPoint block_start() {
        if (get_u16le(&m_sector[3]) == 0) put_u16le(&m_sector[3], static_cast<uint16_t>(m_bit));
        return {static_cast<uint32_t>(m_first_sector + m_sectors), static_cast<uint16_t>(m_bit)};
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
    uint32_t m_first_sector;
    Sector m_sector{};
    size_t m_bit = 40;
    uint64_t m_sectors = 0;
};

Sector start_sector(uint8_t format, const Crc16Table& table) {
    Sector s{};
    s[0] = 0x83;
    put_u16le(&s[1], kRecording);
    std::copy(std::begin(kStartTime), std::end(kStartTime), s.begin() + kStartSectorTimeOffset);
    s[kStartSectorFormatOffset] = format;
    seal_sector_b(table, s);
    return s;
}

// The event table: a seek point at the start of every hour, the recorder's type 2 records.
std::vector<Sector> event_sectors(const std::vector<SeekPoint>& points) {
    std::vector<Sector> sectors(kEventSectors);
    for (size_t n = 0; n < sectors.size(); ++n) {
        Sector& s = sectors[n];
        s[0] = 0x20;
        put_u16le(&s[1], kRecording);
        size_t at = 3;
        for (size_t k = n * kRecordsPerEventSector;
             k < points.size() && k < (n + 1) * kRecordsPerEventSector; ++k, at += 14) {
            const int64_t hours = kStartTime[2] + static_cast<int64_t>(k);
            const uint8_t time[6] = {0,
                                     0,
                                     static_cast<uint8_t>(hours % 24),
                                     static_cast<uint8_t>(kStartTime[3] + hours / 24),
                                     kStartTime[4],
                                     kStartTime[5]};
            s[at] = 2;
            s[at + 1] = 14;
            std::copy(std::begin(time), std::end(time), s.begin() + at + 2);
            put_u32le(&s[at + 8], points[k].sector);
            put_u16le(&s[at + 12], points[k].bit);
        }
        // 254: the table goes on in the next sector; 0 ends it.
        s[at] = n + 1 < sectors.size() ? 254 : 0;
    }
    return sectors;
}

// Quiet ECG: mostly single-field steps of nibble type 1, one escape in ten, a pulse now and then.
std::vector<SeekPoint> write_compressed(std::ofstream& file, int64_t seconds) {
    std::mt19937 random(1);
    StreamFile stream(file, 1 + kEventSectors);
    std::vector<SeekPoint> points;
    for (int64_t block = 0; block < seconds; ++block) {
        const SeekPoint point = stream.block_start();
        if (block % kHour == 0) points.push_back(point);
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
    return points;
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
    if (format != 35) {
        write_ten_bit(ecg, seconds, table);
    } else {
        // The table is written once the stream has placed its seek points.
        ecg.seekp(512 * (1 + kEventSectors));
        const std::vector<Sector> events = event_sectors(write_compressed(ecg, seconds));
        ecg.seekp(512);
        for (const Sector& sector : events)
            ecg.write(reinterpret_cast<const char*>(sector.data()), 512);
        ecg.seekp(0, std::ios::end);
    }
    const Sector end{};
    ecg.write(reinterpret_cast<const char*>(end.data()), 512);
}

// decode_workers 0 decodes on the reading thread alone.
bool read_card(const fs::path& card, const fs::path& out, int32_t decode_workers) {
    fs::create_directories(out);
    CCFDisk disk;
    disk.set_card_path(card.string());
    disk.m_read_settings = ReadSettings{0, 8 * 24, 60};
    disk.m_read_settings.decode_workers = decode_workers;
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

std::string read_command(const char* self, const fs::path& card, const fs::path& out,
                         int32_t workers) {
    return std::string("\"") + self + "\" read \"" + card.string() + "\" \"" + out.string() +
           "\" " + std::to_string(workers);
}

struct Road {
    const char* name;
    int32_t workers;
};
constexpr Road kRoads[] = {{"one thread", 0}, {"decoding ahead", kAutomaticDecodeWorkers}};

// Both roads for the compressed recording, whose decoding the workers can take over.
void measure(const char* self, const fs::path& root, const char* name, uint8_t format,
             int64_t seconds) {
    const fs::path card = root / name;
    const fs::path out = root / (std::string(name) + "-out");
    make_card(card, format, seconds);
    const double megabytes = static_cast<double>(fs::file_size(card / "ecg.dat")) / 1e6;
    double first_read = 0;
    for (const Road& road : kRoads) {
        if (format != 35 && road.workers != 0) continue;
        std::vector<double> reads, floors;
        for (int run = 0; run < 5; ++run) {
            const auto start = std::chrono::steady_clock::now();
            if (!read_card(card, out, road.workers)) std::printf("%s: the read failed\n", name);
            reads.push_back(seconds_of(start));
            floors.push_back(floor_seconds(card, out, raw_bytes(out)));
        }
        const double read = median(reads), floor = median(floors);
        if (first_read == 0) first_read = read;
        std::printf(
            "%-12s %-14s ecg.dat %7.1f MB  read %6.2f s  %7.1f MB/s  floor %5.2f s  ratio %5.2f"
            "  against one thread %4.2f\n",
            name, road.name, megabytes, read, megabytes / read, floor, read / floor,
            read / first_read);
        std::printf("  peak memory: ");
        std::fflush(stdout);
        std::system(read_command(self, card, out, road.workers).c_str());
    }
    fs::remove_all(card);
    fs::remove_all(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        if (argc != 5 || std::string(argv[1]) != "read") return 2;
        const bool ok = read_card(argv[2], argv[3], std::stoi(argv[4]));
        std::printf("%.1f MiB%s\n", peak_memory_mib(), ok ? "" : " (read failed)");
        return ok ? 0 : 1;
    }
    const fs::path root = fs::temp_directory_path() / "kado-extraction-bench";
    fs::remove_all(root);
    measure(argv[0], root, "compressed", 35, kDay);
    measure(argv[0], root, "ten-bit", 2, kDay);
    measure(argv[0], root, "7 days", 35, 7 * kDay);
    fs::remove_all(root);
    return 0;
}
