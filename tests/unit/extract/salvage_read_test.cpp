#include <gtest/gtest.h>

#include <cmath>
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

// A total of the report ("seconds lost: 12.50") in time points.
int64_t report_total(const std::string& report, const std::string& name) {
    const size_t at = report.find(name + ": ");
    if (at == std::string::npos) return -1;
    return std::llround(std::stod(report.substr(at + name.size() + 2)) * 128);
}

size_t damaged_ranges(const std::string& report) {
    size_t count = 0;
    for (size_t at = 0; (at = report.find("damaged sectors", at)) != std::string::npos; ++at)
        ++count;
    return count;
}

// Every time point of the salvage read is the undamaged read's or a gap (no_data), the report
// accounts for each gap that hides a recorded time point, and its totals add up.
void expect_salvaged(const ReadOutcome& damaged, const ReadOutcome& whole, bool exact_loss,
                     uint16_t no_data = 0) {
    ASSERT_TRUE(damaged.ok) << damaged.report;
    ASSERT_EQ(damaged.channel1.size(), whole.channel1.size());
    int64_t hidden = 0, delivered = 0, wrong = 0;
    for (size_t i = 0; i < whole.channel1.size(); ++i) {
        const uint16_t got = damaged.channel1[i], want = whole.channel1[i];
        if (got != no_data) ++delivered;
        if (got == no_data && want != no_data) ++hidden;
        if (got != no_data && got != want) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(report_total(damaged.report, "seconds delivered"), delivered) << damaged.report;
    const int64_t lost = report_total(damaged.report, "seconds lost");
    if (exact_loss)
        EXPECT_EQ(lost, hidden) << damaged.report;
    else
        EXPECT_GE(lost, hidden) << damaged.report;
}

// A simulated card in the test's folder, its ecg.dat as written, and reads of it.
class SalvageTest : public ::testing::Test {
  protected:
    // Writes the card afresh; false when it cannot be written.
    bool make(int format, std::vector<cardsim::Segment> segments, int64_t seek_interval = 3600) {
        cardsim::RecordingSpec description;
        description.format = format;
        description.segments = std::move(segments);
        description.seek_interval = seek_interval;
        cardsim::RecordingResult result;
        std::string error;
        std::filesystem::remove_all(card());
        const bool written = cardsim::write_card(description, card(), "", result, error);
        EXPECT_TRUE(written) << error;
        original = read_bytes(card() + "/ecg.dat");
        return written;
    }
    // Reads the card with this ecg.dat: an archive read, or a 12-lead read whose first lead stands
    // for channel 1.
    ReadOutcome read(const std::vector<uint8_t>& ecg, bool salvage = true,
                     OutputFormat format = kFormatArchive) const {
        write_bytes(card() + "/ecg.dat", ecg);
        std::filesystem::remove_all(out());
        std::filesystem::create_directories(out());
        NoAnswers no_answers;
        CCFDisk disk;
        disk.set_card_path(card());
        disk.m_read_settings = ReadSettings{0, 24, 0, salvage};
        const bool ok = read_card(disk, format, out());
        return {ok,
                format == kFormatPn12File ? read_words(out() + "/pn12ecg1.dat", kLeadHeaderSize)
                                          : read_words(out() + "/rawecg1.dat"),
                read_file(out() + "/salvage.txt")};
    }
    // Sectors of the original ecg.dat that hold samples of the recording, in file order.
    std::vector<uint64_t> data_sectors(bool with_starts = false) const {
        std::vector<uint64_t> found;
        for (uint64_t i = 0; (i + 1) * kSectorSize <= original.size(); ++i) {
            const auto sector = std::span(original).subspan(i * kSectorSize).first<kSectorSize>();
            const SectorKind kind = sector_type_of(sector[0]).kind;
            const bool samples = kind == SectorKind::packed || kind == SectorKind::delta ||
                                 kind == SectorKind::compressed || kind == SectorKind::twelve_lead;
            if (sector_recording_num(sector) == kRecording &&
                (samples || (with_starts && kind == SectorKind::start)))
                found.push_back(i);
        }
        return found;
    }
    // The original with the sectors damaged.
    std::vector<uint8_t> damaged(const std::vector<uint64_t>& sectors, Damage kind) {
        std::vector<uint8_t> ecg = original;
        for (const uint64_t sector : sectors) {
            uint8_t* bytes = ecg.data() + sector * kSectorSize;
            if (kind == Damage::checksum) {
                bytes[kSectorSize - 1] ^= 0x10;  // reaches the checksum of both variants
                continue;
            }
            for (size_t i = 0; i < kSectorSize; ++i)
                bytes[i] = kind == Damage::zeroed ? 0 : static_cast<uint8_t>(random());
        }
        return ecg;
    }
    // `count` data sectors spread evenly over the recording.
    std::vector<uint64_t> spread(size_t count) const {
        const std::vector<uint64_t> sectors = data_sectors();
        std::vector<uint64_t> chosen;
        for (size_t k = 1; k <= count; ++k)
            chosen.push_back(sectors[sectors.size() * k / (count + 1)]);
        return chosen;
    }
    std::string card() const { return folder / "card"; }
    std::string out() const { return folder / "out"; }

    TestFolder folder;
    std::vector<uint8_t> original;
    std::mt19937 random{7};
};

struct SalvageCase {
    const char* name;
    int format;
    Damage damage;
};

class SalvageRead : public SalvageTest, public ::testing::WithParamInterface<SalvageCase> {};

// One, then ten damaged data sectors of a 30-minute recording, spread over it.
TEST_P(SalvageRead, DamagedSectorsBecomeGapsAndTheRestComesBackExactly) {
    const SalvageCase& c = GetParam();
    ASSERT_TRUE(make(c.format, {{1800, 0}}, 60));
    const ReadOutcome whole = read(original);
    ASSERT_TRUE(whole.ok);
    EXPECT_NE(whole.report.find("no damaged sectors"), std::string::npos) << whole.report;
    EXPECT_EQ(report_total(whole.report, "seconds lost"), 0);

    random.seed(static_cast<unsigned>(c.format));
    for (const size_t count : {1, 10}) {
        const ReadOutcome outcome = read(damaged(spread(count), c.damage));
        EXPECT_EQ(damaged_ranges(outcome.report), count) << outcome.report;
        expect_salvaged(outcome, whole, true);
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

// A compressed recording in two segments with a minute's pause, seek points every minute. A
// damaged start sector of the second segment is timed by the event table; its pause cannot be
// told from the damage, so it is counted as lost.
TEST_F(SalvageTest, CompressedStreamPicksUpAtTheNextBlockStartWhereverTheDamageLies) {
    ASSERT_TRUE(make(35, {{900, 60}, {840, 0}}, 60));
    const ReadOutcome whole = read(original);
    ASSERT_TRUE(whole.ok);
    const std::vector<uint64_t> sectors = data_sectors(true);
    size_t resume = 1;  // the start sector that resumes the recording after the pause
    while (resume < sectors.size() &&
           sector_type_of(original[sectors[resume] * kSectorSize]).kind != SectorKind::start)
        ++resume;
    ASSERT_GT(resume, 10u);
    ASSERT_LT(resume, sectors.size());
    const struct {
        const char* where;
        std::vector<uint64_t> damaged;
        int64_t pause_lost;
    } cases[] = {
        {"inside blocks", {sectors[resume / 2]}, 0},
        {"across a sector boundary", {sectors[resume / 3], sectors[resume / 3 + 1]}, 0},
        {"last sector of a segment", {sectors[resume - 1]}, 0},
        {"start sector of the later segment", {sectors[resume]}, 60 * 128},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        const ReadOutcome outcome = read(damaged(c.damaged, Damage::random_bytes));
        EXPECT_EQ(damaged_ranges(outcome.report), 1u) << outcome.report;
        expect_salvaged(outcome, whole, c.pause_lost == 0);
        if (c.pause_lost != 0) {
            EXPECT_EQ(report_total(outcome.report, "seconds lost"), c.pause_lost) << outcome.report;
        }
    }
}

// Without /salvage the damaged cards read as they always did: a bad checksum fails the read, a
// damaged compressed sector ends the recording there, and no report is written.
TEST_F(SalvageTest, WithoutTheFlagDamagedCardsReadAsBefore) {
    ASSERT_TRUE(make(2, {{1800, 0}}));
    EXPECT_FALSE(read(damaged(spread(1), Damage::checksum), false).ok);
    EXPECT_FALSE(std::filesystem::exists(out() + "/salvage.txt"));
    // The compressed recording ends at the damage half-way, and the archive pads to 20 minutes.
    ASSERT_TRUE(make(35, {{1800, 0}}));
    EXPECT_EQ(read(original, false).channel1.size(), size_t{1800 * 128});
    const ReadOutcome outcome = read(damaged(spread(1), Damage::zeroed), false);
    EXPECT_FALSE(std::filesystem::exists(out() + "/salvage.txt"));
    ASSERT_TRUE(outcome.ok);
    EXPECT_GT(std::count(outcome.channel1.begin(), outcome.channel1.end(), 0), 250 * 128);
    EXPECT_EQ(outcome.channel1.size(), size_t{1200 * 128});
}

class TruncatedSalvage : public SalvageTest, public ::testing::WithParamInterface<int> {};

// A cut in the last data sector costs that sector's span, as a gap.
TEST_P(TruncatedSalvage, FinalSectorCutShortBecomesAGapOfItsSpan) {
    ASSERT_TRUE(make(GetParam(), {{1800, 0}}));
    const ReadOutcome whole = read(original);
    const ReadOutcome outcome =
        read({original.begin(), original.begin() + data_sectors().back() * kSectorSize + 100});
    EXPECT_NE(outcome.report.find("file ends inside the sector"), std::string::npos)
        << outcome.report;
    expect_salvaged(outcome, whole, true);
}

INSTANTIATE_TEST_SUITE_P(PackedTableAndCompressed, TruncatedSalvage, ::testing::Values(1, 48, 35));

// Damaged 12-lead sectors keep the lead files in step: each becomes its 30 time points of no data.
TEST_F(SalvageTest, TwelveLeadDamagedSectorsKeepTheLeadFilesInStep) {
    ASSERT_TRUE(make(64, {{600, 0}}));
    const ReadOutcome whole = read(original, true, kFormatPn12File);
    ASSERT_TRUE(whole.ok);
    const ReadOutcome outcome = read(damaged(spread(10), Damage::checksum), true, kFormatPn12File);
    EXPECT_EQ(damaged_ranges(outcome.report), 10u) << outcome.report;
    EXPECT_NE(outcome.report.find("seconds lost: 2.34\n"), std::string::npos) << outcome.report;
    // So 300 words differ from the whole read's, each of them no data.
    expect_salvaged(outcome, whole, true, 0x8000);
}

// With every data sector damaged nothing is salvaged: the read fails (108) and the report says
// that all of it was lost.
TEST_F(SalvageTest, NothingSalvagedFailsTheReadAndSaysSo) {
    ASSERT_TRUE(make(2, {{300, 0}}));
    const std::vector<uint64_t> sectors = data_sectors();
    const ReadOutcome outcome = read(damaged(sectors, Damage::checksum));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.report,
              "salvage report\ndamaged sectors " + std::to_string(sectors.front()) + "-" +
                  std::to_string(sectors.back()) +
                  ": 300.00 s lost, checksum does not match\nseconds delivered: 0.00\n"
                  "seconds lost: 300.00\n");
}

}  // namespace
