#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "card/ccf_disk.h"
#include "cardsim/lib/card_writer.h"
#include "extract/card_read.h"
#include "extract/pn12_header.h"
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

// An archive read, or a 12-lead read whose first lead stands for channel 1.
ReadOutcome read_copy(const std::string& card, const std::string& out, bool salvage,
                      OutputFormat format = kFormatArchive) {
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    NoAnswers no_answers;
    CCFDisk disk;
    disk.set_card_path(card);
    disk.m_read_settings = ReadSettings{0, 24, 0, salvage};
    ReadOutcome outcome;
    outcome.ok = read_card(disk, format, out);
    outcome.channel1 = format == kFormatPn12File
                           ? read_words(out + "/pn12ecg1.dat", kLeadHeaderSize)
                           : read_words(out + "/rawecg1.dat");
    outcome.report = read_file(out + "/salvage.txt");
    return outcome;
}

// Writes a simulated card into `card` and returns its ecg.dat; empty when it cannot be written.
std::vector<uint8_t> make_card(const std::string& card, int format,
                               std::vector<cardsim::Segment> segments,
                               int64_t seek_interval = 3600) {
    cardsim::RecordingSpec description;
    description.format = format;
    description.segments = std::move(segments);
    description.seek_interval = seek_interval;
    cardsim::RecordingResult result;
    std::string error;
    if (!cardsim::write_card(description, card, "", result, error)) {
        ADD_FAILURE() << error;
        return {};
    }
    return read_bytes(card + "/ecg.dat");
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
    const std::string card = folder / "card", out = folder / "out";
    const std::vector<uint8_t> original = make_card(card, c.format, {{1800, 0}}, 60);
    ASSERT_FALSE(original.empty());
    const std::string ecg_path = card + "/ecg.dat";
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

namespace {

// A compressed recording in two segments with a minute's pause, seek points every minute.
class CompressedSalvage : public ::testing::Test {
  protected:
    void SetUp() override {
        original = make_card(card(), 35, {{900, 60}, {840, 0}}, 60);
        ASSERT_FALSE(original.empty());
        whole = read_copy(card(), out(), true);
        ASSERT_TRUE(whole.ok);
        sectors = data_sectors(original, true);
    }
    std::string card() const { return folder / "card"; }
    std::string out() const { return folder / "out"; }
    std::string ecg_path() const { return card() + "/ecg.dat"; }
    // The start sector that resumes the recording after the pause.
    size_t resume_start() const {
        for (size_t i = 1; i < sectors.size(); ++i)
            if (sector_type_of(original[sectors[i] * kSectorSize]).kind == SectorKind::start)
                return i;
        return 0;
    }
    ReadOutcome read_damaged(const std::vector<uint64_t>& damaged, bool salvage = true) {
        std::vector<uint8_t> ecg = original;
        std::mt19937 random(7);
        for (const uint64_t sector : damaged)
            damage(ecg, sector, Damage::random_bytes, random);
        write_bytes(ecg_path(), ecg);
        return read_copy(card(), out(), salvage);
    }

    TestFolder folder;
    std::vector<uint8_t> original;
    ReadOutcome whole;
    std::vector<uint64_t> sectors;
};

TEST_F(CompressedSalvage, StreamPicksUpAtTheNextBlockStartWhereverTheDamageLies) {
    const size_t resume = resume_start();
    ASSERT_GT(resume, 10u);
    const struct {
        const char* where;
        std::vector<uint64_t> damaged;
    } cases[] = {
        {"inside blocks", {sectors[resume / 2]}},
        {"across a sector boundary", {sectors[resume / 3], sectors[resume / 3 + 1]}},
        {"last sector of a segment", {sectors[resume - 1]}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        const ReadOutcome damaged = read_damaged(c.damaged);
        EXPECT_EQ(damaged_ranges(damaged.report), 1u) << damaged.report;
        expect_salvaged(damaged, whole, true);
    }
}

// The event table knows when the second segment starts; its pause cannot be told from the
// damage, so it is counted as lost.
TEST_F(CompressedSalvage, DamagedStartSectorOfALaterSegmentIsTakenFromTheEventTable) {
    const ReadOutcome damaged = read_damaged({sectors[resume_start()]});
    EXPECT_EQ(damaged_ranges(damaged.report), 1u) << damaged.report;
    expect_salvaged(damaged, whole, false);
    EXPECT_EQ(report_total(damaged.report, "seconds lost"), 60 * 128) << damaged.report;
}

TEST_F(CompressedSalvage, TruncatedFinalSectorCostsOnlyItsSeconds) {
    std::vector<uint8_t> ecg = original;
    ecg.resize(sectors.back() * kSectorSize + 300);
    write_bytes(ecg_path(), ecg);
    const ReadOutcome damaged = read_copy(card(), out(), true);
    ASSERT_TRUE(damaged.ok);
    EXPECT_NE(damaged.report.find("file ends inside the sector"), std::string::npos)
        << damaged.report;
    const size_t kept =
        damaged.channel1.size() - static_cast<size_t>(report_total(damaged.report, "seconds lost"));
    ASSERT_LE(kept, whole.channel1.size());
    EXPECT_EQ(first_difference(std::vector(damaged.channel1.begin(),
                                           damaged.channel1.begin() + static_cast<long>(kept)),
                               std::vector(whole.channel1.begin(),
                                           whole.channel1.begin() + static_cast<long>(kept))),
              -1);
}

// Without /salvage the damaged cards read as they always did: a bad checksum fails the read, a
// damaged compressed sector ends the recording there, and no report is written.
TEST(SalvageOff, DamagedCardsReadAsWithoutSalvage) {
    for (const int format : {2, 35}) {
        SCOPED_TRACE(format);
        TestFolder folder;
        const std::string card = folder / "card", out = folder / "out";
        std::vector<uint8_t> ecg = make_card(card, format, {{1800, 0}});
        ASSERT_FALSE(ecg.empty());
        const ReadOutcome whole = read_copy(card, out, false);
        const std::vector<uint64_t> sectors = data_sectors(ecg);
        std::mt19937 random(3);
        damage(ecg, sectors[sectors.size() / 2], format == 2 ? Damage::checksum : Damage::zeroed,
               random);
        write_bytes(card + "/ecg.dat", ecg);
        const ReadOutcome damaged = read_copy(card, out, false);
        EXPECT_FALSE(std::filesystem::exists(out + "/salvage.txt"));
        if (format == 2) {
            EXPECT_FALSE(damaged.ok);
            continue;
        }
        ASSERT_TRUE(damaged.ok);
        // The recording ends at the damage half-way, and the archive pads to 20 minutes.
        const auto zeros = std::count(damaged.channel1.begin(), damaged.channel1.end(), 0);
        EXPECT_GT(zeros, 250 * 128);
        EXPECT_EQ(damaged.channel1.size(), size_t{1200 * 128});
        EXPECT_EQ(whole.channel1.size(), size_t{1800 * 128});
    }
}

}  // namespace

// A cut in the last data sector of an uncompressed recording costs that sector's span, as a gap.
TEST(UncompressedSalvage, TruncatedFinalSectorBecomesAGapOfItsSpan) {
    for (const int format : {1, 48}) {
        SCOPED_TRACE(format);
        TestFolder folder;
        const std::string card = folder / "card", out = folder / "out";
        std::vector<uint8_t> ecg = make_card(card, format, {{1800, 0}});
        ASSERT_FALSE(ecg.empty());
        const ReadOutcome whole = read_copy(card, out, true);
        ecg.resize(data_sectors(ecg).back() * kSectorSize + 100);
        write_bytes(card + "/ecg.dat", ecg);
        const ReadOutcome damaged = read_copy(card, out, true);
        EXPECT_NE(damaged.report.find("file ends inside the sector"), std::string::npos)
            << damaged.report;
        expect_salvaged(damaged, whole, true);
    }
}

// Damaged 12-lead sectors keep the lead files in step: each becomes its 30 time points of no data.
TEST(TwelveLeadSalvage, DamagedSectorsKeepTheLeadFilesInStep) {
    TestFolder folder;
    const std::string card = folder / "card", out = folder / "out";
    std::vector<uint8_t> ecg = make_card(card, 64, {{600, 0}});
    ASSERT_FALSE(ecg.empty());
    const ReadOutcome whole = read_copy(card, out, true, kFormatPn12File);
    ASSERT_TRUE(whole.ok);
    std::vector<uint64_t> lead_sectors;
    for (uint64_t i = 0; (i + 1) * kSectorSize <= ecg.size(); ++i)
        if (ecg[i * kSectorSize] == 0x40) lead_sectors.push_back(i);
    std::mt19937 random(64);
    for (int k = 1; k <= 10; ++k)
        damage(ecg, lead_sectors[lead_sectors.size() * k / 11], Damage::checksum, random);
    write_bytes(card + "/ecg.dat", ecg);
    const ReadOutcome damaged = read_copy(card, out, true, kFormatPn12File);
    ASSERT_TRUE(damaged.ok);
    EXPECT_EQ(damaged_ranges(damaged.report), 10u) << damaged.report;
    EXPECT_NE(damaged.report.find("seconds lost: 2.34\n"), std::string::npos) << damaged.report;
    ASSERT_EQ(damaged.channel1.size(), whole.channel1.size());
    size_t gaps = 0;
    for (size_t i = 0; i < whole.channel1.size(); ++i) {
        if (damaged.channel1[i] == whole.channel1[i]) continue;
        EXPECT_EQ(damaged.channel1[i], 0x8000) << i;
        ++gaps;
    }
    EXPECT_EQ(gaps, 300u);
}

// With every data sector damaged nothing is salvaged: the read fails (108) and the report says
// that all of it was lost.
TEST(UncompressedSalvage, NothingSalvagedFailsTheReadAndSaysSo) {
    TestFolder folder;
    const std::string card = folder / "card", out = folder / "out";
    std::vector<uint8_t> ecg = make_card(card, 2, {{300, 0}});
    ASSERT_FALSE(ecg.empty());
    const std::vector<uint64_t> sectors = data_sectors(ecg);
    std::mt19937 random(2);
    for (const uint64_t sector : sectors)
        damage(ecg, sector, Damage::checksum, random);
    write_bytes(card + "/ecg.dat", ecg);
    const ReadOutcome damaged = read_copy(card, out, true);
    EXPECT_FALSE(damaged.ok);
    EXPECT_EQ(damaged.report,
              "salvage report\ndamaged sectors " + std::to_string(sectors.front()) + "-" +
                  std::to_string(sectors.back()) +
                  ": 300.00 s lost, checksum does not match\nseconds delivered: 0.00\n"
                  "seconds lost: 300.00\n");
}
