#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "cardsim/lib/card_writer.h"
#include "extract/card_read.h"
#include "extract/test_card.h"
#include "format/sector_types.h"
#include "output_files.h"
#include "test_folder.h"

namespace {

enum class Damage { checksum, random_bytes, zeroed };

constexpr uint16_t kRecording = 4;

struct ReadOutcome {
    bool ok = false;
    std::vector<uint16_t> channel1;
    std::string report;
};

ReadOutcome read_copy(const std::string& card, const std::string& out, bool salvage) {
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    NoAnswers no_answers;
    CCFDisk disk;
    disk.set_card_path(card);
    disk.m_read_settings = ReadSettings{0, 24, 0, salvage};
    ReadOutcome outcome;
    outcome.ok = read_card(disk, kFormatArchive, out);
    outcome.channel1 = read_words(out + "/rawecg1.dat");
    outcome.report = read_file(out + "/salvage.txt");
    return outcome;
}

// Sectors of ecg.dat that hold samples of the recording, in file order.
std::vector<uint64_t> data_sectors(const std::vector<uint8_t>& ecg, bool with_starts = false) {
    std::vector<uint64_t> found;
    for (uint64_t i = 0; (i + 1) * kSectorSize <= ecg.size(); ++i) {
        const std::span<const uint8_t, kSectorSize> sector(ecg.data() + i * kSectorSize,
                                                           kSectorSize);
        const SectorKind kind = sector_type_of(sector[0]).kind;
        const bool samples = kind == SectorKind::packed || kind == SectorKind::delta ||
                             kind == SectorKind::compressed;
        if (sector_recording_num(sector) == kRecording &&
            (samples || (with_starts && kind == SectorKind::start)))
            found.push_back(i);
    }
    return found;
}

void damage(std::vector<uint8_t>& ecg, uint64_t sector, Damage kind, std::mt19937& random) {
    uint8_t* bytes = ecg.data() + sector * kSectorSize;
    switch (kind) {
        case Damage::checksum:
            // The last byte reaches the checksum of both variants.
            bytes[kSectorSize - 1] ^= 0x10;
            break;
        case Damage::random_bytes:
            for (size_t i = 0; i < kSectorSize; ++i)
                bytes[i] = static_cast<uint8_t>(random());
            break;
        case Damage::zeroed:
            std::fill(bytes, bytes + kSectorSize, 0);
            break;
    }
}

// A total of the report ("seconds lost: 12.50") in time points.
int64_t report_total(const std::string& report, const std::string& name) {
    const size_t at = report.find(name + ": ");
    if (at == std::string::npos) return -1;
    return std::llround(std::stod(report.substr(at + name.size() + 2)) * 128);
}

size_t damaged_ranges(const std::string& report) {
    size_t count = 0;
    for (size_t at = report.find("damaged sectors"); at != std::string::npos;
         at = report.find("damaged sectors", at + 1))
        ++count;
    return count;
}

// Over all damaged cards: time points the undamaged read delivers, and those salvaged.
struct Recovered {
    int64_t intended = 0;
    int64_t delivered = 0;
    ~Recovered() {
        if (intended > 0)
            std::printf("salvage recovered %.4f of the intended time points (%lld of %lld)\n",
                        static_cast<double>(delivered) / static_cast<double>(intended),
                        static_cast<long long>(delivered), static_cast<long long>(intended));
    }
};
Recovered g_recovered;

// Every time point of the salvage read is the undamaged read's or a gap, the report accounts for
// each gap that hides a recorded time point, and its totals add up.
void expect_salvaged(const ReadOutcome& damaged, const ReadOutcome& whole, bool exact_loss) {
    ASSERT_TRUE(damaged.ok) << damaged.report;
    ASSERT_EQ(damaged.channel1.size(), whole.channel1.size());
    int64_t hidden = 0, delivered = 0, wrong = 0;
    for (size_t i = 0; i < whole.channel1.size(); ++i) {
        const uint16_t got = damaged.channel1[i], want = whole.channel1[i];
        if (got != 0) ++delivered;
        if (got == 0 && want != 0) ++hidden;
        if (got != 0 && got != want) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(report_total(damaged.report, "seconds delivered"), delivered) << damaged.report;
    const int64_t lost = report_total(damaged.report, "seconds lost");
    if (exact_loss)
        EXPECT_EQ(lost, hidden) << damaged.report;
    else
        EXPECT_GE(lost, hidden) << damaged.report;
    g_recovered.intended += delivered + hidden;
    g_recovered.delivered += delivered;
}

struct SalvageCase {
    const char* name;
    int format;
    Damage damage;
};

class SalvageRead : public ::testing::TestWithParam<SalvageCase> {};

// One, then ten damaged data sectors of a 30-minute recording, spread over it.
TEST_P(SalvageRead, DamagedSectorsBecomeGapsAndTheRestComesBackExactly) {
    const SalvageCase& c = GetParam();
    TestFolder folder;
    cardsim::RecordingSpec description;
    description.format = c.format;
    description.segments = {{1800, 0}};
    description.seek_interval = 60;
    const std::string card = folder / "card", out = folder / "out";
    cardsim::RecordingResult result;
    std::string error;
    ASSERT_TRUE(cardsim::write_card(description, card, "", result, error)) << error;
    const std::string ecg_path = card + "/ecg.dat";
    const std::vector<uint8_t> original = read_bytes(ecg_path);
    const ReadOutcome whole = read_copy(card, out, true);
    ASSERT_TRUE(whole.ok);
    EXPECT_NE(whole.report.find("no damaged sectors"), std::string::npos) << whole.report;
    EXPECT_EQ(report_total(whole.report, "seconds lost"), 0);

    const std::vector<uint64_t> sectors = data_sectors(original);
    std::mt19937 random(static_cast<unsigned>(c.format));
    for (const int count : {1, 10}) {
        std::vector<uint8_t> ecg = original;
        for (int k = 0; k < count; ++k)
            damage(ecg, sectors[sectors.size() * static_cast<size_t>(k + 1) / (count + 1)],
                   c.damage, random);
        write_bytes(ecg_path, ecg);
        const ReadOutcome damaged = read_copy(card, out, true);
        EXPECT_EQ(damaged_ranges(damaged.report), static_cast<size_t>(count)) << damaged.report;
        expect_salvaged(damaged, whole, true);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, SalvageRead,
    ::testing::Values(SalvageCase{"packed2_checksum", 1, Damage::checksum},
                      SalvageCase{"packed3_zeroed", 2, Damage::zeroed},
                      SalvageCase{"delta2_random", 4, Damage::random_bytes},
                      SalvageCase{"delta3_checksum", 5, Damage::checksum},
                      SalvageCase{"packed_table_checksum", 48, Damage::checksum},
                      SalvageCase{"packed_table_random", 48, Damage::random_bytes},
                      SalvageCase{"compressed1_random", 33, Damage::random_bytes},
                      SalvageCase{"compressed2_zeroed", 34, Damage::zeroed},
                      SalvageCase{"compressed3_random", 35, Damage::random_bytes}),
    [](const ::testing::TestParamInfo<SalvageCase>& param) { return param.param.name; });

}  // namespace
