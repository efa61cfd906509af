// Reads that decode ahead between seek points give the sequential read's bytes: whatever the
// recording, the settings, the output, the state of the event table or the moment of a stop.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "card/ccf_disk.h"
#include "cardsim/lib/card_writer.h"
#include "extract/card_read.h"
#include "extract/test_card.h"
#include "format/sector_checksum.h"
#include "handoff/mapped_receiver.h"
#include "support/named_event.h"
#include "test_folder.h"

namespace {

namespace fs = std::filesystem;

// How a read decodes: alone, with a worker the read waits for at every span (so that every span
// whose seek point holds is replayed), or with workers it overtakes.
struct Road {
    int workers = 0;
    bool waits = false;
};
constexpr Road kSequential{0, false};
constexpr Road kWaiting{1, true};
constexpr Road kAhead{2, false};

// Every file a read left, by name, and how the read ended.
using Outputs = std::map<std::string, std::string>;

// Alters the seek points of the event table in ecg.dat: one in four is kept, the others get a
// wrong sector, a wrong bit, the place of the seek point before, or a type the table passes over.
void damage_seek_points_in(const std::string& ecg_path) {
    std::vector<uint8_t> ecg = read_bytes(ecg_path);
    int seen = 0;
    for (size_t at = 0; at + kSectorSize <= ecg.size(); at += kSectorSize) {
        const std::span<uint8_t, kSectorSize> sector(ecg.data() + at, kSectorSize);
        if (sector[0] != 0x20) continue;
        const ChecksumVariant variant = sector_type_of(sector[0]).checksum;
        ASSERT_TRUE(check_sector(test_crc_table(), sector, variant));
        uint32_t previous_sector = 0;
        uint16_t previous_bit = 0;
        for (size_t r = 3; r + 14 <= kSectorSize && sector[r] != 0 && sector[r] < 254;
             r += sector[r + 1]) {
            if (sector[r] != 2) continue;
            uint8_t* const place = &sector[r + 8];
            const uint32_t seek_sector = get_u32le(place);
            const uint16_t bit = get_u16le(place + 4);
            const int kind = seen++ % 4;
            if (kind == 1) put_u32le(place, seek_sector + 1);
            if (kind == 2) put_u16le(place + 4, static_cast<uint16_t>(bit + 8));
            if (kind == 3) {
                put_u32le(place, previous_sector);
                put_u16le(place + 4, previous_bit);
            }
            if (seen % 8 == 6) sector[r] = 4;
            previous_sector = seek_sector;
            previous_bit = bit;
        }
        seal_sector(test_crc_table(), sector, variant);
    }
    ASSERT_GT(seen, 8);
    write_bytes(ecg_path, ecg);
}

// A simulated card of one recording, with seek points every `seek_interval` seconds.
struct Card {
    cardsim::RecordingSpec description;

    Card(int format, std::vector<cardsim::Segment> segments, int64_t seek_interval) {
        description.format = format;
        description.segments = std::move(segments);
        description.seek_interval = seek_interval;
        // Every nibble type in turn, so that each meets a seek point.
        description.nibbles.choice = cardsim::NibblePolicy::Choice::cycle;
    }
    Card& pace_pattern() { return description.pace_pattern = true, *this; }
    Card& pacing(double rate) { return description.synth.pacing_rate = rate, *this; }
    Card& events(std::vector<double> s) { return description.events = std::move(s), *this; }
    Card& absent(cardsim::ChannelAbsence a) { return description.absences.push_back(a), *this; }
    Card& flip(cardsim::BitFlip flip) { return description.flips.push_back(flip), *this; }
    Card& damage_seek_points() { return damaged = true, *this; }

    void write(const std::string& folder) const {
        cardsim::RecordingResult result;
        std::string error;
        ASSERT_TRUE(cardsim::write_card(description, folder, "", result, error)) << error;
        if (damaged) damage_seek_points_in(folder + "/ecg.dat");
    }

    bool damaged = false;
};

// Signals the read's terminator event once `seconds` decoded seconds have been written.
class StoppingOutput : public SampleOutput {
  public:
    StoppingOutput(SampleOutput& inner, std::string terminator, int seconds)
        : m_inner(inner), m_terminator(std::move(terminator)), m_seconds(seconds) {}

    bool open() override { return m_inner.open(); }
    void begin_recording(const RecordingLayout& l) override { m_inner.begin_recording(l); }
    void write_calibration(int seconds) override { m_inner.write_calibration(seconds); }
    bool below_limit() const override { return m_inner.below_limit(); }
    void write_time_point(std::span<const uint16_t> v, uint16_t m, SampleScale s) override {
        m_inner.write_time_point(v, m, s);
    }
    void write_second(const DecodedBlock& block) override {
        m_inner.write_second(block);
        if (--m_seconds == 0) signal_named_event(m_terminator);
    }
    void write_gap_second() override { m_inner.write_gap_second(); }
    int64_t time_points() const override { return m_inner.time_points(); }
    bool finish(bool pad) override { return m_inner.finish(pad); }
    bool failed() const override { return m_inner.failed(); }

