#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cardsim/lib/card_writer.h"
#include "extract/test_card.h"
#include "format/event_table.h"
#include "format/recording_time.h"
#include "format/start_sector_reader.h"
#include "support/byte_order.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

EventTable load_table(const std::string& card) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen((card + "/ecg.dat").c_str(), "rb"));
    return file ? load_event_table(file.get(), true) : EventTable{};
}

int64_t recording_start_seconds(const std::string& card) {
    Sector sector{};
    read_first_start_sector(test_crc_table(), card, sector);
    return time_to_seconds(
        time_from_sector_bytes(decode_start_sector(sector).recording_start_time));
}

int64_t seconds_of(const EventRecord& record, int64_t start) {
    return time_to_seconds(record.time()) - start;
}

// Writes the card into the folder and returns its ecg.dat.
std::vector<uint8_t> write(const cardsim::RecordingSpec& description, const TestFolder& folder) {
    cardsim::RecordingResult result;
    std::string error;
    EXPECT_TRUE(cardsim::write_card(description, folder / "card", "", result, error)) << error;
    return read_bytes(folder / "card/ecg.dat");
}

cardsim::RecordingSpec three_hours(int format) {
    cardsim::RecordingSpec description;
    description.format = format;
    description.segments = {{5400, 30}, {5400, 0}};
    description.seek_interval = 600;
    description.event_sector_interval = 3600;
    description.events = {12.7, 4000, 9000};
    return description;
}

}  // namespace

// The end-to-end reads with a skip start from these seek points (ReadFormats and ReadTwelveLead
// SkipOneHour...), and their patient events come from this table.
TEST(SimulatedEventTable, HoldsSegmentStartsSeekPointsAndEventsThroughBothContinuations) {
    TestFolder folder;
    const std::vector<uint8_t> ecg = write(three_hours(35), folder);
    const EventTable table = load_table(folder.file("card"));
    const int64_t start = recording_start_seconds(folder.file("card"));

    std::vector<int64_t> seeks, events, segments;
    for (const EventRecord& r : table) {
        (r.type == 1 ? segments : r.type == 2 ? seeks : events).push_back(seconds_of(r, start));
    }
    EXPECT_EQ(segments, (std::vector<int64_t>{0, 5430}));
    EXPECT_EQ(events, (std::vector<int64_t>{12, 4000, 9000}));
    // Every 10 minutes of each segment; the second segment's first mark follows its start.
    ASSERT_EQ(seeks.size(), 17u);
    EXPECT_EQ(seeks[7], 4800);
    EXPECT_EQ(seeks[8], 6000);
    EXPECT_EQ(seeks.back(), 10800);
    // The head after the start sector names the next event sector by number, and that one is
    // an event sector among the data.
    ASSERT_EQ(ecg[512], 0x20);
    const uint32_t next = get_u32le(&ecg[512 + 508]);
    EXPECT_GT(next, 2u);
    EXPECT_EQ(ecg[next * 512], 0x20);
}

TEST(SimulatedEventTable, LoopingChainFaultComesBackToTheHead) {
    TestFolder folder;
    cardsim::RecordingSpec description = three_hours(35);
    description.segments = {{600, 0}};
    description.event_chain_loop = true;
    const std::vector<uint8_t> ecg = write(description, folder);
    // The last event sector sits after the data and continues at sector 1.
    size_t last = 0;
    for (size_t n = 2; (n + 1) * 512 <= ecg.size(); ++n)
        last = ecg[n * 512] == 0x20 ? n : last;
    ASSERT_GT(last, 0u);
    EXPECT_EQ(get_u32le(&ecg[last * 512 + 508]), 1u);
    EXPECT_EQ(load_table(folder.file("card")).size(), 2u);  // the segment start and the event
}
