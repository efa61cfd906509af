#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "cef/cef_input.h"
#include "handoff/cef_sections.h"
#include "handoff/unpacked_folder.h"
#include "mapped_receiver.h"
#include "test_folder.h"

namespace {

// Channel n's word at sample i: distinct per channel and position.
uint16_t word_at(int channel, size_t i) {
    return static_cast<uint16_t>((i * 7 + static_cast<size_t>(channel) * 1000) & 0x0FFF);
}

// The end-to-end CefFolder tests read the window after a skip and a skip past the end; these
// cover partial sections, short files and the event list's edges.
class CefRoad : public ::testing::Test {
  protected:
    void write_channels(std::initializer_list<uint32_t> byte_sizes) {
        int channel = 0;
        for (const uint32_t size : byte_sizes) {
            std::vector<uint8_t> bytes(size);
            for (size_t i = 0; i + 1 < size; i += 2)
                put_u16le(&bytes[i], word_at(channel, i / 2));
            write_bytes(folder.file("RAWECG" + std::to_string(++channel) + ".DAT"), bytes);
        }
    }
    bool write(int32_t skip_hours, int32_t limit_hours) {
        return write_cef_sections(folder.path(), ReadSettings{skip_hours, limit_hours, 60}, names);
    }

    TestFolder folder;
    SectionNames names = card_road_names(unique_base_name());
    MappedReceiver receiver{names, 3, kSampleSectionSize};
};

}  // namespace

TEST_F(CefRoad, TwoChannelFolderFillsTwoSectionsAndLeavesTheThirdRecordAlone) {
    write_channels({3000, 3000});
    put_u32le(receiver.control().view() + 2 * kControlRecordSize, 77);
    ASSERT_TRUE(write(0, 192));
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(receiver.count(c), 1500u);
        EXPECT_EQ(receiver.finished(c), 1u);
        EXPECT_EQ(receiver.samples(c)[1499], word_at(c, 1499));
    }
    EXPECT_EQ(receiver.count(2), 77u);
    EXPECT_EQ(receiver.finished(2), 0u);
}

TEST_F(CefRoad, ShortChannelFileEndsTheCopyOfEveryChannelAfterItsLastPiece) {
    constexpr uint32_t kMiB = 1 << 20;
    write_channels({3 * kMiB, 3 * kMiB / 2});
    ASSERT_TRUE(write(0, 192));
    EXPECT_EQ(receiver.count(0), 3 * kMiB / 2);
    EXPECT_EQ(receiver.count(1), 3 * kMiB / 4);
    EXPECT_EQ(receiver.finished(1), 1u);
}

TEST_F(CefRoad, EventsBeyondTheListsRoomAreDropped) {
    write_channels({4});
    std::string lines;
    for (int i = 0; i < 4100; ++i)
        lines += std::to_string(i) + "\n";
    write_file(folder.file("PATEVENT.DAT"), lines);
    ASSERT_TRUE(write(0, 192));
    const std::vector<int32_t> events = receiver.events();
    ASSERT_EQ(events.size(), 4096u);
    EXPECT_EQ(events.back(), 4095);
}

// The whole file set, the description-only set and card copies are read end to end (CefFolder
// and every card read); these are the sets they do not meet.
TEST(UnpackedFolder, IsRecognisedByItsFileSetAndCountsChannelsWithBytes) {
    const char* const names[] = {"CEFDESC.TXT", "RAWECG1.DAT", "RAWECG2.DAT", "RAWECG3.DAT",
                                 "PATIENT.TXT"};
    const struct {
        const char* name;
        std::array<int, 5> sizes;  // of the files above in order, -1 for none
        bool unpacked;
        int channels;
    } cases[] = {
        {"empty third channel", {1, 4, 4, 0, 1}, true, 2},
        {"empty first channel", {1, 0, -1, -1, 1}, true, 0},
        {"no patient text", {1, 4, -1, -1, -1}, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        for (size_t i = 0; i < c.sizes.size(); ++i)
            if (c.sizes[i] >= 0)
                write_bytes(folder.file(names[i]), std::vector<uint8_t>(c.sizes[i], 1));
        EXPECT_EQ(is_unpacked_recording(folder.path()), c.unpacked);
        EXPECT_EQ(folder_channel_count(folder.path()), c.channels);
        int channels = -1;
        EXPECT_EQ(locate_cef_input(folder.path(), channels).empty(), !c.unpacked);
        EXPECT_EQ(channels, c.unpacked ? c.channels : 0);
    }
}