  private:
    SampleOutput& m_inner;
    std::string m_terminator;
    int m_seconds;
};

class DecodingAhead : public ::testing::Test {
  protected:
    // Reads the card at m_card with a fresh card storage object; the outputs of the read, and
    // the spans it replayed in m_replayed. With `stop_after` the terminator is signalled once
    // that many seconds are written (at once when 0).
    Outputs read(OutputFormat format, ReadSettings settings, Road road, int stop_after = -1) {
        const std::string out = m_folder.file("out" + std::to_string(m_reads++));
        fs::create_directories(out);
        settings.decode_workers = road.workers;
        settings.decode_ahead_waits = road.waits;
        CCFDisk disk;
        disk.set_card_path(m_card);
        disk.m_read_settings = settings;
        OutputSettings output;
        output.mmf_instance = unique_base_name();
        const std::string terminator = terminator_event_name(output.mmf_instance);
        const std::unique_ptr<NamedEvent> held = NamedEvent::create_or_open(terminator);
        if (stop_after == 0) held->signal();
        const TraceCapture trace;
        const std::unique_ptr<SampleOutput> samples =
            choose_sample_output(format, output, settings, out, "");
        // Only a stopping read goes through the wrapper, which forwards only what archives use.
        std::optional<StoppingOutput> stopping;
        SampleOutput& target =
            stop_after < 0 ? *samples : stopping.emplace(*samples, terminator, stop_after);
        CEcgExtractor extractor(disk, target, {format, out, output.mmf_instance, nullptr});
        const char* result = !extractor.extract_ecg() ? "failed"
                             : extractor.terminated() ? "stopped"
                                                      : "read";
        Outputs outputs = folder_files(out);
        outputs["result"] = result;
        const std::string text = trace.text(), key = "spans decoded ahead and replayed: ";
        const size_t at = text.rfind(key);
        m_replayed = at == std::string::npos ? 0 : std::stoi(text.substr(at + key.size()));
        return outputs;
    }

    NoAnswers m_no_answers;
    TestFolder m_folder;
    const std::string m_card = m_folder.file("card");
    int m_reads = 0;
    int m_replayed = 0;  // by the last read
};

struct IdentityCase {
    const char* name;
    Card card;
    OutputFormat output = kFormatArchive;
    int32_t skip_hours = 0;
    int32_t duration_hours = 24;
};

// Seek points fall on every kind of second of the pace pattern, whose windows run on into the next
// block; each card spans several of them.
const IdentityCase kIdentityCases[] = {
    {"ThreeChannelsPacedTwoSegmentsWithEvents",
     Card(35, {{1500, 40}, {1300, 0}}, 121).pace_pattern().events({100, 1700, 2500})},
    {"TwoChannelsPacedRhythmEdf", Card(34, {{2400, 0}}, 301).pacing(72).events({600}), kFormatEdf},
    {"OneChannelPausedWithEvents",
     Card(33, {{1800, 5}, {900, 0}}, 203).pace_pattern().events({50, 2000})},
    {"SkipOfAnHour", Card(35, {{7800, 0}}, 607).pace_pattern().events({3000, 4000}), kFormatArchive,
     1},
    {"DurationEndsInsideASpan", Card(34, {{5400, 0}}, 701).pace_pattern(), kFormatArchive, 0, 1},
    {"ChannelAbsentAcrossSeekPoints",
     Card(35, {{1500, 0}}, 131).pace_pattern().absent({1, 250, 700}).absent({2, 500, 520})},
    {"DamagedStreamResynchronises", Card(35, {{1500, 0}}, 137).flip({200, 30}).flip({300, 2000})},
    {"WrongMissingAndDuplicatedSeekPoints",
     Card(35, {{2400, 0}}, 97).pace_pattern().events({300}).damage_seek_points()},
};

class DecodingAheadIdentity : public DecodingAhead,
                              public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(DecodingAheadIdentity, GivesTheSequentialReadsBytes) {
    const IdentityCase& c = GetParam();
    c.card.write(m_card);
    const ReadSettings settings{c.skip_hours, c.duration_hours, 60};
    const Outputs sequential = read(c.output, settings, kSequential);
    EXPECT_EQ(sequential.at("result"), "read");
    EXPECT_EQ(read(c.output, settings, kWaiting), sequential);
    EXPECT_GT(m_replayed, 1);
    EXPECT_EQ(read(c.output, settings, kAhead), sequential);
}

INSTANTIATE_TEST_SUITE_P(Cards, DecodingAheadIdentity, ::testing::ValuesIn(kIdentityCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(DecodingAhead, TerminatorStopsTheReadWhereTheSequentialReadStops) {
    Card(35, {{2400, 0}}, 101).pace_pattern().write(m_card);
    const ReadSettings settings{0, 24, 0};
    for (const int seconds : {0, 1500}) {
        const Outputs sequential = read(kFormatArchive, settings, kSequential, seconds);
        EXPECT_EQ(sequential.at("result"), "stopped") << seconds;
        EXPECT_EQ(read(kFormatArchive, settings, kAhead, seconds), sequential) << seconds;
        EXPECT_LT(sequential.at("rawecg1.dat").size(), 2400u * 256) << seconds;
    }
}

}  // namespace
