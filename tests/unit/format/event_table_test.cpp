#include "format/event_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "extract/test_card.h"

namespace {

const Sector kDataSector = SectorBuilder(0x23).build();

EventTable load(const std::vector<Sector>& sectors, bool twelve_lead = false) {
    const TestFolder folder;
    const std::string path = folder.file("ecg.dat");
    std::vector<uint8_t> bytes;
    for (const Sector& s : sectors)
        bytes.insert(bytes.end(), s.begin(), s.end());
    write_bytes(path, bytes);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    EventTable table = load_event_table(file, twelve_lead);
    std::fclose(file);
    return table;
}

std::vector<uint8_t> types_of(const EventTable& table) {
    std::vector<uint8_t> types;
    for (const EventRecord& r : table)
        types.push_back(r.type);
    return types;
}

}  // namespace

TEST(EventTable, StoresTheRecordTypesOfEachSectorKindAndStepsOverOthersByLength) {
    EventTable table;
    parse_event_sector(EventSectorBuilder(0x20)
                           .record(1, 16, {5, 0, 0, 1, 1, 0}, 1234, 99)
                           .record(4, 20)
                           .record(2, 16)
                           .record(77, 3)
                           .record(3, 16, {9, 0, 0, 1, 1, 0})
                           .build(),
                       table);
    EXPECT_EQ(types_of(table), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(table[0].sector, 1234u);
    EXPECT_EQ(table[0].decompression_index, 99u);
    EXPECT_EQ(table[0].time().second, 5);
    EXPECT_EQ(table[2].time().second, 9);

    EventSectorBuilder twelve_lead(0x42);
    const std::pair<uint8_t, uint8_t> records[] = {{1, 16}, {2, 16}, {5, 30},
                                                   {6, 4},  {4, 16}, {3, 16}};
    for (const auto& [type, length] : records)
        twelve_lead.record(type, length);
    EventTable twelve;
    parse_event_sector(twelve_lead.build(), twelve);
    EXPECT_EQ(types_of(twelve), (std::vector<uint8_t>{1, 4, 3}));
}

// Short records read as zero filled; damaged ones end the table instead of stalling or overrunning.
TEST(EventTable, ShortRecordsReadAsZeroFilledAndDamagedOnesEndTheTable) {
    EventTable short_records;
    // Bytes 10 and 11 of the short record are the next record's type and length.
    parse_event_sector(EventSectorBuilder().record(3, 10, {7, 0, 0, 1, 1, 0}).record(1, 16).build(),
                       short_records);
    ASSERT_EQ(short_records.size(), 2u);
    EXPECT_EQ(short_records[0].time().second, 7);
    EXPECT_EQ(short_records[0].sector, 0u);
    EXPECT_EQ(short_records[0].decompression_index, 0u);
    for (uint8_t bad_length : {0, 1}) {
        EventTable table;
        const EventChainStep step = parse_event_sector(
            EventSectorBuilder().record(1, 16).record(3, bad_length).build(), table);
        EXPECT_EQ(step.kind, EventChainStep::end);
        EXPECT_EQ(table.size(), 1u);
    }
    // Two long records bring the third to byte 503, where 16 bytes would run past the sector.
    EventTable table;
    const Sector overrun = EventSectorBuilder().record(1, 250).record(2, 250).record(3, 16).build();
    EXPECT_EQ(parse_event_sector(overrun, table).kind, EventChainStep::end);
    EXPECT_EQ(table.size(), 2u);
}

TEST(EventTable, FollowsTheChainPastDataSectorsAndToNumberedSectors) {
    const EventTable table =
        load({SectorBuilder(0x81).build(), kDataSector,
              EventSectorBuilder().record(1, 16).next_sector().build(), kDataSector, kDataSector,
              EventSectorBuilder().record(2, 16).numbered_sector(8).build(),
              EventSectorBuilder().record(3, 16, {11, 0, 0, 1, 1, 0}).build(), kDataSector,
              EventSectorBuilder().record(3, 16, {22, 0, 0, 1, 1, 0}).build()});
    EXPECT_EQ(types_of(table), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(table[2].time().second, 22);  // sector 6 was jumped over
}

TEST(EventTable, LoadEndsOnLoopsMissingSectorsLateFirstSectorsAnd500Records) {
    const auto one = [](uint8_t type = 0x20) { return EventSectorBuilder(type).record(3, 16); };
    // 255 pointing back at itself (ReadEcgMode's --event-chain-loop card has a longer ring).
    EXPECT_EQ(load({one().numbered_sector(0).build()}).size(), 1u);
    // Pointing outside the file, and a next sector that never comes.
    EXPECT_EQ(load({one().numbered_sector(0x7FFFFFFF).build()}).size(), 1u);
    EXPECT_EQ(load({one().next_sector().build(), kDataSector}).size(), 1u);
    // The first event sector must lie among the first 16.
    std::vector<Sector> late(16, kDataSector);
    late.push_back(one().build());
    EXPECT_TRUE(load(late).empty());
    // 12-lead event sectors count only when asked for.
    EXPECT_TRUE(load({one(0x42).build()}).empty());
    EXPECT_EQ(load({one(0x42).build()}, true).size(), 1u);
    // The table holds at most 500 records.
    std::vector<Sector> sectors;
    for (int s = 0; s < 20; ++s) {
        EventSectorBuilder builder;
        for (int r = 0; r < 30; ++r)
            builder.record(3, 16);
        sectors.push_back(builder.next_sector().build());
    }
    EXPECT_EQ(load(sectors).size(), kMaxEventRecords);
}
