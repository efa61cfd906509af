#include "format/sector_types.h"

#include <gtest/gtest.h>

TEST(RecordingFormat, ChannelCountsAndEventTableFormats) {
    struct Row {
        uint8_t format;
        int channels;
        bool event_table;
    };
    const Row rows[] = {{1, 2, false},   {4, 2, false},  {34, 2, true},  {2, 3, false},
                        {5, 3, false},   {35, 3, true},  {48, 3, true},  {33, 1, true},
                        {64, 12, true},  {65, 12, true}, {0, 0, false},  {3, 0, false},
                        {0x30, 3, true}, {66, 0, false}, {127, 0, false}};
    for (const Row& row : rows) {
        EXPECT_EQ(channels_of_format(row.format), row.channels) << int{row.format};
        EXPECT_EQ(is_event_table_format(row.format), row.event_table) << int{row.format};
        // The top bit of the stored byte is not part of the format.
        const auto flagged = static_cast<uint8_t>(row.format | 0x80);
        EXPECT_EQ(channels_of_format(flagged), row.channels) << int{flagged};
        EXPECT_EQ(is_event_table_format(flagged), row.event_table) << int{flagged};
    }
}
